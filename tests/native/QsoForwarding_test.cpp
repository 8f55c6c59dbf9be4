// Forwarding MixW's QSO to Logger32 in virtual time: one command per Timer2 tick in the fixed
// priority (frequency, mode, record), what each command carries, and the links' first tick.

#include "bridge/QsoForwarding.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "LinkedStationTest.h"
#include "bridge/ForwardedFields.h"
#include "support/ExpectedRecord.h"
#include "ui/WindowModel.h"

namespace pontara::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Forwarding : public LinkedStationTest {
  protected:
    void SetUp() override {
        station.host.mixw.fqA = 14070000;
        station.host.mixw.audioFq = 1500;
        LaunchServing({{u"qso|call", u""}, {u"qso|mode", u"BPSK31"}, {u"qso|time", u"1234"}});
        Quiet();
    }

    // One Timer2 tick; what it sent to Logger32's text window.
    std::vector<Text> Tick() {
        int from = station.host.Now();
        station.host.RunFor(800);
        return station.TextsSince(from + 1);
    }

    // Ticks until a tick sends nothing.
    void Quiet() {
        for (int tick = 0; tick < 10 && !Tick().empty();) {
            ++tick;
        }
    }
};

TEST_F(Forwarding, FirstTickOpensTheThirteenLinksInOrderAfterWritingPlaceholders) {
    SimulatedStation fresh;
    fresh.host.mixw.items[u"qso|call"] = u"Q1ABC";
    fresh.LaunchAndRun();
    std::size_t mark = fresh.host.TraceMark();
    fresh.host.RunFor(800);
    // Each link as the field stores it: field=service|topic!item.
    std::vector<std::string> links;
    for (const std::string& line : fresh.host.TraceSince(mark)) {
        if (!line.starts_with("link ")) {
            continue;
        }
        for (const FieldModel& field : window_model::Fields()) {
            if (AsciiOf(field.name) == line.substr(5)) {
                const mixw::DdeLink& link = bridge::ForwardedOf(field.field).link;
                links.push_back(line.substr(5) + "=" + AsciiOf(link.topic) + "!" +
                                AsciiOf(link.item));
            }
        }
    }
    EXPECT_THAT(
        links, ElementsAre("Callsign=MixW|QSO!Call", "RSTr=MixW|QSO!RstRcv", "RSTs=MixW|QSO!RstSnt",
                           "Freq=MixW|CAT!khz", "HisName=MixW|QSO!Name",
                           "TextCommand=MixW|QSO!Command", "Mode=MixW|QSO!Mode", "Qth=MixW|QSO!qth",
                           "Time=MIXW|QSO!time", "IOTA=MixW|QSO!IOTA", "Locator=MixW|QSO!Loc",
                           "QslManag=MixW|QSO!Manager", "Notes=MixW|QSO!Notes"));
    EXPECT_EQ(fresh.host.FieldText(Field::Callsign), u"Q1ABC");  // MixW's value arrived at once
    EXPECT_EQ(fresh.host.FieldText(Field::RSTr), u"RST rcv");    // no value yet: the placeholder
    EXPECT_EQ(fresh.host.FieldText(Field::Freq), u"Frequency");
    EXPECT_EQ(fresh.host.FieldText(Field::QslManag), u"Manager");
    // ForwardQsoData ran in the same tick.
    EXPECT_THAT(fresh.TextsSince(FirstForwardingTick), ElementsAre(u"<APP_FORCE_FREQ:7>14071.5"));
}

TEST_F(Forwarding, BeforeTheLinksOpenFieldsShowTheirCreationTexts) {
    SimulatedStation fresh;
    fresh.LaunchAndRun();
    EXPECT_EQ(fresh.host.FieldText(Field::Freq), u"14075.45");
    EXPECT_EQ(fresh.host.FieldText(Field::Callsign), u"Call");
    EXPECT_EQ(fresh.host.FieldText(Field::TextCommand), u"Command");
}

TEST_F(Forwarding, NewFrequencyAndModeAtOnceGoOnSuccessiveTicksThenTheRecord) {
    station.host.mixw.fqA = 7035000;
    station.MixWSets(u"Mode", u"RTTY");
    station.MixWSets(u"Call", u"Q1ABC");
    EXPECT_THAT(Tick(), ElementsAre(u"<APP_FORCE_FREQ:4>7035"));
    EXPECT_THAT(Tick(), ElementsAre(u"<APP_FORCE_MODE:4>RTTY"));
    EXPECT_THAT(Tick(), ElementsAre(BeginsWith(u"<CALL:5>Q1ABC<RST_RCVD:")));
    EXPECT_THAT(Tick(), IsEmpty());
}

TEST_F(Forwarding, AFrequencyMovingEveryTickHoldsBackModeAndRecord) {
    station.MixWSets(u"Mode", u"CW");
    station.MixWSets(u"Call", u"Q1ABC");
    for (int step = 1; step <= 5; ++step) {
        station.host.mixw.audioFq = 1500 + step * 10;
        EXPECT_THAT(Tick(), ElementsAre(BeginsWith(u"<APP_FORCE_FREQ:")));
    }
    EXPECT_THAT(Tick(), ElementsAre(u"<APP_FORCE_MODE:2>CW"));
}

TEST_F(Forwarding, AudioOffsetAloneInVoiceAndKeyedModesResendsTheUnchangedDial) {
    for (const char16_t* mode : {u"SSB", u"CW", u"RTTY", u"SSTV"}) {
        station.MixWSets(u"Mode", mode);
        Quiet();
        station.host.mixw.audioFq += 100;
        EXPECT_THAT(Tick(), ElementsAre(u"<APP_FORCE_FREQ:5>14070")) << AsciiOf(mode);
    }
}

TEST_F(Forwarding, PacketSidebandAloneSendsNothingUntilTheFrequencyMoves) {
    station.host.Click(Button::Command3);  // upper sideband
    EXPECT_THAT(Tick(), IsEmpty());
    station.host.mixw.audioFq = 1000;
    EXPECT_THAT(Tick(), ElementsAre(u"<APP_FORCE_FREQ:5>14069"));
}

TEST_F(Forwarding, MappedModeIsSentTwiceThenNothingUntilMixWChangesIt) {
    station.MixWSets(u"Mode", u"BPSK63");
    EXPECT_THAT(Tick(), ElementsAre(u"<APP_FORCE_MODE:5>PSK63"));
    EXPECT_EQ(station.host.FieldText(Field::Mode), u"PSK63");
    // The field now differs from the remembered MixW name, so the mapped name goes once more.
    EXPECT_THAT(Tick(), ElementsAre(u"<APP_FORCE_MODE:5>PSK63"));
    EXPECT_THAT(Tick(), IsEmpty());
}

struct ModeCase {
    const char16_t* mixw;
    const char16_t* command;  // what Logger32 is sent
};

class ModeMapping : public Forwarding, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ModeMapping, ModeIsSentAsLogger32NamesIt) {
    station.MixWSets(u"Mode", GetParam().mixw);
    EXPECT_THAT(Tick(), ElementsAre(GetParam().command));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, ModeMapping,
    ::testing::Values(ModeCase{u"BPSK31",  u"<APP_FORCE_MODE:5>PSK31"},
                      ModeCase{u"BPSK63",  u"<APP_FORCE_MODE:5>PSK63"},
                      ModeCase{u"BPSK62",  u"<APP_FORCE_MODE:5>PSK63"},
                      ModeCase{u"BPSK125", u"<APP_FORCE_MODE:6>PSK125"},
                      ModeCase{u"BPSK250", u"<APP_FORCE_MODE:6>PSK250"},
                      ModeCase{u"MFSK",    u"<APP_FORCE_MODE:6>MFSK16"},
                      ModeCase{u"USB",     u"<APP_FORCE_MODE:3>USB"},
                      ModeCase{u"ssb",     u"<APP_FORCE_MODE:3>ssb"},
                      ModeCase{u"",        u"<APP_FORCE_MODE:0>"}));
// clang-format on

TEST_F(Forwarding, LowerCaseSsbIsADataModeAndTakesTheAudioOffset) {
    station.MixWSets(u"Mode", u"ssb");
    Quiet();
    station.host.mixw.fqA = 14071000;
    EXPECT_THAT(Tick(), ElementsAre(u"<APP_FORCE_FREQ:7>14072.5"));
}

TEST_F(Forwarding, CommaLocaleWritesTheKilohertzWithAComma) {
    station.host.decimalSeparator = u",";
    station.host.mixw.fqA = 14071000;
    EXPECT_THAT(Tick(), ElementsAre(u"<APP_FORCE_FREQ:7>14072,5"));
}

TEST_F(Forwarding, EmptyCallNeverSendsARecordWhileFrequencyAndModeStillFlow) {
    station.MixWSets(u"Name", u"Jaan");
    station.MixWSets(u"qth", u"Tartu");
    EXPECT_THAT(Tick(), IsEmpty());
    station.MixWSets(u"Mode", u"CW");
    EXPECT_THAT(Tick(), ElementsAre(u"<APP_FORCE_MODE:2>CW"));
}

TEST_F(Forwarding, OneRecordPerChangeOfAWatchedValueAndNoneForRstSentAlone) {
    station.host.mixw.qsoData[19] = u"KO38";
    station.host.mixw.qsoData[13] = u"";
    station.MixWSets(u"Call", u"Q1ABC");
    EXPECT_THAT(Tick(), ElementsAre(expected::RecordWithPlaceholders<Text>(
                            {{"CALL", u"Q1ABC"}, {"GRIDSQUARE", u"KO38"}})));
    EXPECT_EQ(station.host.FieldText(Field::TextCommand), u" ");
    EXPECT_THAT(Tick(), IsEmpty());
    station.MixWSets(u"RstSnt", u"599");
    EXPECT_THAT(Tick(), IsEmpty());
    station.MixWSets(u"RstRcv", u"579");
    std::vector<Text> sent = Tick();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_NE(sent[0].find(u"<RST_RCVD:3>579<RST_SENT:3>599"), Text::npos);
    EXPECT_THAT(Tick(), IsEmpty());
    station.host.mixw.qsoData[13] = u"ON";  // the state has no field, yet is watched
    sent = Tick();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_NE(sent[0].find(u"<STATE:2>ON"), Text::npos);
}

TEST_F(Forwarding, TheRecordCarriesTenTokensInTheirPlacesEvenWhenEmpty) {
    for (const expected::RecordToken& token : expected::RecordTokens) {
        if (token.item != nullptr) {
            station.MixWSets(expected::Of<Text>(token.item).c_str(), u"");
        }
    }
    station.host.mixw.qsoData[19] = u"";
    station.host.mixw.qsoData[13] = u"ON";
    station.MixWSets(u"Call", u"Q1ABC");
    EXPECT_THAT(Tick(),
                ElementsAre(expected::Record<Text>({{"CALL", u"Q1ABC"}, {"STATE", u"ON"}})));
    station.MixWSets(u"RstRcv", u"57");
    station.MixWSets(u"RstSnt", u"59");
    station.MixWSets(u"qth", u"Tartu");
    station.MixWSets(u"Name", u"Jaan");
    station.MixWSets(u"Notes", u"tnx");
    station.MixWSets(u"IOTA", u"EU-034");
    station.MixWSets(u"Manager", u"Q2XYZ");
    station.host.mixw.qsoData[19] = u"KO38";
    station.host.mixw.qsoData[13] = u"";
    EXPECT_THAT(Tick(), ElementsAre(expected::Record<Text>({{"CALL", u"Q1ABC"},
                                                            {"RST_RCVD", u"57"},
                                                            {"RST_SENT", u"59"},
                                                            {"QTH", u"Tartu"},
                                                            {"NAME", u"Jaan"},
                                                            {"COMMENT", u"tnx"},
                                                            {"GRIDSQUARE", u"KO38"},
                                                            {"IOTA", u"EU-034"},
                                                            {"QSL_VIA", u"Q2XYZ"}})));
}

TEST_F(Forwarding, LocatorFollowsMixWsItemNineteenAfterEveryTick) {
    station.host.mixw.qsoData[19] = u"KO38ab";
    Tick();
    EXPECT_EQ(station.host.FieldText(Field::Locator), u"KO38ab");
    station.MixWSets(u"Loc", u"JO00");
    EXPECT_EQ(station.host.FieldText(Field::Locator), u"JO00");
    Tick();
    EXPECT_EQ(station.host.FieldText(Field::Locator), u"KO38ab");
}

// A name typed in MixW, in the system's ANSI code page: the record counts its characters (UTF-16
// units), and Logger32 gets the code page's bytes, '?' for a character the code page lacks or
// has only as a look-alike (best fit would write "L" for "Ł", "\\" for "¥" in 932).
struct CodePageCase {
    int codePage;
    const char16_t* name;
    const char16_t* nameToken;
    const char* nameBytes;
};

class ForwardingInCodePage : public Forwarding,
                             public ::testing::WithParamInterface<CodePageCase> {};

TEST_P(ForwardingInCodePage, NameArrivesAsTheCodePagesBytesCountedInCharacters) {
    station.host.codePage = GetParam().codePage;
    station.MixWSets(u"Call", u"Q1ABC");
    Quiet();
    station.MixWSets(u"Name", GetParam().name);
    std::vector<Text> sent = Tick();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_NE(sent[0].find(GetParam().nameToken), Text::npos) << AsciiOf(sent[0]);
    const std::string& ansi = station.host.logger32.texts.back().ansi;
    EXPECT_NE(ansi.find(GetParam().nameBytes), std::string::npos) << ansi;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    WindowsCodePages, ForwardingInCodePage,
    ::testing::Values(
        // Windows' 1252 keeps its undefined byte 0x81 as the control character U+0081.
        CodePageCase{1252, u"Łukasz Šć€é Ж\u0081", u"<NAME:14>Łukasz Šć€é Ж\u0081<COMMENT:",
                     "<NAME:14>?ukasz \x8A?\x80\xE9 ?\x81<COMMENT:"},
        CodePageCase{1251, u"Юрий é Ł №", u"<NAME:10>Юрий é Ł №<COMMENT:",
                     "<NAME:10>\xDE\xF0\xE8\xE9 ? ? \xB9<COMMENT:"},
        // Double-byte: twelve characters in seventeen bytes.
        CodePageCase{932, u"Юрий ö Ł ¥ α", u"<NAME:12>Юрий ö Ł ¥ α<COMMENT:",
                     "<NAME:12>\x84\x5F\x84\x82\x84\x79\x84\x7A ? ? ? \x83\xBF<COMMENT:"},
        // UTF-8 has every character; the radio's two UTF-16 units count two.
        CodePageCase{65001, u"Юрий ö Ł \U0001F4FB", u"<NAME:11>Юрий ö Ł \U0001F4FB<COMMENT:",
                     "<NAME:11>\xD0\xAE\xD1\x80\xD0\xB8\xD0\xB9 \xC3\xB6 \xC5\x81 "
                     "\xF0\x9F\x93\xBB<COMMENT:"}),
    [](const ::testing::TestParamInfo<CodePageCase>& info) {
        return "CodePage" + std::to_string(info.param.codePage);
    });
// clang-format on

TEST_F(Forwarding, Logger32WritingSentDuringADeliveryIsHandledInsideIt) {
    station.host.logger32.onText = [&](const Text&) {
        station.host.SetTextOfWindow(station.host.logger32.sentWindow, u"echo");
    };
    station.host.mixw.fqA = 7000000;
    std::size_t mark = station.host.TraceMark();
    Tick();
    std::vector<std::string> trace = station.host.TraceSince(mark);
    ASSERT_GE(trace.size(), 2u);
    EXPECT_EQ(trace[0], "text <APP_FORCE_FREQ:6>7001.5");
    EXPECT_EQ(trace[1], "post 10 " + std::to_string(station.host.FieldWindow(Field::Cluster)));
    EXPECT_EQ(station.host.FieldText(Field::Sent), u"echo");
}

// Windows' modal loops inside DDE transactions and COM calls go on dispatching; a tick that
// falls due meanwhile must wait for the handler that waits.
TEST(ForwardingSlowMixW, LinksThatTakeOneAndAHalfSecondsEachAreOpenedByOneTickAlone) {
    SimulatedStation fresh;
    fresh.host.mixw.items[u"qso|call"] = u"Q1ABC";
    fresh.host.mixw.linkTime = 1500;
    fresh.LaunchAndRun();
    fresh.host.RunFor(800 + 13 * 1500 + 3000);
    EXPECT_THAT(fresh.host.TraceMatching("link "),
                ElementsAre("link Callsign", "link RSTr", "link RSTs", "link Freq", "link HisName",
                            "link TextCommand", "link Mode", "link Qth", "link Time", "link IOTA",
                            "link Locator", "link QslManag", "link Notes"));
    EXPECT_EQ(fresh.host.FieldText(Field::Callsign), u"Q1ABC");
    EXPECT_TRUE(fresh.host.MessageBoxes().empty());
    EXPECT_FALSE(fresh.host.Ended());
}

// On Windows the DDE transaction's modal loop takes the operator's clicks: "Lg32" pressed while
// the first tick opens the links hands the rig over inside that tick.
TEST(ForwardingSlowMixW, TheRigHandedToLogger32WhileTheLinksOpenGetsNoCommandFromThatTick) {
    SimulatedStation fresh;
    fresh.host.mixw.items[u"qso|call"] = u"Q1ABC";
    fresh.host.mixw.linkTime = 1500;
    fresh.LaunchAndRun();
    fresh.host.At(FirstForwardingTick + 3000, [&] { fresh.host.Click(Button::Command2); });
    fresh.host.RunFor(800 + 13 * 1500 + 3000);
    EXPECT_EQ(fresh.host.TraceMatching("link ").size(), 13u);
    EXPECT_EQ(fresh.host.FieldText(Field::Text1), u"         Logger32 control active !");
    EXPECT_THAT(fresh.host.TraceMatching("text "), IsEmpty());
    EXPECT_FALSE(fresh.host.Ended());
}

// COM's modal loop leaves posted messages queued while MixW answers: a click on "Lg32" during a
// forwarding tick's calls waits until the tick is over, and nothing of that tick follows it.
TEST(ForwardingSlowMixW, Lg32ClickedWhileMixWAnswersATickIsHandledAfterTheTick) {
    SimulatedStation fresh;
    fresh.LaunchAndOpenLinks();
    fresh.host.RunFor(3000);
    fresh.host.mixw.callTime = 1000;
    fresh.host.mixw.fqA = 7000000;
    int tick = FirstForwardingTick + 4 * 800;
    fresh.host.At(tick + 500, [&] { fresh.host.Click(Button::Command2); });
    std::size_t mark = fresh.host.TraceMark();
    fresh.host.RunFor(tick + 20000 - fresh.host.Now());
    std::vector<std::string> trace = fresh.host.TraceSince(mark);
    auto handover = std::find(trace.begin(), trace.end(), "post 18 0");
    ASSERT_NE(handover, trace.end());
    EXPECT_NE(std::find(trace.begin(), handover, "text <APP_FORCE_FREQ:6>7001.5"), handover);
    EXPECT_TRUE(std::none_of(handover, trace.end(),
                             [](const std::string& line) { return line.starts_with("text "); }));
}

TEST(ForwardingSlowMixW, AMixWAnsweringInTwoSecondsGetsOneCallAtATimeAndLogger32TheNewestRecord) {
    SimulatedStation fresh;
    fresh.host.mixw.items[u"qso|call"] = u"";
    fresh.host.mixw.items[u"qso|name"] = u"";
    fresh.LaunchAndOpenLinks();
    fresh.host.RunFor(3000);
    fresh.host.mixw.callTime = 2000;
    int from = fresh.host.Now();
    fresh.MixWSets(u"Call", u"Q1ABC");
    fresh.host.SetTextOfWindow(fresh.host.logger32.sentWindow,
                               u"<APP_DXSPOT_CLICKED:16>Q1DEF|14070.0|CW");
    fresh.host.RunFor(5000);
    fresh.MixWSets(u"Name", u"Jaan");
    fresh.host.RunFor(3000);
    fresh.MixWSets(u"Name", u"Juri");
    fresh.host.RunFor(60000);
    EXPECT_EQ(fresh.host.mixw.mostCallsInFlight, 1);
    EXPECT_THAT(fresh.host.TraceMatching("macro <ZFQ"), ElementsAre("macro <ZFQ:14070.0>"));
    std::vector<Text> records;
    for (const Text& text : fresh.TextsSince(from)) {
        if (text.starts_with(u"<CALL:")) {
            records.push_back(text);
        }
    }
    ASSERT_FALSE(records.empty());
    EXPECT_NE(records.back().find(u"<NAME:4>Juri<COMMENT:"), Text::npos) << AsciiOf(records.back());
    for (std::size_t i = 1; i < records.size(); ++i) {
        EXPECT_NE(records[i], records[i - 1]);
    }
    EXPECT_TRUE(fresh.host.MessageBoxes().empty());
}

TEST(ForwardingLinks, ALinkMixWRefusesEndsTheProgramWithOneMessageNamingFieldAndItem) {
    SimulatedStation station;
    station.host.mixw.items.erase(u"qso|iota");
    station.LaunchAndOpenLinks();
    EXPECT_TRUE(station.host.Ended());
    ASSERT_EQ(station.host.MessageBoxes().size(), 1u);
    const Text& text = station.host.MessageBoxes()[0].text;
    EXPECT_NE(text.find(u"field IOTA to MixW|QSO item IOTA"), Text::npos) << AsciiOf(text);
    EXPECT_EQ(station.host.MessageBoxes()[0].caption, u"Pontara");
}

TEST(ForwardedForget, ForgetsSixValuesAsFalseAndKeepsTheOthers) {
    bridge::Forwarded last;
    auto field = [&last](Field which) -> Text& { return last.fields[static_cast<int>(which)]; };
    last.frequency = u"14.0715";
    last.mode = u"CW";
    field(Field::Callsign) = u"Q1ABC";
    field(Field::RSTr) = u"579";
    field(Field::Qth) = u"Tartu";
    field(Field::HisName) = u"Jaan";
    field(Field::Notes) = u"tnx";
    field(Field::IOTA) = u"EU-034";
    field(Field::Locator) = u"KO38";
    field(Field::QslManag) = u"Q1QSL";
    last.state = u"ON";
    last.Forget();
    EXPECT_EQ(last.frequency, u"False");
    EXPECT_EQ(last.mode, u"False");
    EXPECT_EQ(field(Field::RSTr), u"False");
    EXPECT_EQ(field(Field::Qth), u"False");
    EXPECT_EQ(field(Field::HisName), u"False");
    EXPECT_EQ(field(Field::Notes), u"False");
    EXPECT_EQ(field(Field::Callsign), u"Q1ABC");
    EXPECT_EQ(field(Field::IOTA), u"EU-034");
    EXPECT_EQ(field(Field::Locator), u"KO38");
    EXPECT_EQ(field(Field::QslManag), u"Q1QSL");
    EXPECT_EQ(last.state, u"ON");
}

TEST(KilohertzToSend, DialAloneOrMovedByTheAudioOffset) {
    EXPECT_DOUBLE_EQ(bridge::KilohertzToSend(u"SSTV", true, 14230000, 1500), 14230);
    EXPECT_DOUBLE_EQ(bridge::KilohertzToSend(u"PSK31", false, 14070000, 1500), 14071.5);
    EXPECT_DOUBLE_EQ(bridge::KilohertzToSend(u"PSK31", true, 14070000, 1500), 14068.5);
    EXPECT_DOUBLE_EQ(bridge::KilohertzToSend(u"", true, 14070000, 1500), 14068.5);
}

}  // namespace
}  // namespace pontara::testing
