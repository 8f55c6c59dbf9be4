// The real Pontara.exe between the Logger32 and MixW stand-ins: handing the radio over with the
// rig buttons and back, the buttons' colours on the screen, Logger32's dial tuning MixW, a QSO
// saved or removed in MixW reaching Logger32, "Send!", and closing while Logger32 owns the rig.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "station/Harness.h"
#include "station/TestCase.h"
#include "station/WineStation.h"

namespace pontara {
namespace {

using namespace harness;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

constexpr char MixWControlActive[] = "            MixW2 control active !";
constexpr char Logger32ControlActive[] = "         Logger32 control active !";
constexpr char CloseSoundcardWindows[] =
    "Please close Souncard window and CW Mashine window Logger32 and after that press OK";
// The two stand-ins' clocks agree with the station's to within a millisecond each.
constexpr StationTime ClockSlack = 2;

bool Has(const std::vector<std::string>& list, const std::string& entry) {
    return std::find(list.begin(), list.end(), entry) != list.end();
}

std::optional<Arrival> First(const std::vector<Arrival>& arrivals, const std::string& prefix) {
    for (const Arrival& arrival : arrivals) {
        if (arrival.what.starts_with(prefix)) {
            return arrival;
        }
    }
    return std::nullopt;
}

std::vector<Arrival> Only(std::vector<Arrival> arrivals, const std::string& prefix) {
    std::erase_if(arrivals,
                  [&](const Arrival& arrival) { return !arrival.what.starts_with(prefix); });
    return arrivals;
}

// A running station, MixW owning the rig, forwarding through its first commands.
class RunningStation : public RunningStationTest {
  protected:
    void SetUp() override {
        RunningStationTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        // With MixW's entry empty, forwarding sends the frequency, then the mode, then nothing.
        ASSERT_TRUE(PumpUntil(
            [&] {
                return std::ranges::any_of(
                    station_->Logger32TextsSince({}),
                    [](const std::string& text) { return text.starts_with("<APP_FORCE_MODE:"); });
            },
            10s))
            << Listed(station_->AtLogger32Since({}));
    }

    bool WaitForFieldText(Field field, const std::string& expected) {
        return PumpUntil([&] { return S().FieldText(field) == expected; }, 10s);
    }

    // Command2, and the wait for the last of its five codes.
    void GiveRigToLogger32() {
        const WineStation::Mark mark = S().MarkNow();
        S().Click(Button::Command2);
        ASSERT_TRUE(PumpUntil([&] { return Has(S().Logger32CodesSince(mark), "code 19 1"); }, 10s))
            << "Command2 did not hand the rig to Logger32\n"
            << Listed(S().AtLogger32Since(mark));
        ASSERT_TRUE(WaitForFieldText(Field::Text1, Logger32ControlActive));
    }

    // Command1, its box answered, and the wait for the second port toggle.
    void GiveRigToMixW() {
        const WineStation::Mark mark = S().MarkNow();
        S().Click(Button::Command1);
        const HWND box = WaitForMessageBox("Pontara", 10s);
        ASSERT_NE(box, nullptr) << "Command1 showed no box";
        ASSERT_TRUE(PressOk(box));
        ASSERT_TRUE(PumpUntil(
            [&] { return Has(S().MixWCallsSince(mark), "ExecuteMacros <TOGGLEPTTPORT>"); }, 10s))
            << Listed(S().AtMixWSince(mark));
        ASSERT_TRUE(WaitForFieldText(Field::Text1, MixWControlActive));
    }

    bool WaitForTexts(const WineStation::Mark& mark, std::size_t count) {
        return PumpUntil([&] { return S().Logger32TextsSince(mark).size() >= count; }, 10s);
    }
};

// ---- Handing the rig over ---------------------------------------------------------------------

using RigHandover = RunningStation;

TEST_F(RigHandover, ToLogger32AndBackTogglesPortsPostsBothCodeSetsAndStopsForwardingMeanwhile) {
    const WineStation::Mark toLogger32 = S().MarkNow();
    const StationTime clicked = S().Now();
    S().Click(Button::Command2);
    ASSERT_TRUE(
        PumpUntil([&] { return Has(S().Logger32CodesSince(toLogger32), "code 19 1"); }, 10s))
        << Listed(S().AtLogger32Since(toLogger32));
    EXPECT_EQ(S().MixWCallsSince(toLogger32),
              (Lines{"ExecuteMacros <TOGGLECATPORT>", "ExecuteMacros <TOGGLEPTTPORT>"}));
    EXPECT_EQ(S().Logger32CodesSince(toLogger32),
              (Lines{"code 18 0", "code 6 0", "code 12 0", "code 14 0", "code 19 1"}));
    // MixW lets go of the ports before Logger32 is told to take them.
    const std::vector<Arrival> toggles = S().MixWCallArrivalsSince(toLogger32);
    const std::vector<Arrival> codes = Only(S().AtLogger32Since(toLogger32), "code ");
    ASSERT_EQ(toggles.size(), 2u);
    ASSERT_EQ(codes.size(), 5u);
    EXPECT_LE(toggles.back().at, codes.front().at + ClockSlack);
    Measure("handover_to_logger32_click_to_last_code_ms", codes.back().at - clicked);

    EXPECT_TRUE(WaitForFieldText(Field::Text1, Logger32ControlActive))
        << S().FieldText(Field::Text1);
    EXPECT_FALSE(IsWindowEnabled(S().ButtonWindow(Button::Command2)));
    EXPECT_TRUE(IsWindowEnabled(S().ButtonWindow(Button::Command1)));

    // MixW changes while Logger32 owns the rig reach Logger32 as nothing: no tick even asks.
    const WineStation::Mark quiet = S().MarkNow();
    S().MixWTunes(7035000, 2125);
    S().MixWSets(u"QSO", u"Mode", u"RTTY");
    S().MixWSets(u"QSO", u"Call", u"Q1ABC");
    PumpFor(2500ms);
    EXPECT_TRUE(S().Logger32TextsSince(quiet).empty()) << Listed(S().AtLogger32Since(quiet));
    EXPECT_TRUE(Only(S().AtMixWSince(quiet), "get FqA").empty()) << "Timer2 still ticks";

    const WineStation::Mark toMixW = S().MarkNow();
    S().Click(Button::Command1);
    const HWND box = WaitForMessageBox("Pontara", 10s);
    ASSERT_NE(box, nullptr) << "no box before the rig went back to MixW";
    EXPECT_EQ(MessageBoxText(box), CloseSoundcardWindows);
    ASSERT_TRUE(PumpUntil([&] { return S().Logger32CodesSince(toMixW).size() >= 5; }, 10s))
        << Listed(S().AtLogger32Since(toMixW));
    EXPECT_EQ(S().Logger32CodesSince(toMixW),
              (Lines{"code 18 1", "code 7 0", "code 11 0", "code 13 0", "code 19 0"}));
    // The ports wait for the operator's OK.
    PumpFor(500ms);
    EXPECT_TRUE(S().MixWCallsSince(toMixW).empty()) << Listed(S().AtMixWSince(toMixW));
    const StationTime pressed = S().Now();
    ASSERT_TRUE(PressOk(box));
    ASSERT_TRUE(PumpUntil([&] { return S().MixWCallsSince(toMixW).size() >= 2; }, 10s))
        << Listed(S().AtMixWSince(toMixW));
    EXPECT_EQ(S().MixWCallsSince(toMixW),
              (Lines{"ExecuteMacros <TOGGLECATPORT>", "ExecuteMacros <TOGGLEPTTPORT>"}));
    EXPECT_GE(S().MixWCallArrivalsSince(toMixW).front().at, pressed);

    EXPECT_TRUE(WaitForFieldText(Field::Text1, MixWControlActive)) << S().FieldText(Field::Text1);
    EXPECT_FALSE(IsWindowEnabled(S().ButtonWindow(Button::Command1)));
    EXPECT_TRUE(IsWindowEnabled(S().ButtonWindow(Button::Command2)));

    // Forwarding resumes and, having forgotten what it sent, sends all again, one per tick.
    ASSERT_TRUE(WaitForTexts(toMixW, 3)) << Listed(S().AtLogger32Since(toMixW));
    // The record's layout is the forwarding tests' business; here it is the third text.
    const Lines sent = S().Logger32TextsSince(toMixW);
    ASSERT_EQ(sent.size(), 3u) << Listed(S().AtLogger32Since(toMixW));
    EXPECT_EQ(sent[0], "<APP_FORCE_FREQ:4>7035");
    EXPECT_EQ(sent[1], "<APP_FORCE_MODE:4>RTTY");
    EXPECT_TRUE(sent[2].starts_with("<CALL:5>Q1ABC<RST_RCVD:0>")) << sent[2];
    const std::vector<Arrival> texts = Only(S().AtLogger32Since(toMixW), "text ");
    Measure("handover_to_mixw_ok_to_first_forwarded_text_ms", texts[0].at - pressed);
    for (std::size_t i = 1; i < 3; ++i) {
        const StationTime gap = texts[i].at - texts[i - 1].at;
        Measure("handover_to_mixw_forwarded_text_gap_" + std::to_string(i) + "_ms", gap);
        EXPECT_GE(gap, 600) << "two commands on one tick";
    }
}

TEST_F(RigHandover, Logger32DialTunesMixWOnlyWhileLogger32OwnsTheRig) {
    WineStation::Mark mark = S().MarkNow();
    ASSERT_TRUE(S().Logger32().ReportDialFrequency(3573000));
    EXPECT_TRUE(WaitForFieldText(Field::Freq_logger32, "3573.000"));
    PumpFor(1000ms);
    EXPECT_TRUE(S().MixWCallsSince(mark).empty()) << Listed(S().MixWCallArrivalsSince(mark));

    ASSERT_NO_FATAL_FAILURE(GiveRigToLogger32());
    mark = S().MarkNow();
    const StationTime reported = S().Now();
    ASSERT_TRUE(S().Logger32().ReportDialFrequency(7074000));
    ASSERT_TRUE(PumpUntil([&] { return !S().MixWCallsSince(mark).empty(); }, 10s));
    EXPECT_EQ(S().MixWCallsSince(mark), (Lines{"ExecuteMacros <ZFQ:7074.000>"}));
    Measure("dial_report_to_mixw_tune_ms", S().MixWCallArrivalsSince(mark).front().at - reported);

    ASSERT_NO_FATAL_FAILURE(GiveRigToMixW());
    mark = S().MarkNow();
    // Both are changes of Logger32's dial, the second the very report that tuned MixW above.
    ASSERT_TRUE(S().Logger32().ReportDialFrequency(3573000));
    EXPECT_TRUE(WaitForFieldText(Field::Freq_logger32, "3573.000"));
    ASSERT_TRUE(S().Logger32().ReportDialFrequency(7074000));
    EXPECT_TRUE(WaitForFieldText(Field::Freq_logger32, "7074.000"));
    PumpFor(1000ms);
    EXPECT_TRUE(S().MixWCallsSince(mark).empty()) << Listed(S().MixWCallArrivalsSince(mark));
}

// ---- The buttons on the screen ------------------------------------------------------------------

// Two pixels inside a button, clear of its raised edge, its focus rectangle and its caption.
std::array<POINT, 2> InsideButton(HWND button) {
    RECT frame{};
    GetWindowRect(button, &frame);
    const int middle = (frame.top + frame.bottom) / 2;
    return {POINT{frame.left + 5, middle}, POINT{frame.right - 6, middle}};
}

std::string RgbText(COLORREF colour) {
    char text[32];
    std::snprintf(text, sizeof text, "RGB(%u, %u, %u)", GetRValue(colour), GetGValue(colour),
                  GetBValue(colour));
    return text;
}

struct ShownColour {
    Button button;
    const char* name;
    COLORREF colour;
};

class RigButtons : public ::testing::Test {
  protected:
    void TearDown() override { SaveScreenshotOnFailure(); }

    // Waits until every button shows its colour (a repaint follows a change a little later),
    // then keeps a picture of the screen as test-artifacts/RigButtons-<picture>.bmp.
    void ExpectColours(const std::vector<ShownColour>& expected, const std::string& picture) {
        auto mismatches = [&] {
            std::string found;
            for (const ShownColour& shown : expected) {
                for (POINT point : InsideButton(station_->ButtonWindow(shown.button))) {
                    const std::optional<COLORREF> colour = ScreenColourAt(point);
                    if (colour != shown.colour) {
                        found += std::string(shown.name) + " at (" + std::to_string(point.x) +
                                 ", " + std::to_string(point.y) + ") shows " +
                                 (colour ? RgbText(*colour) : "nothing") + ", not " +
                                 RgbText(shown.colour) + "\n";
                    }
                }
            }
            return found;
        };
        PumpUntil([&] { return mismatches().empty(); }, 5s);
        EXPECT_EQ(mismatches(), "") << picture;
        EXPECT_TRUE(SaveScreenshot(ArtifactPath("RigButtons-" + picture + ".bmp")));
    }

    std::optional<WineStation> station_;
};

TEST_F(RigButtons, ShowTheOwnerOtherAndSidebandColoursInEveryState) {
    // Pontara alone: it shows its window and waits for Logger32, the rig buttons not yet set.
    station_.emplace(WineStation::Options{
        .startLogger32 = false, .startMixW = false, .artifactName = TestName()});
    WineStation& s = *station_;
    ASSERT_NE(s.MainWindow(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return HasExtendedStyle(s.MainWindow(), WS_EX_TOPMOST); }, 10s))
        << "the start-up sequencer never ran";
    EXPECT_EQ(s.FieldText(Field::Text1), "Waiting start Logger32 and MixW2");
    ExpectColours({{Button::Command1, "Command1", GetSysColor(COLOR_BTNFACE)},
                   {Button::Command2, "Command2", GetSysColor(COLOR_MENU)},
                   {Button::Command3, "Command3", GetSysColor(COLOR_BTNFACE)}},
                  "1-waiting");

    s.StartLogger32();
    s.StartMixW();
    ASSERT_TRUE(s.WaitUntilRunning());
    constexpr COLORREF owner = RGB(192, 0, 192);
    constexpr COLORREF other = RGB(128, 255, 255);
    constexpr COLORREF lowerSideband = RGB(192, 192, 255);
    constexpr COLORREF upperSideband = RGB(255, 192, 255);
    ExpectColours({{Button::Command1, "Command1", owner},
                   {Button::Command2, "Command2", other},
                   {Button::Command3, "Command3", lowerSideband}},
                  "2-mixw-owns");

    s.Click(Button::Command3);
    ASSERT_TRUE(PumpUntil([&] { return s.Caption(Button::Command3) == "PKT_USB"; }, 10s));
    ExpectColours({{Button::Command3, "Command3", upperSideband}}, "3-upper-sideband");

    WineStation::Mark mark = s.MarkNow();
    s.Click(Button::Command2);
    ASSERT_TRUE(PumpUntil([&] { return Has(s.Logger32CodesSince(mark), "code 19 1"); }, 10s));
    ExpectColours({{Button::Command1, "Command1", other},
                   {Button::Command2, "Command2", owner},
                   {Button::Command3, "Command3", upperSideband}},
                  "4-logger32-owns");

    mark = s.MarkNow();
    s.Click(Button::Command1);
    const HWND box = WaitForMessageBox("Pontara", 10s);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(SaveScreenshot(ArtifactPath("RigButtons-5-box.bmp")));
    ASSERT_TRUE(PressOk(box));
    ASSERT_TRUE(PumpUntil(
        [&] { return Has(s.MixWCallsSince(mark), "ExecuteMacros <TOGGLEPTTPORT>"); }, 10s));
    // The handover to MixW paints the sideband button lower again, its caption left as it was.
    ExpectColours({{Button::Command1, "Command1", owner},
                   {Button::Command2, "Command2", other},
                   {Button::Command3, "Command3", lowerSideband}},
                  "6-mixw-owns-again");
    EXPECT_EQ(s.Caption(Button::Command3), "PKT_USB");
}

// ---- Logging --------------------------------------------------------------------------------

class QsoLogging : public RunningStation {
  protected:
    void SetUp() override {
        RunningStation::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        S().MixWSets(u"QSO", u"time", u"1234");
    }
};

TEST_F(QsoLogging, SaveLogsTheLastRecordInOneCommandThenPausesForwardingAndRemoveClears) {
    const WineStation::Mark typed = S().MarkNow();
    S().MixWSets(u"QSO", u"Call", u"Q1ABC");
    S().MixWSets(u"QSO", u"Name", u"Jaan");
    ASSERT_TRUE(PumpUntil(
        [&] {
            const std::vector<std::string> texts = S().Logger32TextsSince(typed);
            return !texts.empty() && texts.back().find("<NAME:4>Jaan") != std::string::npos;
        },
        10s))
        << Listed(S().AtLogger32Since(typed));
    const std::string record = S().Logger32TextsSince(typed).back();
    EXPECT_TRUE(record.starts_with("<CALL:5>Q1ABC<RST_RCVD:0><RST_SENT:0><QTH:0><NAME:4>Jaan"))
        << record;
    PumpFor(1000ms);

    const WineStation::Mark save = S().MarkNow();
    const StationTime saved = S().Now();
    S().MixWSets(u"QSO", u"Command", u"Save");
    ASSERT_TRUE(WaitForTexts(save, 1)) << Listed(S().AtLogger32Since(save));
    // Pontara now pauses: a new dial makes a frequency command due at its next tick.
    S().MixWTunes(7074000, 1000);
    const std::string payload = record + "<APP_TIME_ON:4>1234<APP_TIME_OFF:4>1234";
    EXPECT_EQ(S().Logger32TextsSince(save).front(),
              "<APP_LOGQSO:" + std::to_string(payload.size()) + ">" + payload);
    EXPECT_TRUE(WaitForFieldText(Field::TextCommand, "Korvex_Send"))
        << S().FieldText(Field::TextCommand);

    ASSERT_TRUE(WaitForTexts(save, 2)) << Listed(S().AtLogger32Since(save));
    const std::vector<Arrival> arrivals = S().AtLogger32Since(save);
    std::vector<std::string> whats;
    for (const Arrival& arrival : arrivals) {
        whats.push_back(arrival.what);
    }
    ASSERT_EQ(whats.size(), 4u) << Listed(arrivals);
    EXPECT_TRUE(whats[0].starts_with("text <APP_LOGQSO:")) << whats[0];
    EXPECT_EQ(Lines(whats.begin() + 1, whats.end()),
              (Lines{"code 15 1", "code 16 1", "text <APP_FORCE_FREQ:4>7075"}));
    const StationTime logged = arrivals.front().at;
    const StationTime resumed = arrivals.back().at;
    Measure("save_to_logqso_ms", logged - saved);
    Measure("save_to_next_forwarded_text_ms", resumed - saved);
    Measure("logqso_to_next_forwarded_text_ms", resumed - logged);
    // 700 ms of pause, then a whole forwarding interval of 800 ms.
    EXPECT_GE(resumed - logged, 1500 - ClockSlack);

    const WineStation::Mark remove = S().MarkNow();
    S().MixWSets(u"QSO", u"Command", u"Remove");
    ASSERT_TRUE(WaitForTexts(remove, 1));
    PumpFor(1000ms);
    EXPECT_EQ(S().Logger32TextsSince(remove), (Lines{"<EOR>"}));
    EXPECT_TRUE(S().Logger32CodesSince(remove).empty()) << Listed(S().AtLogger32Since(remove));
}

TEST_F(QsoLogging, SendButtonBelowTheVisibleAreaLogsUnderEitherOwner) {
    const HWND send = S().ButtonWindow(Button::CommandSend);
    ASSERT_NE(send, nullptr);
    EXPECT_EQ(S().Caption(Button::CommandSend), "Send!");
    const std::string times = "<APP_TIME_ON:4>1234<APP_TIME_OFF:4>1234";

    WineStation::Mark mark = S().MarkNow();
    S().Click(Button::CommandSend);
    ASSERT_TRUE(PumpUntil([&] { return Has(S().Logger32CodesSince(mark), "code 16 1"); }, 10s))
        << Listed(S().AtLogger32Since(mark));
    std::vector<Arrival> arrivals = S().AtLogger32Since(mark);
    ASSERT_EQ(arrivals.size(), 3u) << Listed(arrivals);
    EXPECT_EQ(arrivals[0].what, "text <APP_LOGQSO:39>" + times);
    EXPECT_EQ(arrivals[1].what, "code 15 1");
    EXPECT_EQ(arrivals[2].what, "code 16 1");
    EXPECT_TRUE(WaitForFieldText(Field::TextCommand, "Korvex_Send"));

    ASSERT_NO_FATAL_FAILURE(GiveRigToLogger32());
    mark = S().MarkNow();
    S().Click(Button::CommandSend);
    ASSERT_TRUE(PumpUntil([&] { return Has(S().Logger32CodesSince(mark), "code 16 1"); }, 10s))
        << Listed(S().AtLogger32Since(mark));
    arrivals = S().AtLogger32Since(mark);
    ASSERT_EQ(arrivals.size(), 3u) << Listed(arrivals);
    // No record was forwarded in between: the earlier logging's times stay in front.
    EXPECT_EQ(arrivals[0].what, "text <APP_LOGQSO:78>" + times + times);
    EXPECT_EQ(arrivals[1].what, "code 15 1");
    EXPECT_EQ(arrivals[2].what, "code 16 1");
    EXPECT_EQ(S().FieldText(Field::Text1), Logger32ControlActive);
}

// ---- Closing ----------------------------------------------------------------------------------

// A running station with Logger32 owning the rig, closed.
class Closing : public RunningStation {
  protected:
    // Closing with `close`: the five codes, then the box; after OK the two port toggles, then
    // codes 4 and 5, and the end.
    void HandsTheRigBackAsksTheOperatorThenSaysGoodbyeAndEnds(const std::function<void()>& close) {
        ASSERT_NO_FATAL_FAILURE(GiveRigToLogger32());
        const WineStation::Mark mark = S().MarkNow();
        close();
        const HWND box = WaitForMessageBox("Pontara", 10s);
        ASSERT_NE(box, nullptr) << "closing showed no box";
        EXPECT_EQ(MessageBoxText(box), CloseSoundcardWindows);
        ASSERT_TRUE(PumpUntil([&] { return S().Logger32CodesSince(mark).size() >= 5; }, 10s));
        PumpFor(500ms);
        EXPECT_EQ(S().Logger32CodesSince(mark),
                  (Lines{"code 18 1", "code 7 0", "code 11 0", "code 13 0", "code 19 0"}));
        EXPECT_TRUE(S().MixWCallsSince(mark).empty()) << Listed(S().MixWCallArrivalsSince(mark));
        EXPECT_TRUE(S().Pontara().Running());

        const StationTime pressed = S().Now();
        ASSERT_TRUE(PressOk(box));
        const std::optional<DWORD> exitCode = S().Pontara().WaitForExit(15s);
        ASSERT_TRUE(exitCode.has_value()) << "Pontara still runs";
        EXPECT_EQ(*exitCode, 0u);
        Measure("close_ok_to_exit_ms", S().Now() - pressed);

        EXPECT_EQ(S().MixWCallsSince(mark),
                  (Lines{"ExecuteMacros <TOGGLECATPORT>", "ExecuteMacros <TOGGLEPTTPORT>"}))
            << Listed(S().AtMixWSince(mark));
        EXPECT_EQ(S().Logger32CodesSince(mark),
                  (Lines{"code 18 1", "code 7 0", "code 11 0", "code 13 0", "code 19 0",
                         "code 4 0 sent", "code 5 0 sent"}));
        const std::vector<Arrival> toggles = S().MixWCallArrivalsSince(mark);
        const std::optional<Arrival> leaving = First(S().AtLogger32Since(mark), "code 4 0");
        ASSERT_EQ(toggles.size(), 2u);
        ASSERT_TRUE(leaving.has_value());
        EXPECT_GE(toggles.front().at, pressed);
        EXPECT_LE(toggles.back().at, leaving->at + ClockSlack);
    }
};

TEST_F(Closing, WhileLogger32OwnsTheRigHandsItBackAsksTheOperatorThenSaysGoodbyeAndEnds) {
    HandsTheRigBackAsksTheOperatorThenSaysGoodbyeAndEnds([&] { S().Close(); });
}

// Task Manager's "End task" sends WM_CLOSE: inside that message MixW cannot be called, and the
// program must not end before its ports are toggled back.
TEST_F(Closing, ACloseSentByAnotherProgramWhileLogger32OwnsTheRigRunsTheWholeUnload) {
    HandsTheRigBackAsksTheOperatorThenSaysGoodbyeAndEnds([&] { S().SendClose(); });
}

// Windows ending the session while Logger32 owns the rig: the rig goes back and Logger32 is told
// that Pontara leaves, with no box for an operator who is not asked, and nothing asked of MixW.
TEST_F(Closing, TheSessionEndingWhileLogger32OwnsTheRigHandsItBackSaysGoodbyeAndEndsWithoutABox) {
    ASSERT_NO_FATAL_FAILURE(GiveRigToLogger32());
    const WineStation::Mark mark = S().MarkNow();
    EXPECT_EQ(S().EndSession(), std::optional<bool>(true));
    const std::optional<DWORD> exitCode = S().Pontara().WaitForExit(15s);
    ASSERT_TRUE(exitCode.has_value()) << "Pontara still runs after the session ended";
    EXPECT_EQ(*exitCode, 0u);
    ASSERT_TRUE(PumpUntil([&] { return S().Logger32CodesSince(mark).size() >= 7; }, 10s));
    EXPECT_EQ(S().Logger32CodesSince(mark),
              (Lines{"code 18 1 sent", "code 7 0 sent", "code 11 0 sent", "code 13 0 sent",
                     "code 19 0 sent", "code 4 0 sent", "code 5 0 sent"}));
    EXPECT_TRUE(S().MixWCallsSince(mark).empty()) << Listed(S().MixWCallArrivalsSince(mark));
}

// The Restart Manager closing Pontara alone while Logger32 owns the rig: MixW goes on, and its
// ports go back to it before Logger32 hears that Pontara leaves.
TEST_F(Closing, TheRestartManagerClosingPontaraAloneAlsoTogglesMixWsPortsBack) {
    ASSERT_NO_FATAL_FAILURE(GiveRigToLogger32());
    const WineStation::Mark mark = S().MarkNow();
    EXPECT_EQ(S().EndSession(true), std::optional<bool>(true));
    const std::optional<DWORD> exitCode = S().Pontara().WaitForExit(15s);
    ASSERT_TRUE(exitCode.has_value()) << "Pontara still runs after the session ended";
    EXPECT_EQ(*exitCode, 0u);
    ASSERT_TRUE(PumpUntil([&] { return S().Logger32CodesSince(mark).size() >= 7; }, 10s));
    EXPECT_EQ(S().Logger32CodesSince(mark),
              (Lines{"code 18 1 sent", "code 7 0 sent", "code 11 0 sent", "code 13 0 sent",
                     "code 19 0 sent", "code 4 0 sent", "code 5 0 sent"}));
    EXPECT_EQ(S().MixWCallsSince(mark),
              (Lines{"ExecuteMacros <TOGGLECATPORT>", "ExecuteMacros <TOGGLEPTTPORT>"}))
        << Listed(S().AtMixWSince(mark));
    const std::vector<Arrival> toggles = S().MixWCallArrivalsSince(mark);
    const std::optional<Arrival> leaving = First(S().AtLogger32Since(mark), "code 4 0");
    ASSERT_EQ(toggles.size(), 2u);
    ASSERT_TRUE(leaving.has_value());
    EXPECT_LE(toggles.back().at, leaving->at + ClockSlack);
}

}  // namespace
}  // namespace pontara
