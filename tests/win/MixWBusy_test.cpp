// The real Pontara.exe beside a MixW busy in a dialog of its own, working or closed, for longer
// than the 10 s after which a caller's COM would give up. Wine delivers a call to a busy server
// anyway, so this runs against the build that meets Windows' rules (../shared/windows-rules,
// given as PONTARA_EXE): there MixW answers busy, through Pontara's own message filter, while the
// event Local\StrictMixWBusy is set.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
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

constexpr const char* BusyEvent = "Local\\StrictMixWBusy";
constexpr const char* MixWBusyText = "      MixW busy, waiting for it !";
constexpr const char* Logger32ControlActive = "         Logger32 control active !";
constexpr const char* CloseSoundcardWindows =
    "Please close Souncard window and CW Mashine window Logger32 and after that press OK";

class MixWBusy : public RunningStationTest {
  protected:
    void SetUp() override {
        if (std::getenv("PONTARA_EXE") == nullptr) {
            GTEST_SKIP() << "needs the Pontara.exe of ../shared/windows-rules/build as PONTARA_EXE";
        }
        busy_ = CreateEventA(nullptr, TRUE, FALSE, BusyEvent);
        ASSERT_NE(busy_, nullptr);
        RunningStationTest::SetUp();
    }
    void TearDown() override {
        if (busy_ != nullptr) {
            ResetEvent(busy_);
            CloseHandle(busy_);
        }
        RunningStationTest::TearDown();
    }

    HANDLE busy_ = nullptr;
};

TEST_F(MixWBusy, ASpellOfFifteenSecondsEndsNothingAndWhatWasAskedIsMadeInOrderAfter) {
    S().Pause(2s);  // forwarding has sent what it had
    const WineStation::Mark mark = S().MarkNow();
    ASSERT_TRUE(SetEvent(busy_));
    ASSERT_TRUE(S().Logger32().WriteSent("<APP_DXSPOT_CLICKED:16>Q1ABC|14070.0|CW"));
    S().MixWSets(u"QSO", u"Name", u"Juri");
    EXPECT_EQ(S().WaitForFieldText(Field::Text1, MixWBusyText, 5s), MixWBusyText);
    // The operator's click is dispatched: the thread is not held inside a call to MixW.
    ASSERT_TRUE(S().Click(Button::Command3));
    EXPECT_EQ(S().WaitForCaption(Button::Command3, "PKT_USB", 5s), "PKT_USB");
    S().Pause(15s);
    EXPECT_TRUE(S().PontaraRunning());
    EXPECT_TRUE(S().MessageBoxes().empty());
    EXPECT_TRUE(S().MixWCallsSince(mark).empty()) << Listed(S().MixWCallArrivalsSince(mark));
    EXPECT_TRUE(S().Logger32TextsSince(mark).empty());

    ASSERT_TRUE(ResetEvent(busy_));
    const WineStation::Mark after = S().MarkNow();
    EXPECT_TRUE(S().WaitUntil([&] { return S().MixWCallsSince(mark).size() >= 3; }, 10s));
    S().Pause(3s);
    EXPECT_EQ(S().MixWCallsSince(mark), (Lines{"ExecuteMacros <ZFQ:14070.0>", "SetQsoData 0 Q1ABC",
                                               "ExecuteMacros <MODE:CW>"}));
    const std::vector<std::string> texts = S().Logger32TextsSince(after);
    ASSERT_FALSE(texts.empty());
    // The current QSO: the spot's call, which MixW took once it answered, and the name typed
    // during the spell.
    EXPECT_TRUE(texts.back().starts_with("<CALL:5>Q1ABC")) << texts.back();
    EXPECT_NE(texts.back().find("<NAME:4>Juri"), std::string::npos) << texts.back();
    EXPECT_EQ(S().FieldText(Field::Text1), "            MixW2 control active !");
    EXPECT_TRUE(S().PontaraRunning());
}

// Closed while Logger32 owns the rig and MixW is busy: the rig goes back to MixW only once MixW
// has toggled its ports, so Pontara stays through a spell longer than the 10 s after which a
// caller's COM would give up, and leaves once MixW has taken the toggles, in the unload's order.
TEST_F(MixWBusy, ACloseWhileLogger32OwnsTheRigEndsOnlyAfterMixWHasToggledItsPorts) {
    const WineStation::Mark handover = S().MarkNow();
    ASSERT_TRUE(S().Click(Button::Command2));
    ASSERT_TRUE(S().WaitUntil(
        [&] {
            return std::ranges::count(S().Logger32CodesSince(handover), "code 19 1") == 1 &&
                   S().FieldText(Field::Text1) == Logger32ControlActive;
        },
        10s))
        << Listed(S().AtLogger32Since(handover));

    const WineStation::Mark mark = S().MarkNow();
    ASSERT_TRUE(SetEvent(busy_));
    ASSERT_TRUE(S().Close());
    const HWND box = S().WaitForMessageBox(10s);
    ASSERT_NE(box, nullptr) << "closing showed no box";
    EXPECT_EQ(MessageBoxText(box), CloseSoundcardWindows);
    ASSERT_TRUE(PressOk(box));
    EXPECT_EQ(S().WaitForFieldText(Field::Text1, MixWBusyText, 5s), MixWBusyText);
    S().Pause(12s);
    EXPECT_TRUE(S().PontaraRunning());
    EXPECT_TRUE(S().MixWCallsSince(mark).empty()) << Listed(S().MixWCallArrivalsSince(mark));
    EXPECT_EQ(S().Logger32CodesSince(mark),
              (Lines{"code 18 1", "code 7 0", "code 11 0", "code 13 0", "code 19 0"}));

    const StationTime reset = S().Now();
    ASSERT_TRUE(ResetEvent(busy_));
    const std::optional<DWORD> exitCode = S().Pontara().WaitForExit(15s);
    ASSERT_TRUE(exitCode.has_value()) << "Pontara still runs after the spell";
    EXPECT_EQ(*exitCode, 0u);
    EXPECT_EQ(S().MixWCallsSince(mark),
              (Lines{"ExecuteMacros <TOGGLECATPORT>", "ExecuteMacros <TOGGLEPTTPORT>"}))
        << Listed(S().AtMixWSince(mark));
    EXPECT_EQ(S().Logger32CodesSince(mark),
              (Lines{"code 18 1", "code 7 0", "code 11 0", "code 13 0", "code 19 0",
                     "code 4 0 sent", "code 5 0 sent"}));
    const std::vector<Arrival> toggles = S().MixWCallArrivalsSince(mark);
    const std::vector<Arrival> atLogger32 = S().AtLogger32Since(mark);
    const auto leaving = std::ranges::find(atLogger32, "code 4 0 sent", &Arrival::what);
    ASSERT_EQ(toggles.size(), 2u);
    ASSERT_NE(leaving, atLogger32.end());
    EXPECT_GE(toggles.front().at, reset);
    // The stand-ins' clocks agree with the station's to within a millisecond each.
    EXPECT_LE(toggles.back().at, leaving->at + 2) << Listed(atLogger32);
}

}  // namespace
}  // namespace pontara
