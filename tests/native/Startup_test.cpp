// Start-up and shutdown in virtual time: the waits, the handshake's timing, the handover to
// MixW at the end of the start, and what a close sends in each state.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SimulatedStation.h"

namespace pontara::testing {
namespace {

using ::testing::ElementsAre;

TEST(Startup, SplashAloneForThreeSecondsThenMainWindowTopmostFromSequencer) {
    SimulatedStation station;
    station.Launch();
    EXPECT_TRUE(station.host.SplashVisible());
    EXPECT_FALSE(station.host.MainVisible());
    station.host.RunFor(2999);
    EXPECT_TRUE(station.host.SplashVisible());
    station.host.RunFor(1);
    EXPECT_FALSE(station.host.SplashVisible());
    EXPECT_TRUE(station.host.MainVisible());
    EXPECT_FALSE(station.host.MainTopmost());
    station.host.RunFor(1000);
    EXPECT_TRUE(station.host.MainTopmost());
}

TEST(Startup, BothPeersRunningConnectsAtFourSecondsAndAttachesMixWASecondLater) {
    SimulatedStation station;
    station.LaunchAndRun();
    const auto& received = station.host.logger32.received;
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received[0].code, 1u);
    EXPECT_EQ(received[0].time, ConnectRequestTime);
    EXPECT_EQ(received[0].lParam, static_cast<std::int32_t>(sim::SimHost::MainWindowHandle));
    EXPECT_EQ(received[0].name, 1);
    EXPECT_EQ(station.host.mixw.attachAttempts, 1);
    EXPECT_EQ(station.host.FieldText(Field::Text1), u"            MixW2 control active !");
    EXPECT_EQ(station.host.Interval(TimerId::Timer2), 800);
    EXPECT_TRUE(station.host.Enabled(TimerId::Timer2));
    EXPECT_EQ(station.host.Interval(TimerId::Timer3), 500);
    EXPECT_TRUE(station.host.Enabled(TimerId::Timer3));
    EXPECT_FALSE(station.host.Enabled(TimerId::Timer1));
}

TEST(Startup, StartEndsWithTheRigAtMixWWithoutBoxOrPortToggles) {
    SimulatedStation station;
    station.LaunchAndRun();
    EXPECT_TRUE(station.host.MessageBoxes().empty());
    EXPECT_TRUE(station.host.mixw.Macros().empty());
    EXPECT_THAT(station.host.TraceMatching("post "),
                ElementsAre("post 1 " + std::to_string(sim::SimHost::MainWindowHandle), "post 18 1",
                            "post 7 0", "post 11 0", "post 13 0", "post 19 0", "post 2 0",
                            "post 2 " + std::to_string(station.host.FieldWindow(Field::Sent))));
    EXPECT_FALSE(station.host.Enabled(Button::Command1));
    EXPECT_TRUE(station.host.Enabled(Button::Command2));
}

TEST(Startup, Logger32StartedLateIsConnectedWithinTwoSecondsOfItsWindow) {
    SimulatedStation station;
    station.host.logger32.running = false;
    constexpr int appeared = 61234;
    station.host.At(appeared - 1, [&] {
        EXPECT_TRUE(station.host.logger32.received.empty());
        EXPECT_EQ(station.host.FieldText(Field::Text1), u"Waiting start Logger32 and MixW2");
    });
    station.host.At(appeared, [&] { station.host.logger32.running = true; });
    station.Launch();
    station.host.RunFor(appeared + 2000);
    ASSERT_FALSE(station.host.logger32.received.empty());
    EXPECT_EQ(station.host.logger32.received[0].code, 1u);
    EXPECT_LE(station.host.logger32.received[0].time - appeared, 2000);
}

TEST(Startup, MixWStartedLateKeepsTheStatusWaitingUntilAttached) {
    SimulatedStation station;
    station.host.mixw.running = false;
    constexpr int started = 25500;
    station.host.At(started - 1, [&] {
        EXPECT_EQ(station.host.FieldText(Field::Text1), u"Waiting start MixW.");
        EXPECT_FALSE(station.host.Enabled(TimerId::Timer2));
    });
    station.host.At(started, [&] { station.host.mixw.running = true; });
    station.Launch();
    station.host.RunFor(started + 2000);
    EXPECT_EQ(station.host.FieldText(Field::Text1), u"            MixW2 control active !");
    EXPECT_TRUE(station.host.Enabled(TimerId::Timer2));
    auto attach = std::find_if(station.host.Trace().begin(), station.host.Trace().end(),
                               [](const auto& entry) { return entry.what == "attach"; });
    ASSERT_NE(attach, station.host.Trace().end());
    EXPECT_LE(attach->time - started, 2000);
}

TEST(Startup, LogMessagesThatArriveDuringTheSequencerAreHandledAfterItsTick) {
    SimulatedStation station;
    station.host.mixw.running = false;
    station.host.At(9000, [&] { station.host.mixw.running = true; });
    station.Launch();
    // Logger32 accepts at once, but its answer waits for the sequencer's tick to return.
    station.host.At(8999, [&] { EXPECT_THAT(station.host.logger32.Codes(), ElementsAre(1u)); });
    station.host.RunFor(11000);
    EXPECT_THAT(station.host.logger32.Codes(), ::testing::Contains(2u));
}

// Launches; the operator closes the window `time` milliseconds later, and the host runs through
// the close.
void LaunchAndCloseAt(SimulatedStation& station, int time) {
    station.host.At(time, [&station] { station.host.RequestClose(); });
    station.Launch();
    station.host.RunFor(time);
}

TEST(Startup, CloseWhileWaitingForLogger32EndsAtOnceSendingNothing) {
    SimulatedStation station;
    station.host.logger32.running = false;
    LaunchAndCloseAt(station, 10000);
    EXPECT_TRUE(station.host.Ended());
    EXPECT_THAT(station.host.TraceSince(0),
                ElementsAre("splash shown", "splash hidden", "main shown", "main topmost", "end"));
    EXPECT_TRUE(station.host.logger32.received.empty());
    EXPECT_TRUE(station.host.MessageBoxes().empty());
}

TEST(Startup, CloseWhileWaitingForMixWUnhooksAndSaysGoodbyeWithoutTheSoundcardBox) {
    SimulatedStation station;
    station.host.mixw.running = false;
    LaunchAndCloseAt(station, 8000);
    EXPECT_TRUE(station.host.Ended());
    EXPECT_TRUE(station.host.MessageBoxes().empty());
    EXPECT_TRUE(station.host.mixw.calls.empty());
    EXPECT_THAT(station.host.TraceMatching("unhook"), ElementsAre("unhook"));
    EXPECT_THAT(station.host.TraceMatching("send"), ElementsAre("send 4 0", "send 5 0"));
}

TEST(Startup, CloseBeforeTheSequencerRunsNeitherUnhooksNorCallsMixW) {
    SimulatedStation station;
    station.Launch();
    station.host.RunFor(1000);
    station.host.RequestClose();
    station.host.RunFor(0);
    EXPECT_TRUE(station.host.Ended());
    EXPECT_THAT(station.host.TraceSince(0), ElementsAre("splash shown", "end"));
}

TEST(Shutdown, WhileMixWHasTheRigOnlyUnhooksAndSendsFourAndFive) {
    SimulatedStation station;
    station.LaunchAndRun();
    std::size_t closing = station.host.TraceMark();
    station.host.RequestClose();
    station.host.RunFor(0);
    EXPECT_THAT(station.host.TraceSince(closing),
                ElementsAre("unhook", "send 4 0", "send 5 0", "end"));
    auto& last = station.host.logger32.received.back();
    EXPECT_TRUE(last.sent);
}

// However the close arrives: posted (the close box, Alt+F4) or sent by another program, inside
// whose message MixW cannot be called (Task Manager's "End task").
TEST(Shutdown, WhileLogger32HasTheRigHandsItBackBeforeLeavingHoweverTheCloseArrives) {
    for (bool sent : {false, true}) {
        SCOPED_TRACE(sent ? "sent close" : "posted close");
        SimulatedStation station;
        station.LaunchAndRun();
        station.host.Click(Button::Command2);
        station.host.RunFor(0);
        std::size_t closing = station.host.TraceMark();
        sent ? station.host.SendClose() : station.host.RequestClose();
        station.host.RunFor(0);
        EXPECT_THAT(station.host.TraceSince(closing),
                    ElementsAre("post 18 1", "post 7 0", "post 11 0", "post 13 0", "post 19 0",
                                "box Please close Souncard window and CW Mashine window Logger32 "
                                "and after that press OK",
                                "macro <TOGGLECATPORT>", "macro <TOGGLEPTTPORT>", "unhook",
                                "send 4 0", "send 5 0", "end"));
    }
}

// Windows sends the end of the session from another process and may end this one as soon as
// it is answered: no box, no MixW call (MixW ends too, and COM would refuse the call there).
TEST(SessionEnd, WhileLogger32HasTheRigHandsItBackSaysGoodbyeAndEndsWithoutABoxOrMixW) {
    SimulatedStation station;
    station.LaunchAndRun();
    station.host.Click(Button::Command2);
    station.host.RunFor(0);
    std::size_t calls = station.host.mixw.calls.size();
    std::size_t ending = station.host.TraceMark();
    EXPECT_TRUE(station.host.EndSession());
    EXPECT_THAT(
        station.host.TraceSince(ending),
        ElementsAre("query end session", "end session", "send 18 1", "send 7 0", "send 11 0",
                    "send 13 0", "send 19 0", "unhook", "send 4 0", "send 5 0", "end"));
    EXPECT_TRUE(station.host.MessageBoxes().empty());
    EXPECT_EQ(station.host.mixw.calls.size(), calls);
}

// The Restart Manager closes Pontara alone and MixW goes on: its ports go back to it, from a
// thread that handles no sent message, and the session's end waits for that at most 2 s.
TEST(SessionEnd, ClosingPontaraAloneWhileLogger32HasTheRigTogglesMixWsPortsWithinTwoSeconds) {
    struct Row {
        int callTime;
        std::vector<std::string> toggles;
        int endsAfter;
    };
    for (const Row& row : {Row{0, {"macro <TOGGLECATPORT>", "macro <TOGGLEPTTPORT>"}, 0},
                           Row{2500, {"macro <TOGGLECATPORT>"}, 2000}}) {
        SCOPED_TRACE(row.callTime);
        SimulatedStation station;
        station.LaunchAndRun();
        station.host.Click(Button::Command2);
        station.host.RunFor(0);
        station.host.mixw.callTime = row.callTime;
        std::size_t ending = station.host.TraceMark();
        const int endedAt = station.host.Now();
        EXPECT_TRUE(station.host.EndSession(SessionEnd::ThisProgram));
        std::vector<std::string> expected{"query end session", "end session, this program only",
                                          "send 18 1",         "send 7 0",
                                          "send 11 0",         "send 13 0",
                                          "send 19 0",         "worker"};
        expected.insert(expected.end(), row.toggles.begin(), row.toggles.end());
        expected.insert(expected.end(), {"unhook", "send 4 0", "send 5 0", "end"});
        EXPECT_EQ(station.host.TraceSince(ending), expected);
        EXPECT_EQ(station.host.Trace().back().time - endedAt, row.endsAfter);
        EXPECT_TRUE(station.host.MessageBoxes().empty());
    }
}

}  // namespace
}  // namespace pontara::testing
