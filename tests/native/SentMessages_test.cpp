// Logger32 may send its messages instead of posting them. Windows refuses a COM call made while
// another program's sent message is handled, so the MixW calls that such a message leads to are
// made right after it, in the order they were asked for.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "SimulatedStation.h"

namespace pontara::testing {
namespace {

using ::testing::ElementsAre;

class SentFromLogger32 : public ::testing::Test {
  protected:
    void SetUp() override {
        station.LaunchAndRun();
        station.host.Click(Button::Command2);  // Logger32 owns the rig: its dial tunes MixW
        station.Settle();
    }

    SimulatedStation station;
};

TEST_F(SentFromLogger32, ASentDialReportTunesMixWOnceAfterTheSendWithoutABox) {
    station.host.SendFromLogger32(100, 14075450);
    EXPECT_THAT(station.host.TraceMatching("macro <ZFQ"), ElementsAre());  // not inside the send
    station.Settle();
    EXPECT_THAT(station.host.TraceMatching("macro <ZFQ"), ElementsAre("macro <ZFQ:14075.450>"));
    EXPECT_TRUE(station.host.MessageBoxes().empty());
    EXPECT_FALSE(station.host.Ended());
}

TEST_F(SentFromLogger32, ASentDialReportAndAPostedOneTuneMixWInTheirOrder) {
    station.host.SendFromLogger32(100, 14075450);
    station.host.PostFromLogger32(100, 7074000);
    station.Settle();
    EXPECT_THAT(station.host.TraceMatching("macro <ZFQ"),
                ElementsAre("macro <ZFQ:14075.450>", "macro <ZFQ:7074.000>"));
    EXPECT_TRUE(station.host.MessageBoxes().empty());
}

}  // namespace
}  // namespace pontara::testing
