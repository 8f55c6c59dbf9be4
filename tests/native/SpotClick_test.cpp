// Spot clicks and Logger32's QSO entry carried into MixW: the worked spot, what each mode
// becomes, the one-shot deferral, the mirrored QSO with its save, and malformed texts that
// must reach MixW as nothing rather than as a shifted value.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "LinkedStationTest.h"
#include "logger32/SentTexts.h"

namespace pontara::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Spots : public LinkedStationTest {
  protected:
    void SetUp() override {
        LaunchServing({{u"qso|call", u""}});
        station.host.RunFor(3000);
    }

    // Logger32 writes a text into Sent; returns what reached MixW by the deferred tick.
    std::vector<std::string> Write(const Text& text) {
        std::size_t mark = station.host.TraceMark();
        station.host.SetTextOfWindow(station.host.logger32.sentWindow, text);
        station.host.RunFor(500);
        std::vector<std::string> toMixW;
        for (const std::string& line : station.host.TraceSince(mark)) {
            if (line.starts_with("macro ") || line.starts_with("SetQsoData ")) {
                toMixW.push_back(line);
            }
        }
        return toMixW;
    }

    void GiveRigToLogger32() {
        station.host.Click(Button::Command2);
        station.Settle();
        station.host.RunFor(500);
    }
};

TEST_F(Spots, WorkedSpotTunesFillsTheCallAndSetsTheMode) {
    EXPECT_THAT(Write(u"<APP_DXSPOT_CLICKED:19>Q1ABC|14070.0|PSK63"),
                ElementsAre("macro <ZFQ:14070.0>", "SetQsoData 0 Q1ABC", "macro <MODE:BPSK31>",
                            "macro <BAUDRATE:63>"));
}

struct SpotMode {
    const char16_t* mode;
    std::vector<std::string> macros;
};

class SpotModes : public Spots, public ::testing::WithParamInterface<SpotMode> {};

TEST_P(SpotModes, ModeMacrosOfTheSpotColumn) {
    Text spot = u"Q1ABC|7030|" + Text(GetParam().mode);
    std::vector<std::string> sent =
        Write(u"<APP_DXSPOT_CLICKED:" + DecimalDigits(spot.size()) + u">" + spot);
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(sent.begin() + 2, sent.end()), GetParam().macros);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SpotModes,
    ::testing::Values(SpotMode{u"CW", {"macro <MODE:CW>"}}, SpotMode{u"SSB", {"macro <MODE:SSB>"}},
                      SpotMode{u"USB", {}}, SpotMode{u"LSB", {}},
                      SpotMode{u"RTTY", {"macro <MODE:RTTY>"}},
                      SpotMode{u"PSK31", {"macro <MODE:BPSK31>"}},
                      SpotMode{u"PSK125", {"macro <MODE:BPSK31>", "macro <BAUDRATE:125>"}},
                      SpotMode{u"MFSK16", {"macro <MODE:MFSK>"}}, SpotMode{u"cw", {}},
                      SpotMode{u"CW|extra", {}}, SpotMode{u"", {}}));

TEST_F(Spots, EveryChangeOfSentTellsLogger32TheClusterFieldAndIsActedOnOnce) {
    std::size_t posts = station.host.TraceMatching("post 10 ").size();
    Write(u"<APP_DXSPOT_CLICKED:16>Q1ABC|14070.0|CW");
    Write(u"hello");
    EXPECT_EQ(station.host.TraceMatching("post 10 ").size(), posts + 2);
    station.host.RunFor(5000);
    EXPECT_EQ(station.host.TraceMatching("macro <ZFQ").size(), 1u);
}

TEST_F(Spots, SeveralChangesWithinTheDeferralAreServedByOneTickWithTheLastSpot) {
    std::size_t mark = station.host.TraceMark();
    station.host.SetTextOfWindow(station.host.logger32.sentWindow,
                                 u"<APP_DXSPOT_CLICKED:16>Q1AAA|14070.0|CW");
    station.host.RunFor(300);
    station.host.SetTextOfWindow(station.host.logger32.sentWindow,
                                 u"<APP_DXSPOT_CLICKED:16>Q1BBB|7030.00|CW");
    station.host.RunFor(499);
    EXPECT_THAT(station.host.TraceSince(mark),
                ::testing::Not(::testing::Contains(BeginsWith("macro"))));
    station.host.RunFor(1);
    EXPECT_THAT(station.host.TraceMatching("SetQsoData"), ElementsAre("SetQsoData 0 Q1BBB"));
}

TEST_F(Spots, TheSpotIsEverythingAfterTheTokenWhateverItsCount) {
    EXPECT_THAT(Write(u"<APP_DXSPOT_CLICKED:8>Q1A|7|CW"),
                ElementsAre("macro <ZFQ:7>", "SetQsoData 0 Q1A", "macro <MODE:CW>"));
    Text longCall(90, u'K');
    EXPECT_THAT(
        Write(u"<APP_DXSPOT_CLICKED:101>" + longCall + u"|14070.0|CW"),
        ElementsAre("macro <ZFQ:14070.0>", "SetQsoData 0 " + AsciiOf(longCall), "macro <MODE:CW>"));
    for (const char16_t* text : {u"<APP_DXSPOT_CLICKED:29>Q1ABC|14070.0|PSK63",
                                 u"<APP_DXSPOT_CLICKED:17>Q1ABC|14070.0|PSK63",
                                 u"<APP_DXSPOT_CLICKED:-5>Q1ABC|14070.0|PSK63",
                                 u"<APP_DXSPOT_CLICKED:1x>Q1ABC|14070.0|PSK63",
                                 u"<APP_DXSPOT_CLICKED:99999999999999999999>Q1ABC|14070.0|PSK63"}) {
        EXPECT_THAT(Write(text), ElementsAre("macro <ZFQ:14070.0>", "SetQsoData 0 Q1ABC",
                                             "macro <MODE:BPSK31>", "macro <BAUDRATE:63>"))
            << AsciiOf(text);
    }
}

TEST_F(Spots, ASpotWithAnEmptyCallTunesAndClearsTheCall) {
    EXPECT_THAT(Write(u"<APP_DXSPOT_CLICKED:8>|7030|CW"),
                ElementsAre("macro <ZFQ:7030>", "SetQsoData 0 ", "macro <MODE:CW>"));
}

TEST_F(Spots, SpotsWithoutTwoBarsOrAFrequencyReachMixWAsNothing) {
    for (const char16_t* text :
         {u"<APP_DXSPOT_CLICKED:15>Q1ABC 14070.0 CW", u"<APP_DXSPOT_CLICKED:11>Q1ABC|14070.0",
          u"<APP_DXSPOT_CLICKED:15Q1ABC|14070.0|CW", u"<APP_DXSPOT_CLICKED:8>Q1AB||CW",
          u"xAPP_DXSPOT_CLICKED:16>Q1ABC|14070.0|CW", u"<APP_DXSPOT_CLICKED",
          u"<APP_DXSPOT_CLICKED:"}) {
        EXPECT_THAT(Write(text), IsEmpty()) << AsciiOf(text);
    }
}

TEST(SpotsWithoutMixW, ASpotBeforeMixWIsAttachedIsDroppedAndNotRetried) {
    SimulatedStation station;
    station.Launch();
    // Written into Sent before the start-up has attached MixW: the tick 500 ms later drops it.
    station.host.RunFor(1000);
    station.host.SetTextOfWindow(station.host.FieldWindow(Field::Sent),
                                 u"<APP_DXSPOT_CLICKED:16>Q1ABC|14070.0|CW");
    station.host.RunFor(25000);
    EXPECT_THAT(station.host.TraceMatching("macro <ZFQ"), IsEmpty());
}

TEST_F(Spots, ASpotWhileLogger32OwnsTheRigIsActedOnAsUsual) {
    GiveRigToLogger32();
    EXPECT_THAT(Write(u"<APP_DXSPOT_CLICKED:16>Q1ABC|14070.0|CW"),
                ElementsAre("macro <ZFQ:14070.0>", "SetQsoData 0 Q1ABC", "macro <MODE:CW>"));
}

TEST_F(Spots, Logger32QsoIsMirroredAndSavedInTheOrderGiven) {
    GiveRigToLogger32();
    Text qso =
        u"<EOR><CALL:5>Q1ABC<MODE:3>USB<RST_SENT:2>59<RST_RCVD:2>57<NAME:12>Aleksandr Iv<EOF>";
    EXPECT_THAT(Write(qso),
                ElementsAre("macro <CLEARQSO>", "SetQsoData 0 Q1ABC", "macro <MODE:SSB>",
                            "SetQsoData 5 59", "SetQsoData 2 57", "SetQsoData 1 Aleksandr Iv",
                            "macro <FIXSTARTTIME>", "macro <SAVEQSO>", "macro <CLEARQSO>"));
    EXPECT_EQ(station.host.FieldText(Field::Sent), u"SAVE");
    // The "SAVE" write is a change: it posts code 10 and its own tick finds nothing to do.
    EXPECT_THAT(station.TraceDuring(1000), IsEmpty());
}

TEST_F(Spots, QsoWithoutModeLeavesRstAndNameAlone) {
    GiveRigToLogger32();
    EXPECT_THAT(Write(u"<CALL:5>Q1ABC<RST_SENT:2>59<RST_RCVD:2>57<NAME:4>Jaan"),
                ElementsAre("SetQsoData 0 Q1ABC"));
}

TEST_F(Spots, QsoTextsChangeNothingWhileMixWOwnsTheRig) {
    EXPECT_THAT(Write(u"<EOR><CALL:5>Q1ABC<MODE:2>CW<EOF>"), IsEmpty());
    EXPECT_EQ(station.host.FieldText(Field::Sent), u"<EOR><CALL:5>Q1ABC<MODE:2>CW<EOF>");
}

TEST_F(Spots, MalformedQsoFieldsAreSkippedOneByOne) {
    GiveRigToLogger32();
    // NAME has no ">"; RST_RCVD's length runs past the end and takes what is there.
    EXPECT_THAT(Write(u"<MODE:2>CW<CALL:5>Q1ABC<NAME:4Jaan<RST_RCVD:20>57"),
                ElementsAre("SetQsoData 0 Q1ABC", "macro <MODE:CW>", "SetQsoData 2 57"));
    // A call whose length is no number is skipped; MODE's length runs past the end.
    EXPECT_THAT(Write(u"<CALL:x>Q1ABC<MODE:9>CW"), ElementsAre("macro <MODE:CW>"));
    // A word inside a value is not a token: the mode is read from its own token.
    EXPECT_THAT(Write(u"<CALL:5>Q1ABC<NAME:7>MODESTO<MODE:2>CW"),
                ElementsAre("SetQsoData 0 Q1ABC", "macro <MODE:CW>", "SetQsoData 1 MODESTO"));
    // A spot whose call holds "CALL" while Logger32 owns the rig tunes, and fills no other call.
    EXPECT_THAT(Write(u"<APP_DXSPOT_CLICKED:16>Q1CALL|7030.0|CW"),
                ElementsAre("macro <ZFQ:7030.0>", "SetQsoData 0 Q1CALL", "macro <MODE:CW>"));
}

TEST(SentTexts, ReadersNeverReadOutsideTheText) {
    Text big(64 * 1024, u'9');
    EXPECT_EQ(logger32::ReadTokenValue(u"<NAME:" + big + u">x", u"NAME"), u"x");
    EXPECT_EQ(logger32::ReadTokenValue(u"<NAME:5>abc", u"NAME"), u"abc");
    EXPECT_EQ(logger32::ReadTokenValue(Text(u"<NAME:3>a\0c", 11), u"NAME"), Text(u"a\0c", 3));
    EXPECT_EQ(logger32::ReadTokenValue(u"<NAME:0>", u"NAME"), u"");
    EXPECT_FALSE(logger32::ReadTokenValue(u"<NAME:>", u"NAME"));
    EXPECT_EQ(logger32::SpotClickMark(u"<"), u"");
    EXPECT_EQ(logger32::SpotClickMark(u""), u"");
}

}  // namespace
}  // namespace pontara::testing
