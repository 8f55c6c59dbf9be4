// A MixW busy in a dialog of its own turns calls away: the bridge tries again for up to 10 s,
// its ticks held meanwhile, and only then reports the call as failed.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "SimulatedStation.h"
#include "mixw/BusyRetry.h"

namespace pontara::testing {
namespace {

using ::testing::Contains;

TEST(BusyRetryPolicy, TriesAgainEveryQuarterSecondUntilTenSecondsHavePassed) {
    struct Row {
        int waited;
        std::optional<int> pause;
    };
    const Row rows[] = {
        {0, 250}, {9750, 250}, {9999, 250}, {10000, std::nullopt}, {10250, std::nullopt}};
    for (const Row& row : rows) {
        EXPECT_EQ(mixw::BusyRetryPauseAfter(row.waited), row.pause) << row.waited;
    }
}

class BusyMixW : public ::testing::Test {
  protected:
    void SetUp() override {
        station.LaunchAndOpenLinks();
        station.host.RunFor(3000);  // forwarding has sent what it had
        spellStart = station.host.Now() + 100;
    }

    SimulatedStation station;
    int spellStart = 0;
};

TEST_F(BusyMixW, ATwoSecondSpellIsWaitedOutAndTheQsoTypedMeanwhileReachesLogger32) {
    station.host.mixw.busySpells = {{spellStart, spellStart + 2000}};
    station.host.At(spellStart + 1000,
                    [&] { station.host.mixw.SetItem(station.host, u"QSO", u"Call", u"Q1ABC"); });
    station.host.RunFor(6000);
    EXPECT_TRUE(station.host.MessageBoxes().empty());
    EXPECT_FALSE(station.host.Ended());
    EXPECT_GT(station.host.mixw.rejectedCalls, 0);
    // The ticks that fell due while the call was retried started no second call.
    EXPECT_EQ(station.host.mixw.mostCallsInFlight, 1);
    EXPECT_THAT(station.TextsSince(spellStart), Contains(BeginsWith(u"<CALL:5>Q1ABC")));
}

TEST_F(BusyMixW, ASpellBeyondTenSecondsEndsInOneBoxNamingTheRejectedCall) {
    station.host.mixw.busySpells = {{spellStart, spellStart + 15000}};
    station.host.RunFor(20000);
    ASSERT_EQ(station.host.MessageBoxes().size(), 1u);
    const sim::SimHost::MessageBoxShown& box = station.host.MessageBoxes()[0];
    // The first call of the spell comes with the next forwarding tick, within 800 ms.
    EXPECT_GE(box.time, spellStart + 10000);
    EXPECT_LE(box.time, spellStart + 11500);
    EXPECT_EQ(box.text,
              u"MixW's GetQsoData failed.\n\nCall was rejected by callee (error 0x80010001)");
    EXPECT_EQ(box.caption, u"Pontara");
    EXPECT_TRUE(station.host.Ended());
}

}  // namespace
}  // namespace pontara::testing
