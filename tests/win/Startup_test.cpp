// The real Pontara.exe from launch to its end, between Logger32's and MixW's stand-ins: when it
// asks Logger32 to connect (past an Explorer window and a message box of the same title) and
// attaches MixW, how it moves through the message names, what it shows of Logger32's codes, and
// what a close sends in each state; and a second Pontara started beside it, which ends.
// Times are measured on the station's clock and printed as "MEASURE <name> <ms>" lines.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "Logger32StandIn.h"
#include "logger32/Logger32Protocol.h"
#include "station/Harness.h"
#include "station/TestCase.h"
#include "station/WineStation.h"
#include "ui/WindowModel.h"

namespace pontara {
namespace {

using namespace harness;
using namespace std::chrono_literals;
using standin::ConnectAnswer;
using standin::LinkMessage;
using standin::ParameterFromWindow;

constexpr const char* WaitingForBoth = "Waiting start Logger32 and MixW2";
constexpr const char* WaitingForMixW = "Waiting start MixW.";
constexpr const char* MixWControlActive = "            MixW2 control active !";

StationTime LaunchedAt(WineStation& station) {
    return station.ToStationTime(station.Pontara().StartedAt());
}

// When the first arrival at Logger32 that begins with `what` came; none if none did.
std::optional<StationTime> FirstArrival(const std::vector<Arrival>& arrivals,
                                        const std::string& what) {
    auto found = std::find_if(arrivals.begin(), arrivals.end(), [&](const Arrival& arrival) {
        return arrival.what.starts_with(what);
    });
    return found != arrivals.end() ? std::optional(found->at) : std::nullopt;
}

struct Code {
    std::uint32_t code;
    std::int32_t lParam;
    bool operator==(const Code&) const = default;
};

void PrintTo(const Code& code, std::ostream* out) {
    *out << "{" << code.code << ", " << code.lParam << "}";
}

std::vector<Code> CodesOf(const std::vector<LinkMessage>& messages) {
    std::vector<Code> codes;
    for (const LinkMessage& message : messages) {
        codes.push_back({message.code, message.lParam});
    }
    return codes;
}

// The message name of each connect request, in order.
std::vector<int> ConnectRequestNames(standin::Logger32StandIn& logger32) {
    std::vector<int> names;
    for (const LinkMessage& message : logger32.MessagesWithCode(logger32::ConnectRequest)) {
        names.push_back(message.name);
    }
    return names;
}

// The MixW-takes-the-rig set, as posted at the end of the start: codes 18, 7, 11, 13, 19.
std::vector<Code> MixWTakesTheRig() {
    return {{18, 1}, {7, 0}, {11, 0}, {13, 0}, {19, 0}};
}

// ---- Start-up -------------------------------------------------------------------------------

TEST(Startup, BothPeersAtLaunchAreConnectedAtFourSecondsAndMixWAttachedASecondLaterWithTheRig) {
    WineStation station(WineStation::Options{.artifactName = TestName()});
    ASSERT_NE(station.MainWindow(), nullptr);
    standin::Logger32StandIn& logger32 = station.Logger32();
    ASSERT_TRUE(PumpUntil([&] { return logger32.CountCode(logger32::SentWindow) >= 2; }, 15000ms))
        << "the start never reached the handshake's answer";

    const std::int32_t main = ParameterFromWindow(station.MainWindow());
    const std::int32_t sent = ParameterFromWindow(FieldAt(station.MainWindow(), Field::Sent));
    std::vector<Code> expected{{logger32::ConnectRequest, main}};
    for (const Code& code : MixWTakesTheRig()) {
        expected.push_back(code);
    }
    // Logger32 accepts while the sequencer still waits for MixW; its answer is taken after.
    expected.push_back({logger32::SentWindow, 0});
    expected.push_back({logger32::SentWindow, sent});
    EXPECT_EQ(CodesOf(logger32.Messages()), expected);
    for (const LinkMessage& message : logger32.Messages()) {
        EXPECT_EQ(message.name, 1) << "code " << message.code;
        EXPECT_FALSE(message.sent) << "code " << message.code << " was sent, not posted";
    }
    EXPECT_EQ(station.FieldText(Field::Text1), MixWControlActive);

    // The first MixW call comes with the first forwarding tick, which opens the links.
    ASSERT_TRUE(PumpUntil([&] { return !station.AtMixWSince({}).empty(); }, 5000ms));
    const std::vector<Arrival> atLogger32 = station.AtLogger32Since({});
    const StationTime launched = LaunchedAt(station);
    const std::optional<StationTime> connect = FirstArrival(atLogger32, "code 1 ");
    const std::optional<StationTime> attach = FirstArrival(atLogger32, "code 18 ");
    ASSERT_TRUE(connect && attach);
    const StationTime firstMixWCall = station.AtMixWSince({}).front().at;
    Measure("launch_to_connect_ms", *connect - launched);
    Measure("connect_to_attach_ms", *attach - *connect);
    Measure("attach_to_first_mixw_call_ms", firstMixWCall - *attach);
    // Splash 3000 ms and Timer1 1000 ms; the sequencer's 1000 ms pause; Timer2's 800 ms.
    EXPECT_GE(*connect - launched, 3900);
    EXPECT_LE(*connect - launched, 8000);
    EXPECT_GE(*attach - *connect, 900);
    EXPECT_LE(*attach - *connect, 4000);
    EXPECT_GE(firstMixWCall - *attach, 600);
    EXPECT_LE(firstMixWCall - *attach, 3000);

    // The accept is answered once: no further Sent codes trail behind.
    PumpFor(1000ms);
    EXPECT_EQ(logger32.CountCode(logger32::SentWindow), 2u);
    SaveScreenshotOnFailure();
}

TEST(Startup, Logger32StartedLateIsAskedToConnectWithinOneLookOfItsWindowAppearing) {
    WineStation station(WineStation::Options{.startLogger32 = false, .artifactName = TestName()});
    ASSERT_NE(station.MainWindow(), nullptr);
    const StationTime launched = LaunchedAt(station);
    // Well past the first look at 4 s, so that the sequencer is between two looks.
    PumpUntil([&] { return station.Now() - launched >= 6500; }, 10000ms);
    EXPECT_EQ(station.FieldText(Field::Text1), WaitingForBoth);
    PumpUntil([&] { return station.Now() - launched >= 7300; }, 10000ms);

    station.StartLogger32();
    standin::Logger32StandIn& logger32 = station.Logger32();
    ASSERT_TRUE(
        PumpUntil([&] { return logger32.CountCode(logger32::ConnectRequest) >= 1; }, 8000ms))
        << "no connect request after Logger32's window appeared";
    const LinkMessage request = logger32.MessagesWithCode(logger32::ConnectRequest).front();
    // The stand-in's clock starts with its window.
    Measure("logger32_window_to_connect_ms", request.time);
    // The sequencer looks every 2000 ms; the connect-retry timer would take 5000 ms.
    EXPECT_LE(request.time, 3000);
    EXPECT_EQ(request.name, 1);
    EXPECT_EQ(request.lParam, ParameterFromWindow(station.MainWindow()));

    ASSERT_TRUE(
        PumpUntil([&] { return logger32.CountCode(logger32::RigHandoverLast) >= 1; }, 8000ms))
        << "MixW, running all along, was not attached after the connect";
    EXPECT_EQ(station.FieldText(Field::Text1), MixWControlActive);
    SaveScreenshotOnFailure();
}

// A top-level window titled "Logger32" that is not Logger32's main window: what Explorer shows
// for a folder named "Logger32", where Logger32 often lives (a window of Explorer's folder-window
// class), or one of Logger32's own message boxes (Windows' dialog-box class, "#32770"). It counts
// the registered messages it gets.
class NotLogger32Window {
  public:
    explicit NotLogger32Window(const char* className) : className_(className) {
        const HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        if (GetClassInfoExA(nullptr, className, &windowClass) == FALSE) {
            windowClass.lpfnWndProc = &DefWindowProcA;
            windowClass.hInstance = instance;
            windowClass.lpszClassName = className;
            registered_ = RegisterClassExA(&windowClass) != 0;
        }
        window_ = CreateWindowExA(0, className, logger32::WindowTitle,
                                  WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                  nullptr, instance, nullptr);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        previous_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure)));
    }
    ~NotLogger32Window() {
        DestroyWindow(window_);
        if (registered_) {
            UnregisterClassA(className_, GetModuleHandleA(nullptr));
        }
    }
    NotLogger32Window(const NotLogger32Window&) = delete;
    NotLogger32Window& operator=(const NotLogger32Window&) = delete;

    HWND Window() const { return window_; }
    int RegisteredMessages() const { return registeredMessages_; }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<NotLogger32Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message >= 0xC000 && message <= 0xFFFF) {
            ++self->registeredMessages_;
            return 0;
        }
        return CallWindowProcA(self->previous_, window, message, wParam, lParam);
    }

    const char* className_;
    bool registered_ = false;
    HWND window_ = nullptr;
    WNDPROC previous_ = nullptr;
    int registeredMessages_ = 0;
};

// Every top-level window titled "Logger32", topmost first, as FindWindowA walks them.
std::vector<HWND> WindowsTitledLogger32() {
    std::vector<HWND> found;
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, nullptr, logger32::WindowTitle)) != nullptr) {
        found.push_back(window);
    }
    return found;
}

TEST(Startup, AFolderWindowAndAMessageBoxTitledLogger32AboveLogger32DoNotStopTheConnection) {
    WineStation station(WineStation::Options{.launchPontara = false, .artifactName = TestName()});
    // Made after the stand-in's window, so above it: the box on top.
    NotLogger32Window explorer("CabinetWClass");
    NotLogger32Window box("#32770");
    ASSERT_NE(explorer.Window(), nullptr);
    ASSERT_NE(box.Window(), nullptr);
    const std::vector<HWND> titled = WindowsTitledLogger32();
    ASSERT_EQ(titled.size(), 3u);
    ASSERT_EQ(titled[0], box.Window()) << "the box is not the first window titled Logger32";
    ASSERT_EQ(titled[1], explorer.Window()) << "the folder window is not the second one";
    station.LaunchPontara();
    ASSERT_NE(station.MainWindow(), nullptr);
    standin::Logger32StandIn& logger32 = station.Logger32();
    ASSERT_TRUE(PumpUntil([&] { return logger32.CountCode(logger32::SentWindow) >= 2; }, 15000ms))
        << "the handshake with Logger32 did not complete";
    EXPECT_EQ(logger32.CountCode(logger32::ConnectRequest), 1u);
    EXPECT_EQ(explorer.RegisteredMessages(), 0);
    EXPECT_EQ(box.RegisteredMessages(), 0);
    EXPECT_EQ(station.FieldText(Field::Text1), MixWControlActive);
    SaveScreenshotOnFailure();
}

// One bridge a station: a second Pontara started beside a running one brings the running one's
// window back from the taskbar and ends, before it could ask Logger32 to connect (4 s after its
// launch) or open its links to MixW.
TEST(Startup, ASecondPontaraBringsTheRunningOneForwardAndEndsWithoutBecomingABridge) {
    WineStation station(WineStation::Options{.artifactName = TestName()});
    ASSERT_TRUE(station.WaitUntilRunning()) << "the first Pontara did not start forwarding";
    const HWND running = station.MainWindow();
    ShowWindow(running, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(running) != FALSE; }, 5000ms));
    const WineStation::Mark mark = station.MarkNow();

    ChildProcess second = StartPontara();
    const std::optional<DWORD> exitCode = second.WaitForExit(20000ms);
    ASSERT_TRUE(exitCode.has_value()) << "the second Pontara still runs";
    EXPECT_EQ(*exitCode, 0u);
    EXPECT_FALSE(IsIconic(running));
    EXPECT_TRUE(IsWindowVisible(running));
    EXPECT_EQ(GetForegroundWindow(), running);

    // Past the moment a second bridge would have connected and opened its links.
    station.Pause(6000ms);
    EXPECT_EQ(station.Logger32CodesSince(mark), std::vector<std::string>{})
        << Listed(station.AtLogger32Since(mark));
    const std::vector<Arrival> atMixW = station.AtMixWSince(mark);
    EXPECT_TRUE(std::none_of(atMixW.begin(), atMixW.end(), [](const Arrival& arrival) {
        return arrival.what.starts_with(standin::mixw_events::DdeConnect);
    })) << Listed(atMixW);
    EXPECT_TRUE(station.PontaraRunning());
    EXPECT_EQ(station.FieldText(Field::Text1), MixWControlActive);
    SaveScreenshotOnFailure();
}

TEST(Startup, MixWStartedLateKeepsTheStatusWaitingAndTheRigUntilItIsAttached) {
    WineStation station(WineStation::Options{.startMixW = false, .artifactName = TestName()});
    ASSERT_NE(station.MainWindow(), nullptr);
    standin::Logger32StandIn& logger32 = station.Logger32();
    ASSERT_TRUE(
        PumpUntil([&] { return logger32.CountCode(logger32::ConnectRequest) >= 1; }, 10000ms));
    ASSERT_TRUE(
        PumpUntil([&] { return station.FieldText(Field::Text1) == WaitingForMixW; }, 3000ms))
        << station.FieldText(Field::Text1);

    // A few attempts to attach go by, the status unchanged and the rig not moved.
    const StationTime waitingFrom = station.Now();
    while (station.Now() - waitingFrom < 3500) {
        PumpFor(250ms);
        ASSERT_EQ(station.FieldText(Field::Text1), WaitingForMixW);
    }
    EXPECT_EQ(logger32.CountCode(logger32::RigHandoverFirst), 0u);

    station.StartMixW();
    const StationTime mixwStarted = station.Now();
    ASSERT_TRUE(
        PumpUntil([&] { return logger32.CountCode(logger32::RigHandoverLast) >= 1; }, 8000ms))
        << "MixW was not attached after it started";
    EXPECT_EQ(station.FieldText(Field::Text1), MixWControlActive);
    std::vector<Code> handover;
    for (const LinkMessage& message : logger32.Messages()) {
        if (message.code != logger32::ConnectRequest && message.code != logger32::SentWindow) {
            handover.push_back({message.code, message.lParam});
        }
    }
    EXPECT_EQ(handover, MixWTakesTheRig());

    // Timer2 runs: its first tick opens the links.
    ASSERT_TRUE(station.WaitUntilRunning(8000ms)) << "the forwarding timer did not start";
    const std::optional<StationTime> attach = FirstArrival(station.AtLogger32Since({}), "code 18 ");
    ASSERT_TRUE(attach);
    const std::vector<Arrival> atMixW = station.AtMixWSince({});
    ASSERT_FALSE(atMixW.empty());
    Measure("mixw_start_to_attach_ms", *attach - mixwStarted);
    Measure("mixw_start_to_first_tick_ms", atMixW.front().at - mixwStarted);
    // One attempt every 2000 ms.
    EXPECT_LE(*attach - mixwStarted, 3000);
    SaveScreenshotOnFailure();
}

// ---- The registered-message link --------------------------------------------------------------

// When the stand-in posted its reject of the k-th name, on its own clock.
std::optional<std::int64_t> RejectPostedAt(standin::Logger32StandIn& logger32, int name) {
    for (const standin::Record& record : logger32.Log().RecordsFrom(0)) {
        const auto* message = std::get_if<standin::LinkMessage>(&record.content);
        if (record.event == "post" && message->name == name &&
            message->code == logger32::ConnectAnswer && message->lParam == 0) {
            return record.milliseconds;
        }
    }
    return std::nullopt;
}

TEST(Logger32Link, RejectedNamesAreRetriedOneByOneAbout200msLaterUntilLogger32FiveIsAccepted) {
    WineStation station(WineStation::Options{.artifactName = TestName()});
    ASSERT_NE(station.MainWindow(), nullptr);
    standin::Logger32StandIn& logger32 = station.Logger32();
    for (int name = 1; name <= 4; ++name) {
        logger32.SetConnectAnswer(name, ConnectAnswer::Reject);
    }
    ASSERT_TRUE(PumpUntil([&] { return logger32.CountCode(logger32::SentWindow) >= 2; }, 15000ms))
        << "no name was accepted";

    EXPECT_EQ(ConnectRequestNames(logger32), (std::vector<int>{1, 2, 3, 4, 5}));
    const std::vector<LinkMessage> requests = logger32.MessagesWithCode(logger32::ConnectRequest);
    for (const LinkMessage& request : requests) {
        EXPECT_EQ(request.lParam, ParameterFromWindow(station.MainWindow()));
    }
    const std::vector<LinkMessage> sentCodes = logger32.MessagesWithCode(logger32::SentWindow);
    ASSERT_EQ(sentCodes.size(), 2u);
    EXPECT_EQ(sentCodes[0].name, 5);
    EXPECT_EQ(sentCodes[0].lParam, 0);
    EXPECT_EQ(sentCodes[1].name, 5);
    EXPECT_EQ(sentCodes[1].lParam, ParameterFromWindow(FieldAt(station.MainWindow(), Field::Sent)));

    ASSERT_EQ(requests.size(), 5u);
    for (int name = 1; name <= 4; ++name) {
        const std::optional<std::int64_t> rejected = RejectPostedAt(logger32, name);
        ASSERT_TRUE(rejected) << "name " << name;
        const std::int64_t spacing = requests[static_cast<std::size_t>(name)].time - *rejected;
        Measure("reject_to_retry_ms_name" + std::to_string(name), spacing);
        // The first reject waits for the end of the start (MixW's attach) before its 200 ms.
        EXPECT_GE(spacing, 100) << "name " << name;
        EXPECT_LE(spacing, name == 1 ? 5000 : 1500) << "name " << name;
    }
    EXPECT_EQ(FindWindowA("#32770", "Too busy"), nullptr);
    SaveScreenshotOnFailure();
}

TEST(Logger32Link, FiveRejectsShowTooBusyOnceAndNoFurtherConnectRequestFollows) {
    WineStation station(WineStation::Options{.artifactName = TestName()});
    ASSERT_NE(station.MainWindow(), nullptr);
    standin::Logger32StandIn& logger32 = station.Logger32();
    logger32.SetConnectAnswerForAll(ConnectAnswer::Reject);

    const HWND box = WaitForMessageBox("Too busy", 20000ms);
    ASSERT_NE(box, nullptr) << "no \"Too busy\" box after five rejects";
    const std::int64_t seen = logger32.Milliseconds();
    EXPECT_EQ(MessageBoxText(box),
              "Unable to connect to Logger32.  I tried 5 different registered messages and all "
              "were rejected");
    EXPECT_EQ(ConnectRequestNames(logger32), (std::vector<int>{1, 2, 3, 4, 5}));
    if (const std::optional<std::int64_t> rejected = RejectPostedAt(logger32, 5)) {
        Measure("last_reject_to_too_busy_box_ms", seen - *rejected);
    }
    SaveScreenshotOnFailure();
    ASSERT_TRUE(PressOk(box));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(box); }, 3000ms));

    // Longer than the 5000 ms connect-retry interval: the bridge has given up for good, and
    // goes on running.
    PumpFor(6000ms);
    EXPECT_EQ(logger32.CountCode(logger32::ConnectRequest), 5u);
    EXPECT_EQ(logger32.CountCode(logger32::SentWindow), 0u);
    EXPECT_EQ(FindWindowA("#32770", "Too busy"), nullptr) << "a second box";
    EXPECT_TRUE(station.Pontara().Running());
}

// The texts of every field, read by their handles.
std::vector<std::optional<std::string>> EveryFieldText(HWND mainWindow) {
    std::vector<std::optional<std::string>> texts;
    for (const FieldModel& field : window_model::Fields()) {
        texts.push_back(ControlText(FieldAt(mainWindow, field.field)));
    }
    return texts;
}

std::string LocaleDecimalSeparator() {
    char separator[8] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator);
    return separator;
}

TEST(Logger32Link, DialFrequencyAndClusterValueAreShownInTheirFieldsAndUnknownCodesSwallowed) {
    WineStation station(WineStation::Options{.artifactName = TestName()});
    ASSERT_NE(station.MainWindow(), nullptr);
    ASSERT_TRUE(station.WaitUntilRunning());
    standin::Logger32StandIn& logger32 = station.Logger32();
    const HWND frequency = FieldAt(station.MainWindow(), Field::Freq_logger32);
    const HWND cluster = FieldAt(station.MainWindow(), Field::Cluster);
    ASSERT_NE(frequency, nullptr);
    ASSERT_NE(cluster, nullptr);
    const std::string separator = LocaleDecimalSeparator();
    const WineStation::Mark mark = station.MarkNow();

    struct Shown {
        std::uint32_t code;
        std::int32_t lParam;
        HWND field;
        std::string text;
    };
    const Shown cases[] = {
        {logger32::DialFrequency, 14075450, frequency, "14075" + separator + "450"},
        {logger32::DialFrequency, 500, frequency, separator + "500"},
        {logger32::DialFrequency, 0, frequency, separator + "000"},
        {logger32::ClusterValue, -3, cluster, "-3"},
        {logger32::ClusterValue, 0, cluster, "0"},
    };
    for (const Shown& shown : cases) {
        SCOPED_TRACE("code " + std::to_string(shown.code) + " lParam " +
                     std::to_string(shown.lParam));
        ASSERT_TRUE(logger32.SendCode(shown.code, shown.lParam));
        EXPECT_TRUE(PumpUntil([&] { return ControlText(shown.field) == shown.text; }, 3000ms))
            << ControlText(shown.field).value_or("<no answer>");
    }

    // Let the forwarding ticks settle, then a code the bridge does not know, followed by a
    // cluster value that shows when both have been handled.
    PumpFor(1000ms);
    const std::vector<std::optional<std::string>> before = EveryFieldText(station.MainWindow());
    const std::size_t received = logger32.Messages().size();
    const std::size_t texts = logger32.Texts().size();
    ASSERT_TRUE(logger32.SendCode(101, 7));
    ASSERT_TRUE(logger32.ReportClusterValue(42));
    ASSERT_TRUE(PumpUntil([&] { return ControlText(cluster) == "42"; }, 3000ms));
    PumpFor(1000ms);
    std::vector<std::optional<std::string>> after = EveryFieldText(station.MainWindow());
    const auto clusterIndex = static_cast<std::size_t>(Field::Cluster);
    EXPECT_EQ(after[clusterIndex], "42");
    after[clusterIndex] = before[clusterIndex];
    EXPECT_EQ(after, before);
    EXPECT_EQ(logger32.Messages().size(), received) << "the bridge answered an unknown code";
    EXPECT_EQ(logger32.Texts().size(), texts);
    // While MixW has the rig, Logger32's dial does not tune MixW.
    EXPECT_TRUE(station.MixWCallsSince(mark).empty())
        << Listed(station.MixWCallArrivalsSince(mark));
    SaveScreenshotOnFailure();
}

// ---- Shutdown -------------------------------------------------------------------------------

TEST(Shutdown, ClosingWhileMixWHasTheRigSendsFourThenFiveSynchronouslyAndEnds) {
    WineStation station(WineStation::Options{.artifactName = TestName()});
    ASSERT_NE(station.MainWindow(), nullptr);
    ASSERT_TRUE(station.WaitUntilRunning());
    const WineStation::Mark mark = station.MarkNow();

    station.Close();
    const StationTime closed = station.Now();
    const std::optional<DWORD> exitCode = station.Pontara().WaitForExit(10000ms);
    const StationTime ended = station.Now();
    ASSERT_TRUE(exitCode.has_value()) << "Pontara still runs 10 s after its window was closed";
    EXPECT_EQ(*exitCode, 0u);

    EXPECT_EQ(station.Logger32CodesSince(mark),
              (std::vector<std::string>{"code 4 0 sent", "code 5 0 sent"}))
        << Listed(station.AtLogger32Since(mark));
    EXPECT_TRUE(station.MixWCallsSince(mark).empty()) << Listed(station.AtMixWSince(mark));
    if (const std::optional<StationTime> leaving =
            FirstArrival(station.AtLogger32Since(mark), "code 4 ")) {
        Measure("close_to_code4_ms", *leaving - closed);
    }
    Measure("close_to_exit_ms", ended - closed);
}

TEST(Shutdown, ClosingWhileLogger32IsAwaitedEndsAtOnceWithoutAskingMixWAnything) {
    WineStation station(WineStation::Options{.startLogger32 = false, .artifactName = TestName()});
    ASSERT_NE(station.MainWindow(), nullptr);
    // The sequencer makes the window topmost as it starts, then looks for Logger32.
    ASSERT_TRUE(
        PumpUntil([&] { return HasExtendedStyle(station.MainWindow(), WS_EX_TOPMOST); }, 10000ms));
    PumpFor(700ms);
    EXPECT_EQ(station.FieldText(Field::Text1), WaitingForBoth);

    station.Close();
    const StationTime closed = station.Now();
    const std::optional<DWORD> exitCode = station.Pontara().WaitForExit(10000ms);
    ASSERT_TRUE(exitCode.has_value()) << "Pontara still runs 10 s after its window was closed";
    const StationTime closeToExit = station.Now() - closed;
    Measure("close_while_awaiting_logger32_to_exit_ms", closeToExit);
    EXPECT_EQ(*exitCode, 0u);
    // Sooner than the sequencer's next look at 2000 ms: the wait ends with the close.
    EXPECT_LT(closeToExit, 1500);
    EXPECT_TRUE(station.AtMixWSince({}).empty()) << Listed(station.AtMixWSince({}));
}

}  // namespace
}  // namespace pontara
