// A Logger32 that stops taking messages (busy with a serial port, stuck in a dialog of its own):
// no send waits on it for long, it is treated as away, and once it answers again it gets what
// was held meanwhile, once.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "LinkedStationTest.h"

namespace pontara::testing {
namespace {

constexpr TextView ClosedWaiting = u" Logger32 closed, waiting for it !";

class HungLogger32 : public LinkedStationTest {
  protected:
    void SetUp() override {
        LaunchReadyToLog();
        station.MixWSets(u"Call", u"Q1ABC");
        station.host.RunFor(3000);  // frequency, mode and record forwarded
        station.host.Logger32Hangs();
    }

    long LoggingsReceived() const {
        return std::ranges::count_if(station.host.logger32.texts, [](const auto& text) {
            return text.text.starts_with(u"<APP_LOGQSO:");
        });
    }
};

TEST_F(HungLogger32, IsTreatedAsAwayHoldsTheSavedQsoAndDeliversItOnceWhenItAnswersAgain) {
    const int hung = station.host.Now();
    station.MixWSets(u"Name", u"HUNG");
    station.host.RunFor(800);  // the record is not taken
    EXPECT_LE(station.host.Now() - hung, 800 + 5000);
    station.host.RunFor(800);
    EXPECT_EQ(station.host.FieldText(Field::Text1), ClosedWaiting);
    EXPECT_FALSE(station.host.Enabled(TimerId::Timer2));

    station.MixWSets(u"Command", u"Save");
    EXPECT_EQ(station.host.FieldText(Field::Text1), u" Logger32 closed, QSOs waiting: 1 !");
    station.host.RunFor(60000);
    EXPECT_EQ(LoggingsReceived(), 0);

    station.host.Logger32Answers();
    station.host.RunFor(5000);
    EXPECT_EQ(LoggingsReceived(), 1);
    EXPECT_EQ(std::ranges::count(station.host.logger32.Codes(), 15u), 1);
    EXPECT_TRUE(station.host.Enabled(TimerId::Timer2));
    EXPECT_FALSE(station.host.Ended());
}

TEST_F(HungLogger32, ClosingDoesNotWaitForItBeyondTheBound) {
    station.host.RunFor(10000);  // Windows takes it for hung by now
    const int closing = station.host.Now();
    station.host.RequestClose();
    station.host.RunFor(0);
    EXPECT_TRUE(station.host.Ended());
    EXPECT_EQ(station.host.Now(), closing);
}

}  // namespace
}  // namespace pontara::testing
