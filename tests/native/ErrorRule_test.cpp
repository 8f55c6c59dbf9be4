// The program-wide rule for a failed call: one box naming what failed, no further boxes from
// ticks dispatched while it is open, and the end of the program.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "SimulatedStation.h"
#include "mixw/MixWAutomation.h"

namespace pontara::testing {
namespace {

TEST(ErrorRule, AFailingMixWCallStopsEveryTimerShowsOneBoxAndEnds) {
    SimulatedStation station;
    station.LaunchAndOpenLinks();
    station.host.RunFor(3000);
    int boxesSeenOpen = 0;
    station.host.onMessageBox = [&](const sim::SimHost::MessageBoxShown&) {
        ++boxesSeenOpen;
        for (int timer = 0; timer < TimerCount; ++timer) {
            EXPECT_FALSE(station.host.Enabled(static_cast<TimerId>(timer)));
        }
        station.host.RunFor(10000);  // ticks would fail again if they still ran
    };
    station.host.mixw.failingMembers = {mixw::Member::GetQsoData};
    station.host.RunFor(800);
    EXPECT_EQ(boxesSeenOpen, 1);
    ASSERT_EQ(station.host.MessageBoxes().size(), 1u);
    const Text& text = station.host.MessageBoxes()[0].text;
    EXPECT_NE(text.find(u"MixW's GetQsoData failed"), Text::npos) << AsciiOf(text);
    EXPECT_NE(text.find(u"MixW raised an error"), Text::npos) << AsciiOf(text);
    EXPECT_EQ(station.host.MessageBoxes()[0].caption, u"Pontara");
    EXPECT_TRUE(station.host.Ended());
}

TEST(ErrorRule, NothingOfTheBridgeRunsWhileTheBoxIsOpen) {
    SimulatedStation station;
    station.host.mixw.items[u"qso|command"] = u"";
    station.LaunchAndOpenLinks();
    station.host.RunFor(3000);
    Text logger32Frequency = station.host.FieldText(Field::Freq_logger32);
    std::size_t mixwCalls = 0;
    std::vector<std::string> traceWhileOpen{"not run"};
    station.host.onMessageBox = [&](const sim::SimHost::MessageBoxShown&) {
        std::size_t mark = station.host.TraceMark();
        mixwCalls = station.host.mixw.calls.size();
        station.host.mixw.SetItem(station.host, u"QSO", u"Command", u"Save");
        station.host.SetTextOfWindow(station.host.FieldWindow(Field::Sent),
                                     u"<APP_DXSPOT_CLICKED:19>Q1ABC|14070.0|PSK63");
        station.host.PostFromLogger32(100, 7074000);
        station.host.RunFor(5000);
        traceWhileOpen = station.host.TraceSince(mark);
    };
    station.host.mixw.failingMembers = {mixw::Member::GetQsoData};
    station.host.RunFor(800);
    ASSERT_EQ(station.host.MessageBoxes().size(), 1u);
    EXPECT_THAT(traceWhileOpen, ::testing::IsEmpty());
    EXPECT_EQ(station.host.mixw.calls.size(), mixwCalls);
    EXPECT_EQ(station.host.FieldText(Field::Freq_logger32), logger32Frequency);
    EXPECT_EQ(station.host.FieldText(Field::TextCommand), u"Save");
    EXPECT_TRUE(station.host.Ended());
}

TEST(ErrorRule, MixWGoneWhileLogger32OwnsTheRigFailsTheNextTuneOnce) {
    SimulatedStation station;
    station.LaunchAndRun();
    station.host.Click(Button::Command2);
    station.host.RunFor(100);
    station.host.mixw.running = false;
    station.host.onMessageBox = [&](const sim::SimHost::MessageBoxShown&) {
        station.host.PostFromLogger32(100, 7000000);
        station.host.RunFor(1000);
    };
    station.host.PostFromLogger32(100, 14074000);
    station.host.RunFor(100);
    ASSERT_EQ(station.host.MessageBoxes().size(), 1u);
    EXPECT_NE(station.host.MessageBoxes()[0].text.find(u"disconnected"), Text::npos);
    EXPECT_TRUE(station.host.Ended());
}

TEST(ErrorRule, AttachFailuresAtStartAreNeverReported) {
    SimulatedStation station;
    station.host.mixw.running = false;
    station.host.At(60000, [&] { station.host.mixw.running = true; });
    station.LaunchAndRun();
    station.host.RunFor(60000);
    EXPECT_TRUE(station.host.MessageBoxes().empty());
    EXPECT_GE(station.host.mixw.attachAttempts, 28);
}

}  // namespace
}  // namespace pontara::testing
