// The real Pontara.exe carrying what Logger32 writes into its Sent field on to MixW: a clicked
// DX spot half a second later, Logger32's QSO entry while Logger32 owns the rig (also in the
// code pages 1252, 1251 and UTF-8), and nothing at all for a spot that cannot be read whole.

#include <gtest/gtest.h>

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

class SpotClick : public RunningStationTest {
  protected:
    void SetUp() override {
        RunningStationTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        ASSERT_EQ(station_->Logger32().SentWindow(), station_->FieldWindow(Field::Sent));
    }

    // Logger32 writes `text` into Sent by the handle it was given; the arrival of the code 10
    // that every change of Sent posts.
    std::optional<Arrival> Write(const std::string& text) {
        const WineStation::Mark mark = S().MarkNow();
        if (!S().Logger32().WriteSent(text)) {
            ADD_FAILURE() << "Pontara did not take the text into Sent: " << text;
            return std::nullopt;
        }
        std::optional<Arrival> posted;
        PumpUntil(
            [&] {
                for (const Arrival& arrival : S().AtLogger32Since(mark)) {
                    if (arrival.what.starts_with("code 10 ")) {
                        posted = arrival;
                    }
                }
                return posted.has_value();
            },
            10s);
        if (!posted) {
            ADD_FAILURE() << "no code 10 after writing " << text << "\n"
                          << Listed(S().AtLogger32Since(mark));
        }
        return posted;
    }

    std::string ClusterCode() const {
        return "code 10 " +
               std::to_string(standin::ParameterFromWindow(station_->FieldWindow(Field::Cluster)));
    }

    // Command2 hands the rig to Logger32, whose last code is 19 with lParam 1.
    void HandRigToLogger32() {
        const WineStation::Mark mark = S().MarkNow();
        S().Click(Button::Command2);
        ASSERT_TRUE(PumpUntil(
            [&] {
                const std::vector<std::string> codes = S().Logger32CodesSince(mark);
                return !codes.empty() && codes.back() == "code 19 1";
            },
            10s))
            << Listed(S().AtLogger32Since(mark));
    }

    bool WaitForCalls(const WineStation::Mark& mark, std::size_t count) {
        return PumpUntil([&] { return S().MixWCallsSince(mark).size() >= count; }, 10s);
    }
};

TEST_F(SpotClick, ClickedSpotTunesFillsTheCallAndSetsTheModeHalfASecondLater) {
    const WineStation::Mark mark = S().MarkNow();
    const std::optional<Arrival> posted = Write("<APP_DXSPOT_CLICKED:19>Q1ABC|14070.0|PSK63");
    ASSERT_TRUE(posted.has_value());
    EXPECT_EQ(posted->what, ClusterCode());
    ASSERT_TRUE(WaitForCalls(mark, 4)) << Listed(S().AtMixWSince(mark));
    EXPECT_EQ(S().MixWCallsSince(mark),
              (Lines{"ExecuteMacros <ZFQ:14070.0>", "SetQsoData 0 Q1ABC",
                     "ExecuteMacros <MODE:BPSK31>", "ExecuteMacros <BAUDRATE:63>"}));
    const StationTime deferral = S().MixWCallArrivalsSince(mark).front().at - posted->at;
    Measure("spot_code10_to_mixw_tune_ms", deferral);
    // Timer3's 500 ms start when the code has been posted.
    EXPECT_GE(deferral, 400);

    // One click, one action: the later ticks leave MixW alone.
    PumpFor(1500ms);
    EXPECT_EQ(S().MixWCallsSince(mark).size(), 4u);
    EXPECT_EQ(S().Logger32CodesSince(mark), std::vector<std::string>{ClusterCode()});
}

TEST_F(SpotClick, Logger32QsoEntryIsCopiedIntoMixWAndSavedThereWhileLogger32OwnsTheRig) {
    ASSERT_NO_FATAL_FAILURE(HandRigToLogger32());

    const WineStation::Mark mark = S().MarkNow();
    const std::optional<Arrival> posted =
        Write("<EOR><CALL:5>Q1ABC<MODE:3>USB<RST_SENT:2>59<RST_RCVD:2>57<NAME:4>Jaan<EOF>");
    ASSERT_TRUE(posted.has_value());
    ASSERT_TRUE(WaitForCalls(mark, 9)) << Listed(S().AtMixWSince(mark));
    EXPECT_EQ(S().MixWCallsSince(mark),
              (Lines{"ExecuteMacros <CLEARQSO>", "SetQsoData 0 Q1ABC", "ExecuteMacros <MODE:SSB>",
                     "SetQsoData 5 59", "SetQsoData 2 57", "SetQsoData 1 Jaan",
                     "ExecuteMacros <FIXSTARTTIME>", "ExecuteMacros <SAVEQSO>",
                     "ExecuteMacros <CLEARQSO>"}));
    Measure("qso_code10_to_mixw_clear_ms", S().MixWCallArrivalsSince(mark).front().at - posted->at);

    // Read as Logger32 would, by the handle it was given.
    const HWND sent = S().Logger32().SentWindow();
    EXPECT_TRUE(PumpUntil([&] { return ControlText(sent) == "SAVE"; }, 10s))
        << ControlText(sent).value_or("<no answer>");
    // "SAVE" is a change of its own: one more code 10, and its tick finds nothing to do.
    PumpFor(1500ms);
    EXPECT_EQ(S().MixWCallsSince(mark).size(), 9u);
    EXPECT_EQ(S().Logger32CodesSince(mark), std::vector<std::string>(2, ClusterCode()));
}

// ---- In the operator's locale -------------------------------------------------------------------
// These suites run the station in the Unix locale that tests/win/CMakeLists.txt gives them: under
// Wine it sets the ANSI code page of the test process, whose Logger32 writes its bytes into Sent,
// and of Pontara.exe, which reads them.

// Logger32's QSO entry with a name of `characters` characters, written as `nameBytes` in the
// locale's code page, reaches MixW's SetQsoData as `nameInMixW` (the transcript's escapes).
class QsoMirroringInLocale : public SpotClick {
  protected:
    void ExpectNameReachesMixW(const std::string& nameBytes, int characters,
                               const std::string& nameInMixW) {
        ASSERT_NO_FATAL_FAILURE(HandRigToLogger32());
        const WineStation::Mark mark = S().MarkNow();
        ASSERT_TRUE(Write("<EOR><CALL:5>Q1ABC<MODE:2>CW<NAME:" + std::to_string(characters) + ">" +
                          nameBytes + "<EOF>")
                        .has_value());
        ASSERT_TRUE(WaitForCalls(mark, 7)) << Listed(S().AtMixWSince(mark));
        EXPECT_EQ(
            S().MixWCallsSince(mark),
            (Lines{"ExecuteMacros <CLEARQSO>", "SetQsoData 0 Q1ABC", "ExecuteMacros <MODE:CW>",
                   "SetQsoData 1 " + nameInMixW, "ExecuteMacros <FIXSTARTTIME>",
                   "ExecuteMacros <SAVEQSO>", "ExecuteMacros <CLEARQSO>"}));
    }
};

class QsoMirroringGerman : public QsoMirroringInLocale {};
class QsoMirroringRussian : public QsoMirroringInLocale {};
class QsoMirroringUtf8 : public QsoMirroringInLocale {};

TEST_F(QsoMirroringGerman, AnUmlautInLogger32sCodePage1252NameReachesMixWIntact) {
    ExpectNameReachesMixW("J\xFCrgen", 6, "J\\u00FCrgen");  // "Jürgen" in code page 1252
}

TEST_F(QsoMirroringRussian, ACyrillicNameInLogger32sCodePage1251ReachesMixWIntact) {
    // "Юрий" in code page 1251: four characters, four bytes.
    ExpectNameReachesMixW("\xDE\xF0\xE8\xE9", 4, "\\u042E\\u0440\\u0438\\u0439");
}

TEST_F(QsoMirroringUtf8, ACyrillicNameInLogger32sUtf8ReachesMixWIntact) {
    // "Юрий" in UTF-8: four characters, eight bytes.
    ExpectNameReachesMixW("\xD0\xAE\xD1\x80\xD0\xB8\xD0\xB9", 4, "\\u042E\\u0440\\u0438\\u0439");
}

}  // namespace
}  // namespace pontara
