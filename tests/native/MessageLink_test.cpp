// The registered-message link with Logger32: the handshake with its fallback names, the retry
// timer in both modes, and what each code that arrives does.

#include "logger32/MessageLink.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>

#include "SimulatedStation.h"

namespace pontara::testing {
namespace {

using ::testing::ElementsAre;

std::vector<int> ConnectRequestNames(const sim::SimLogger32& logger32) {
    std::vector<int> names;
    for (const auto& message : logger32.received) {
        if (message.code == 1) {
            names.push_back(message.name);
        }
    }
    return names;
}

TEST(Handshake, AcceptPostsTwoSentWindowCodesZeroFirst) {
    SimulatedStation station;
    station.LaunchAndRun();
    std::vector<std::int32_t> code2;
    for (const auto& message : station.host.logger32.received) {
        if (message.code == 2) {
            code2.push_back(message.lParam);
        }
    }
    EXPECT_THAT(code2,
                ElementsAre(0, static_cast<std::int32_t>(station.host.FieldWindow(Field::Sent))));
    EXPECT_EQ(station.host.logger32.sentWindow, station.host.FieldWindow(Field::Sent));
}

TEST(Handshake, RejectedNamesMoveOnEvery200MillisecondsUntilOneIsAccepted) {
    SimulatedStation station;
    station.host.logger32.rejectedNames = {1, 2, 3, 4};
    station.LaunchAndRun();
    station.host.RunFor(2000);
    EXPECT_THAT(ConnectRequestNames(station.host.logger32), ElementsAre(1, 2, 3, 4, 5));
    std::vector<int> times;
    for (const auto& message : station.host.logger32.received) {
        if (message.code == 1) {
            times.push_back(message.time);
        }
    }
    // The first reject is handled once the sequencer's tick returns, at the start's end.
    EXPECT_THAT(times, ElementsAre(ConnectRequestTime, RunningTime + 200, RunningTime + 400,
                                   RunningTime + 600, RunningTime + 800));
    EXPECT_TRUE(station.host.MessageBoxes().empty());
    EXPECT_EQ(station.host.logger32.sentWindow, station.host.FieldWindow(Field::Sent));
}

TEST(Handshake, FiveRejectsShowTooBusyOnceAndNeverTryAgain) {
    SimulatedStation station;
    station.host.logger32.rejectedNames = {1, 2, 3, 4, 5};
    station.LaunchAndRun();
    station.host.RunFor(60000);
    EXPECT_THAT(ConnectRequestNames(station.host.logger32), ElementsAre(1, 2, 3, 4, 5));
    ASSERT_EQ(station.host.MessageBoxes().size(), 1u);
    EXPECT_EQ(station.host.MessageBoxes()[0].caption, u"Too busy");
    EXPECT_EQ(station.host.MessageBoxes()[0].text,
              u"Unable to connect to Logger32.  I tried 5 different registered messages and all "
              u"were rejected");
    EXPECT_EQ(station.host.MessageBoxes()[0].time, RunningTime + 1000);
    EXPECT_FALSE(station.host.Enabled(TimerId::Timer));
    EXPECT_FALSE(station.host.Ended());
}

TEST(Handshake, Logger32GoneAtConnectArmsTheRetryAndTheFirstForwardingTickEndsTheProgram) {
    SimulatedStation station;
    station.host.logger32.windowLooksLeft = 1;  // seen by the sequencer, gone at the connect
    station.LaunchAndRun();
    EXPECT_EQ(station.host.Interval(TimerId::Timer), 5000);
    EXPECT_TRUE(station.host.Enabled(TimerId::Timer));
    std::size_t mark = station.host.TraceMark();
    station.host.RunFor(800);
    EXPECT_TRUE(station.host.Ended());
    EXPECT_THAT(station.host.TraceSince(mark), ElementsAre("end"));
}

// The link alone, its retry timer ticking, as it runs while nothing else of the bridge does.
class LinkOnly : public HostEvents {
  public:
    explicit LinkOnly(sim::SimHost& host) : link(host) {}
    void Load() override {}
    void Unload() override {}
    bool QueryEndSession() override { return true; }
    void EndSession(SessionEnd) override {}
    void TimerTick(TimerId timer) override {
        if (timer == TimerId::Timer) {
            link.RetryTick();
        }
    }
    void FieldChanged(Field) override {}
    void ButtonClicked(Button) override {}
    std::optional<std::int32_t> WindowMessage(MessageId message, std::uint32_t wParam,
                                              std::int32_t lParam) override {
        return link.BridgeWindowProc(message, wParam, lParam);
    }
    void WorkPosted(const std::function<void()>&) override {}
    logger32::MessageLink link;
};

// The link connects at time 0 while Logger32 is not running.
class ConnectRetry : public ::testing::Test {
  protected:
    void ConnectWhileLogger32IsAway() {
        host.SetInterval(TimerId::Timer, 0);
        host.Start(events);
        host.logger32.running = false;
        events.link.State().MainWindow = host.MainWindow();
        events.link.ConnectLogger32();
    }

    sim::SimHost host;
    LinkOnly events{host};
};

TEST_F(ConnectRetry, LooksEveryFiveSecondsThenRequestsUnderTheFirstName) {
    ConnectWhileLogger32IsAway();
    host.At(12000, [&] { host.logger32.running = true; });
    host.RunFor(20000);
    ASSERT_THAT(ConnectRequestNames(host.logger32), ElementsAre(1));
    EXPECT_EQ(host.logger32.received[0].time, 15000);
    EXPECT_FALSE(host.Enabled(TimerId::Timer));
    EXPECT_EQ(host.Interval(TimerId::Timer), 0);
}

// Windows that FindWindowA would find before Logger32's: a folder named "Logger32" in either of
// Explorer's window classes, its title in any case, and one of Logger32's own message boxes.
struct NotLogger32Window {
    const char* title;
    const char* className;
};

constexpr WindowHandle NotLogger32Handle = 0x00030050;

void PrintTo(const NotLogger32Window& window, std::ostream* os) {
    *os << window.className;
}

class NotLogger32WindowAbove : public ::testing::TestWithParam<NotLogger32Window> {};

TEST_P(NotLogger32WindowAbove, TheConnectRequestGoesToLogger32NotToIt) {
    SimulatedStation station;
    auto& windows = station.host.topLevelWindows;
    windows.insert(windows.begin(), {GetParam().title, GetParam().className, NotLogger32Handle});
    station.LaunchAndRun();
    EXPECT_THAT(ConnectRequestNames(station.host.logger32), ElementsAre(1));
    EXPECT_EQ(station.host.logger32.received.front().time, ConnectRequestTime);
    EXPECT_EQ(station.host.logger32.sentWindow, station.host.FieldWindow(Field::Sent));
}

INSTANTIATE_TEST_SUITE_P(FolderWindowsAndBoxes, NotLogger32WindowAbove,
                         ::testing::Values(NotLogger32Window{"Logger32", "CabinetWClass"},
                                           NotLogger32Window{"LOGGER32", "ExploreWClass"},
                                           NotLogger32Window{"Logger32", "#32770"}));

TEST_F(ConnectRetry, AnExplorerWindowAloneIsNoLogger32AndTheLooksGoOn) {
    host.topLevelWindows.push_back({"Logger32", "CabinetWClass", NotLogger32Handle});
    ConnectWhileLogger32IsAway();
    host.At(22000, [&] { host.logger32.running = true; });
    host.RunFor(21000);
    EXPECT_THAT(host.TraceMatching("post "), ::testing::IsEmpty());
    EXPECT_EQ(host.Interval(TimerId::Timer), 5000);
    EXPECT_TRUE(host.Enabled(TimerId::Timer));
    host.RunFor(5000);
    ASSERT_THAT(ConnectRequestNames(host.logger32), ElementsAre(1));
    EXPECT_EQ(host.logger32.received[0].time, 25000);
}

struct KilohertzCase {
    std::int32_t hertz;
    const char16_t* separator;
    const char16_t* text;
};

class KilohertzText : public ::testing::TestWithParam<KilohertzCase> {};

TEST_P(KilohertzText, ShowsThreeDecimalsWithoutALeadingZero) {
    EXPECT_EQ(logger32::KilohertzText(GetParam().hertz, GetParam().separator), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(DialFrequencies, KilohertzText,
                         ::testing::Values(KilohertzCase{14075450, u".", u"14075.450"},
                                           KilohertzCase{14075450, u",", u"14075,450"},
                                           KilohertzCase{500, u".", u".500"},
                                           KilohertzCase{0, u".", u".000"},
                                           KilohertzCase{999, u".", u".999"},
                                           KilohertzCase{1000, u".", u"1.000"},
                                           KilohertzCase{-3, u".", u"-.003"},
                                           KilohertzCase{-14075450, u".", u"-14075.450"},
                                           KilohertzCase{INT_MAX, u".", u"2147483.647"},
                                           KilohertzCase{INT_MIN, u".", u"-2147483.648"}));

TEST(Logger32Codes, DialFrequencyAndClusterValueAreShownInTheirFields) {
    SimulatedStation station;
    station.LaunchAndRun();
    station.host.decimalSeparator = u",";
    station.host.PostFromLogger32(100, 14075450);
    station.host.PostFromLogger32(102, -3);
    station.Settle();
    EXPECT_EQ(station.host.FieldText(Field::Freq_logger32), u"14075,450");
    EXPECT_EQ(station.host.FieldText(Field::Cluster), u"-3");
}

TEST(Logger32Codes, UnknownCodesAreSwallowedAndOtherMessagesPassOn) {
    SimulatedStation station;
    station.LaunchAndRun();
    std::size_t mark = station.host.TraceMark();
    int passedOn = station.host.MessagesPassedOn();
    for (std::uint32_t code : {1u, 2u, 101u, 4000000000u}) {
        station.host.PostFromLogger32(code, 7);
    }
    station.Settle();
    EXPECT_TRUE(station.host.TraceSince(mark).empty());
    EXPECT_EQ(station.host.MessagesPassedOn(), passedOn);
    // A message under another name than the one in use is not Logger32's to the bridge.
    station.host.PostFromLogger32(100, 7000, 3);
    station.Settle();
    EXPECT_EQ(station.host.MessagesPassedOn(), passedOn + 1);
    EXPECT_EQ(station.host.FieldText(Field::Freq_logger32), u"Freq_Logger32");
}

TEST(Logger32Codes, TextWindowIsTakenFromCodeThreeInAnyOrder) {
    SimulatedStation station;
    station.host.logger32.namesTextWindow = false;
    station.LaunchAndRun();
    station.host.PostFromLogger32(3, static_cast<std::int32_t>(0xFFFF1234u));
    station.host.PostFromLogger32(3, static_cast<std::int32_t>(sim::SimLogger32::TextWindowHandle));
    station.host.RunFor(2000);
    // The first record goes to the window named last.
    EXPECT_FALSE(station.host.logger32.texts.empty());
}

TEST(CodeTable, NamesWindowsAndRigCodesOfTheLink) {
    EXPECT_STREQ(logger32::CodeName(0, 1), "connect answer: accepted");
    EXPECT_STREQ(logger32::CodeName(0, 0), "connect answer: rejected");
    EXPECT_STREQ(logger32::CodeName(18, 0), "Logger32 takes the rig, 1 of 5");
    EXPECT_STREQ(logger32::CodeName(19, 0), "MixW takes the rig, 5 of 5");
    EXPECT_STREQ(logger32::CodeName(100, 14075450), "dial frequency");
    EXPECT_STREQ(logger32::CodeName(17, 0), "unknown code");
    std::vector<std::uint32_t> windows;
    std::vector<std::uint32_t> rig;
    for (std::uint32_t code = 0; code <= 102; ++code) {
        const logger32::CodeInfo* info = logger32::FindCode(code);
        if (info != nullptr && info->carriesWindow) {
            windows.push_back(code);
        }
        if (logger32::IsRigCode(code)) {
            rig.push_back(code);
        }
    }
    EXPECT_THAT(windows, ElementsAre(1, 2, 3, 10));
    EXPECT_THAT(rig, ElementsAre(6, 7, 11, 12, 13, 14, 18, 19));
}

}  // namespace
}  // namespace pontara::testing
