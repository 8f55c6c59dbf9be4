// Handing the radio between MixW and Logger32: each handover's effects in order, the message
// box of the handover to MixW and what happens while it is open, and the packet sideband.

#include "bridge/RigOwnership.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "SimulatedStation.h"

namespace pontara::testing {
namespace {

using ::testing::ElementsAre;

class Ownership : public ::testing::Test {
  protected:
    void SetUp() override {
        station.LaunchAndRun();
        station.host.RunFor(3000);  // forwarding has sent what it had
    }

    void GiveRigToLogger32() {
        station.host.Click(Button::Command2);
        station.Settle();
    }

    SimulatedStation station;
};

TEST_F(Ownership, StartLeavesMixWOwningWithItsButtonMarked) {
    EXPECT_EQ(station.host.BackColour(Button::Command1), 0xC000C0u);
    EXPECT_FALSE(station.host.Enabled(Button::Command1));
    EXPECT_EQ(station.host.BackColour(Button::Command2), 0xFFFF80u);
    EXPECT_TRUE(station.host.Enabled(Button::Command2));
    EXPECT_EQ(station.host.BackColour(Button::Command3), 0xFFC0C0u);
}

TEST_F(Ownership, HandoverToLogger32TogglesPortsPostsItsFiveCodesAndStopsForwarding) {
    std::size_t mark = station.host.TraceMark();
    GiveRigToLogger32();
    EXPECT_THAT(station.host.TraceSince(mark),
                ElementsAre("macro <TOGGLECATPORT>", "macro <TOGGLEPTTPORT>", "post 18 0",
                            "post 6 0", "post 12 0", "post 14 0", "post 19 1"));
    EXPECT_EQ(station.host.BackColour(Button::Command2), 0xC000C0u);
    EXPECT_FALSE(station.host.Enabled(Button::Command2));
    EXPECT_EQ(station.host.BackColour(Button::Command1), 0xFFFF80u);
    EXPECT_TRUE(station.host.Enabled(Button::Command1));
    EXPECT_EQ(station.host.Interval(TimerId::Timer2), 0);
    EXPECT_FALSE(station.host.Enabled(TimerId::Timer2));
    EXPECT_EQ(station.host.FieldText(Field::Text1), u"         Logger32 control active !");
    EXPECT_THAT(station.TraceDuring(5000), ElementsAre());
}

TEST_F(Ownership, HandoverBackToMixWAsksTheOperatorThenRestartsForwardingAndTogglesPorts) {
    GiveRigToLogger32();
    std::size_t mark = station.host.TraceMark();
    station.host.Click(Button::Command1);
    station.Settle();
    EXPECT_THAT(station.host.TraceSince(mark),
                ElementsAre("post 18 1", "post 7 0", "post 11 0", "post 13 0", "post 19 0",
                            "box Please close Souncard window and CW Mashine window Logger32 and "
                            "after that press OK",
                            "macro <TOGGLECATPORT>", "macro <TOGGLEPTTPORT>"));
    EXPECT_EQ(station.host.MessageBoxes().back().caption, u"Pontara");
    EXPECT_EQ(station.host.Interval(TimerId::Timer2), 800);
    EXPECT_TRUE(station.host.Enabled(TimerId::Timer2));
    EXPECT_EQ(station.host.FieldText(Field::Text1), u"            MixW2 control active !");
    EXPECT_FALSE(station.host.Enabled(Button::Command1));
    EXPECT_TRUE(station.host.Enabled(Button::Command2));
}

TEST_F(Ownership, EachHandoverResendsFrequencyModeAndRecordOnTheFollowingTicks) {
    station.MixWSets(u"Call", u"Q1ABC");
    station.host.RunFor(3000);
    GiveRigToLogger32();
    station.host.Click(Button::Command1);
    station.Settle();
    int back = station.host.Now();
    station.host.RunFor(2400);
    std::vector<Text> texts = station.TextsSince(back);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_THAT(texts[0], BeginsWith(u"<APP_FORCE_FREQ:"));
    EXPECT_THAT(texts[1], BeginsWith(u"<APP_FORCE_MODE:"));
    EXPECT_THAT(texts[2], BeginsWith(u"<CALL:5>Q1ABC"));
}

TEST_F(Ownership, WhileTheBoxIsOpenTicksAndLogger32RunAsIfMixWOwnedAndNoPortsToggle) {
    GiveRigToLogger32();
    station.host.onMessageBox = [&](const sim::SimHost::MessageBoxShown&) {
        station.host.PostFromLogger32(100, 7074000);
        station.host.RunFor(2000);
    };
    station.host.Click(Button::Command1);
    station.Settle();
    // Forwarding restarted after the box; Logger32's dial report inside it tuned nothing.
    EXPECT_EQ(station.host.FieldText(Field::Freq_logger32), u"7074.000");
    EXPECT_THAT(station.host.TraceMatching("macro <ZFQ"), ElementsAre());
    EXPECT_THAT(station.host.TraceMatching("macro <TOGGLE"),
                ElementsAre("macro <TOGGLECATPORT>", "macro <TOGGLEPTTPORT>",
                            "macro <TOGGLECATPORT>", "macro <TOGGLEPTTPORT>"));
}

TEST_F(Ownership, Logger32DialTunesMixWOnlyWhileLogger32OwnsTheRig) {
    station.host.PostFromLogger32(100, 14074000);
    station.Settle();
    EXPECT_THAT(station.host.TraceMatching("macro <ZFQ"), ElementsAre());
    GiveRigToLogger32();
    // The dial already shown is not sent on the handover; only its next change is.
    EXPECT_THAT(station.host.TraceMatching("macro <ZFQ"), ElementsAre());
    station.host.PostFromLogger32(100, 14074000);
    station.Settle();
    EXPECT_THAT(station.host.TraceMatching("macro <ZFQ"), ElementsAre());
    station.host.decimalSeparator = u",";
    station.host.PostFromLogger32(100, 7074500);
    station.Settle();
    EXPECT_THAT(station.host.TraceMatching("macro <ZFQ"), ElementsAre("macro <ZFQ:7074,500>"));
}

TEST_F(Ownership, PacketSidebandCaptionsAndColoursAndTheResetByAHandoverToMixW) {
    EXPECT_EQ(station.host.Caption(Button::Command3), u"PKT LSB");
    station.host.Click(Button::Command3);
    station.Settle();
    EXPECT_EQ(station.host.Caption(Button::Command3), u"PKT_USB");
    EXPECT_EQ(station.host.BackColour(Button::Command3), 0xFFC0FFu);
    GiveRigToLogger32();
    EXPECT_EQ(station.host.BackColour(Button::Command3), 0xFFC0FFu);
    station.host.Click(Button::Command1);
    station.Settle();
    EXPECT_EQ(station.host.Caption(Button::Command3), u"PKT_USB");
    EXPECT_EQ(station.host.BackColour(Button::Command3), 0xFFC0C0u);
    station.host.Click(Button::Command3);
    station.Settle();
    EXPECT_EQ(station.host.Caption(Button::Command3), u"PKT_LSB");
    EXPECT_EQ(station.host.BackColour(Button::Command3), 0xFFC0C0u);
}

TEST(OwnershipAtStart, RigButtonsStayDisabledUntilMixWIsAttached) {
    SimulatedStation station;
    station.host.mixw.running = false;
    station.host.At(30000, [&] {
        EXPECT_FALSE(station.host.Enabled(Button::Command1));
        EXPECT_FALSE(station.host.Enabled(Button::Command2));
        EXPECT_EQ(station.host.BackColour(Button::Command2), colours::Menu);
        station.host.mixw.running = true;
    });
    station.LaunchAndRun();
    station.host.RunFor(30000);
    EXPECT_TRUE(station.host.Enabled(Button::Command2));
}

}  // namespace
}  // namespace pontara::testing
