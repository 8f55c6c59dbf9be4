// The real Pontara.exe carrying MixW's QSO to Logger32: the advise links of its first
// forwarding tick, the QSO record, the forced frequency and mode, in German and Russian locales
// and with UTF-8 as the ANSI code page too, how long a change takes, a text that Logger32 writes
// back from inside a delivery, and MixW going away under it: quitting, or its process killed.
// Times are measured on the station's clock and printed as "MEASURE <name> <ms>" lines.

#include <gtest/gtest.h>
#include <windows.h>
// These need the types of windows.h.

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "Logger32StandIn.h"
#include "MixWSimWindow.h"
#include "MixWStandIn.h"
#include "logger32/Logger32Protocol.h"
#include "station/Harness.h"
#include "station/TestCase.h"
#include "station/WineStation.h"
#include "support/ExpectedRecord.h"
#include "ui/WindowModel.h"

namespace pontara {
namespace {

using namespace harness;
using namespace std::chrono_literals;
using standin::MixWStandIn;
using standin::ParameterFromWindow;

std::int64_t MillisecondsSince(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 from)
        .count();
}

// Waits for the first text at Logger32 after `mark` that `matches`; its arrival, or none.
std::optional<Arrival> WaitForText(WineStation& station, const WineStation::Mark& mark,
                                   const std::function<bool(const std::string&)>& matches,
                                   std::chrono::milliseconds timeout) {
    std::optional<Arrival> found;
    PumpUntil(
        [&] {
            for (const Arrival& arrival : station.AtLogger32Since(mark)) {
                if (arrival.what.starts_with("text ") && matches(arrival.what.substr(5))) {
                    found = arrival;
                    return true;
                }
            }
            return false;
        },
        timeout);
    return found;
}

std::optional<Arrival> WaitForText(WineStation& station, const WineStation::Mark& mark,
                                   const std::string& text, std::chrono::milliseconds timeout) {
    return WaitForText(
        station, mark, [&](const std::string& received) { return received == text; }, timeout);
}

// Until forwarding runs and has nothing pending: the first tick opens the links and forces the
// frequency; the rig handed to MixW at the start made the bridge forget the mode it last sent,
// so the next tick forces the mode (empty while MixW has none). Quiet means no text for longer
// than a tick.
void WaitUntilForwarding(WineStation& station) {
    ASSERT_NE(station.MainWindow(), nullptr) << "no window captioned \"Pontara\"";
    ASSERT_TRUE(station.WaitUntilRunning()) << "the bridge did not start forwarding";
    ASSERT_TRUE(WaitForText(
        station, {}, [](const std::string& text) { return text.starts_with("<APP_FORCE_FREQ:"); },
        5000ms))
        << Listed(station.AtLogger32Since({}));
    std::size_t texts = station.Logger32TextsSince({}).size();
    StationTime lastChange = station.Now();
    ASSERT_TRUE(PumpUntil(
        [&] {
            const std::size_t now = station.Logger32TextsSince({}).size();
            if (now != texts) {
                texts = now;
                lastChange = station.Now();
            }
            return station.Now() - lastChange >= 1200;
        },
        8000ms))
        << "forwarding never went quiet:\n"
        << Listed(station.AtLogger32Since({}));
}

void SetQsoEntry(MixWStandIn& mixw, const std::vector<std::pair<const char16_t*, Text>>& items) {
    for (const auto& [item, value] : items) {
        mixw.SetItem(u"QSO", item, value);
    }
}

// ---- The links of the first tick ---------------------------------------------------------------

TEST(ForwardingLinks, FirstTickLinksEachFieldOnceAndEachShowsMixWsValue) {
    WineStation station(WineStation::Options{.artifactName = TestName()});
    ASSERT_NE(station.MainWindow(), nullptr);
    // What MixW holds before the links open; every other item is empty.
    station.MixW().Run([](MixWStandIn& mixw) {
        SetQsoEntry(mixw, {{u"Call", u"Q1ABC"},
                           {u"Name", u"Jaan"},
                           {u"Mode", u"USB"},
                           {u"qth", u"Tartu"},
                           {u"time", u"1234"},
                           {u"Loc", u"JO00"}});
        mixw.SetItem(u"CAT", u"khz", u"14070.000");
        mixw.SetQsoData(19, Text(u"KO38ab"));
    });
    const WineStation::Mark start = station.MarkNow();
    ASSERT_TRUE(station.WaitUntilRunning());
    // The first tick ends with its first command; the next tick is 800 ms away.
    const std::optional<Arrival> first = WaitForText(
        station, start, [](const std::string&) { return true; }, 5000ms);
    ASSERT_TRUE(first);
    const std::string expectedFirst = "<APP_FORCE_FREQ:7>14071.5";

    struct Shown {
        Field field;
        const char* text;
    };
    // MixW answers every item when its link opens, an empty one with an empty text, which
    // replaces the field's placeholder at once. The locator follows MixW's QSO-data item 19,
    // read on every tick, whatever the "Loc" item says.
    const Shown shown[] = {
        {Field::Callsign, "Q1ABC"}, {Field::RSTr, ""},          {Field::RSTs, ""},
        {Field::Freq, "14070.000"}, {Field::HisName, "Jaan"},   {Field::TextCommand, ""},
        {Field::Mode, "USB"},       {Field::Qth, "Tartu"},      {Field::Time, "1234"},
        {Field::IOTA, ""},          {Field::Locator, "KO38ab"}, {Field::QslManag, ""},
        {Field::Notes, ""},
    };
    for (const Shown& each : shown) {
        EXPECT_EQ(ControlText(FieldAt(station.MainWindow(), each.field)), each.text)
            << AsciiOf(window_model::Of(each.field).name);
    }
    EXPECT_EQ(first->what, "text " + expectedFirst);

    std::vector<std::string> links;
    for (const Arrival& arrival : station.AtMixWSince(start)) {
        if (arrival.what.starts_with("dde-advstart ")) {
            links.push_back(arrival.what.substr(13));
        }
    }
    // Each field's link once; their order is the native tests' to check.
    for (const char* link :
         {R"("QSO" "Call")", R"("QSO" "RstRcv")", R"("QSO" "RstSnt")", R"("CAT" "khz")",
          R"("QSO" "Name")", R"("QSO" "Command")", R"("QSO" "Mode")", R"("QSO" "qth")",
          R"("QSO" "time")", R"("QSO" "IOTA")", R"("QSO" "Loc")", R"("QSO" "Manager")",
          R"("QSO" "Notes")"}) {
        EXPECT_EQ(std::count(links.begin(), links.end(), link), 1) << link;
    }

    // Later changes reach their fields by the links, between ticks.
    const StationTime changed = station.Now();
    station.MixWSets(u"QSO", u"Manager", u"Q1XYZ");
    station.MixWSets(u"CAT", u"khz", u"7035.000");
    EXPECT_TRUE(PumpUntil([&] { return station.FieldText(Field::QslManag) == "Q1XYZ"; }, 3000ms));
    EXPECT_TRUE(PumpUntil([&] { return station.FieldText(Field::Freq) == "7035.000"; }, 3000ms));
    Measure("mixw_item_to_field_ms", station.Now() - changed);
    SaveScreenshotOnFailure();
}

// ---- What is forwarded -------------------------------------------------------------------------

TEST(QsoForwarding, AQsoTypedInMixWReachesLogger32AsTheExactRecordAndTheCommandFieldIsCleared) {
    WineStation station(WineStation::Options{.artifactName = TestName()});
    ASSERT_NO_FATAL_FAILURE(WaitUntilForwarding(station));
    // "tnx fer QSO" has a two-digit length; GRIDSQUARE is MixW's item 19, not the Loc item.
    const std::string wanted = expected::Record<std::string>({{"CALL", "Q1ABC"},
                                                              {"RST_RCVD", "579"},
                                                              {"RST_SENT", "599"},
                                                              {"QTH", "Tartu"},
                                                              {"NAME", "Jaan"},
                                                              {"COMMENT", "tnx fer QSO"},
                                                              {"GRIDSQUARE", "KO38ab"},
                                                              {"IOTA", "EU-034"},
                                                              {"STATE", "ON"},
                                                              {"QSL_VIA", "Q1XYZ"}});

    const WineStation::Mark typed = station.MarkNow();
    const StationTime typedAt = station.Now();
    station.MixW().Run([](MixWStandIn& mixw) {
        SetQsoEntry(mixw, {{u"RstRcv", u"579"},
                           {u"RstSnt", u"599"},
                           {u"Name", u"Jaan"},
                           {u"qth", u"Tartu"},
                           {u"Notes", u"tnx fer QSO"},
                           {u"IOTA", u"EU-034"},
                           {u"Loc", u"KO38"},  // the record takes item 19 instead
                           {u"Manager", u"Q1XYZ"}});
        mixw.SetQsoData(19, Text(u"KO38ab"));
        mixw.SetQsoData(13, Text(u"ON"));
        mixw.SetItem(u"QSO", u"Call", u"Q1ABC");
    });
    const std::optional<Arrival> record = WaitForText(station, typed, wanted, 5000ms);
    ASSERT_TRUE(record) << "expected " << wanted << "\nat Logger32:\n"
                        << Listed(station.AtLogger32Since(typed));
    Measure("typed_qso_to_record_ms", record->at - typedAt);
    EXPECT_TRUE(PumpUntil([&] { return station.FieldText(Field::TextCommand) == " "; }, 2000ms))
        << station.FieldText(Field::TextCommand);

    // Nothing changes any more: no record is repeated.
    PumpFor(1800ms);
    const std::vector<std::string> texts = station.Logger32TextsSince(typed);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), wanted);
    for (const std::string& text : texts) {
        EXPECT_TRUE(text.starts_with("<CALL:5>Q1ABC")) << text;
    }
    Measure("records_for_one_typed_qso", static_cast<std::int64_t>(texts.size()));
    SaveScreenshotOnFailure();
}

TEST(QsoForwarding, ADialChangeIsForcedWithinATickAndAModeChangeGoesAsLogger32NamesIt) {
    WineStation station(WineStation::Options{.artifactName = TestName()});
    ASSERT_NO_FATAL_FAILURE(WaitUntilForwarding(station));

    // A data mode (MixW's mode is empty): the dial plus the audio offset, in kilohertz.
    const WineStation::Mark tuned = station.MarkNow();
    const StationTime tunedAt = station.Now();
    station.MixWTunes(7035000, 1500);
    const std::string frequency = "<APP_FORCE_FREQ:6>7036.5";
    const std::optional<Arrival> forced = WaitForText(station, tuned, frequency, 5000ms);
    ASSERT_TRUE(forced) << "expected " << frequency << "\nat Logger32:\n"
                        << Listed(station.AtLogger32Since(tuned));
    Measure("dial_change_to_force_freq_ms", forced->at - tunedAt);
    EXPECT_LE(forced->at - tunedAt, 2500);

    const WineStation::Mark moded = station.MarkNow();
    const StationTime modedAt = station.Now();
    station.MixWSets(u"QSO", u"Mode", u"BPSK31");
    const std::string mode = "<APP_FORCE_MODE:5>PSK31";
    const std::optional<Arrival> modeSent = WaitForText(station, moded, mode, 5000ms);
    ASSERT_TRUE(modeSent) << Listed(station.AtLogger32Since(moded));
    Measure("mode_change_to_force_mode_ms", modeSent->at - modedAt);
    EXPECT_EQ(station.FieldText(Field::Mode), "PSK31");
    // The field now differs from the MixW name remembered, so the command goes once more;
    // then nothing until MixW's mode changes.
    PumpFor(2500ms);
    EXPECT_EQ(station.Logger32TextsSince(moded), (std::vector<std::string>{mode, mode}));
    SaveScreenshotOnFailure();
}

TEST(QsoForwarding, EachChangeOfAWatchedFieldReachesLogger32WithinAboutOneTick) {
    WineStation station(WineStation::Options{.artifactName = TestName()});
    ASSERT_NO_FATAL_FAILURE(WaitUntilForwarding(station));
    // The record with the name typed; the others stay empty.
    auto recordWithName = [](const std::string& name) {
        return expected::Record<std::string>({{"CALL", "Q1ABC"}, {"NAME", name}});
    };
    const WineStation::Mark called = station.MarkNow();
    station.MixWSets(u"QSO", u"Call", u"Q1ABC");
    ASSERT_TRUE(WaitForText(station, called, recordWithName(""), 5000ms))
        << Listed(station.AtLogger32Since(called));

    constexpr int Changes = 20;
    std::vector<std::int64_t> latencies;
    for (int change = 1; change <= Changes; ++change) {
        // Changes fall at different points of the 800 ms tick.
        PumpFor(std::chrono::milliseconds(change * 290 % 800));
        const std::string name = "Op" + std::to_string(100 + change).substr(1);
        const WineStation::Mark mark = station.MarkNow();
        const StationTime changedAt = station.Now();
        station.MixWSets(u"QSO", u"Name", AsciiText(name));
        const std::optional<Arrival> record =
            WaitForText(station, mark, recordWithName(name), 5000ms);
        ASSERT_TRUE(record) << "change " << change << ": expected " << recordWithName(name)
                            << "\nat Logger32:\n"
                            << Listed(station.AtLogger32Since(mark));
        latencies.push_back(record->at - changedAt);
    }
    std::vector<std::int64_t> sorted = latencies;
    std::sort(sorted.begin(), sorted.end());
    const std::int64_t median = (sorted[Changes / 2 - 1] + sorted[Changes / 2]) / 2;
    Measure("change_to_logger32_median_ms", median);
    Measure("change_to_logger32_worst_ms", sorted.back());
    Measure("change_to_logger32_best_ms", sorted.front());
    // One 800 ms tick plus the delivery; twice that leaves room for a busy machine.
    EXPECT_LE(median, 1600);
}

// ---- In the operator's locale -------------------------------------------------------------------
// These suites run the station in the Unix locale that tests/win/CMakeLists.txt gives them: under
// Wine it sets the decimal separator and ANSI code page of Pontara.exe, and the code page of the
// test process, whose MixW serves its DDE items and whose Logger32 takes its texts in it.

// Starts the station, expects the first forced frequency (MixW's dial at start, 14070000 Hz, plus
// its 1500 Hz audio) with a decimal comma, then types a QSO in MixW and expects its record bytes.
void ExpectCommaAndRecordInLocale(const std::u16string& name, const std::u16string& qth,
                                  const std::string& expectedRecord) {
    WineStation station(WineStation::Options{.artifactName = TestName()});
    ASSERT_NO_FATAL_FAILURE(WaitUntilForwarding(station));
    const std::vector<std::string> first = station.Logger32TextsSince({});
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.front(), "<APP_FORCE_FREQ:7>14071,5");

    const WineStation::Mark typed = station.MarkNow();
    station.MixW().Run([&](MixWStandIn& mixw) {
        SetQsoEntry(mixw, {{u"Name", name}, {u"qth", qth}});
        mixw.SetItem(u"QSO", u"Call", u"Q1ABC");
    });
    EXPECT_TRUE(WaitForText(station, typed, expectedRecord, 5000ms))
        << "expected " << expectedRecord << "\nat Logger32:\n"
        << Listed(station.AtLogger32Since(typed));
    SaveScreenshotOnFailure();
}

TEST(QsoForwardingGerman, KilohertzHaveADecimalCommaAndUmlautsArriveAsCodePage1252Bytes) {
    ExpectCommaAndRecordInLocale(
        u"Jürgen", u"Köln",
        expected::Record<std::string>(
            {{"CALL", "Q1ABC"}, {"QTH", "K\xF6ln"}, {"NAME", "J\xFCrgen"}}));
}

TEST(QsoForwardingRussian, CyrillicArrivesAsCodePage1251BytesCountedInCharacters) {
    // "Москва" and "Юрий" in code page 1251; Russian writes a decimal comma too.
    ExpectCommaAndRecordInLocale(u"Юрий", u"Москва",
                                 expected::Record<std::string>({{"CALL", "Q1ABC"},
                                                                {"QTH", "\xCC\xEE\xF1\xEA\xE2\xE0"},
                                                                {"NAME", "\xDE\xF0\xE8\xE9"}}));
}

TEST(QsoForwardingUtf8, CyrillicAndUmlautsArriveAsUtf8BytesCountedInCharacters) {
    // "Köln" and "Юрий" in UTF-8: four characters each, in five and eight bytes; Georgian, the
    // locale behind this code page, writes a decimal comma too.
    ExpectCommaAndRecordInLocale(
        u"Юрий", u"Köln",
        expected::Record<std::string>({{"CALL", "Q1ABC"},
                                       {"QTH", "K\xC3\xB6ln", 4},
                                       {"NAME", "\xD0\xAE\xD1\x80\xD0\xB8\xD0\xB9", 4}}));
}

// ---- A text written back during a delivery ----------------------------------------------------

TEST(TextCommands, Logger32WritingSentInsideADeliveryIsTakenWithinItWithoutDeadlock) {
    WineStation station(WineStation::Options{.artifactName = TestName()});
    ASSERT_NO_FATAL_FAILURE(WaitUntilForwarding(station));
    standin::Logger32StandIn& logger32 = station.Logger32();
    const HWND sent = FieldAt(station.MainWindow(), Field::Sent);
    const HWND cluster = FieldAt(station.MainWindow(), Field::Cluster);
    ASSERT_EQ(logger32.SentWindow(), sent);
    const UINT linkMessage = RegisterWindowMessageA(logger32::MessageNames[0]);
    const std::string written = "<CALL:5>Q1ABC<MODE:3>SSB<EOR>";

    // Logger32, handling the bridge's next command, writes Sent before it returns: the
    // bridge is still inside its own delivery and must take the text there.
    bool armed = true;
    bool handled = false;
    bool taken = false;
    bool code10Queued = false;
    std::int64_t writeMilliseconds = -1;
    logger32.OnTextReceived([&](const std::string&) {
        if (!armed) {
            return;
        }
        armed = false;
        const auto from = std::chrono::steady_clock::now();
        taken = logger32.WriteSentNow(written, 5000ms);
        writeMilliseconds = MillisecondsSince(from);
        // The bridge handled the change of Sent inside that wait: its code 10 is queued here
        // already, though its delivery to us has not returned.
        MSG queued{};
        code10Queued = PeekMessageA(&queued, logger32.Window(), linkMessage, linkMessage,
                                    PM_NOREMOVE) != FALSE &&
                       queued.wParam == logger32::ClusterWindow;
        handled = true;
    });
    const WineStation::Mark mark = station.MarkNow();
    station.MixWTunes(7000000, 1500);
    const bool done = PumpUntil([&] { return handled; }, 8000ms);
    logger32.OnTextReceived(nullptr);
    ASSERT_TRUE(done) << "no command reached Logger32";

    EXPECT_TRUE(taken) << "the bridge did not take the text while it was delivering (deadlock)";
    EXPECT_TRUE(code10Queued);
    Measure("nested_sent_write_ms", writeMilliseconds);
    ASSERT_TRUE(
        PumpUntil([&] { return logger32.CountCode(logger32::ClusterWindow) >= 1; }, 3000ms));
    PumpFor(500ms);
    const std::vector<standin::LinkMessage> code10 =
        logger32.MessagesWithCode(logger32::ClusterWindow);
    ASSERT_EQ(code10.size(), 1u);
    EXPECT_EQ(code10.front().lParam, ParameterFromWindow(cluster));
    EXPECT_EQ(ControlText(sent), written);

    // In the stand-in's record: the command, the write nested inside it, then code 10.
    std::vector<standin::Record> order;
    std::string lines;
    for (standin::Record& record : logger32.Log().RecordsFrom(0)) {
        const auto* message = std::get_if<standin::LinkMessage>(&record.content);
        if (record.event == "text" || record.event.starts_with("write-sent") ||
            (record.event == "received" && message->code == logger32::ClusterWindow)) {
            lines += record.Line() + "\n";
            order.push_back(std::move(record));
        }
    }
    const std::string command = "<APP_FORCE_FREQ:6>7001.5";
    const auto at = std::find_if(order.begin(), order.end(), [&](const standin::Record& record) {
        const auto* text = std::get_if<standin::LinkText>(&record.content);
        return record.event == "text" && text->ansi == command && text->sent;
    });
    ASSERT_NE(at, order.end()) << lines;
    const std::vector<standin::Record> after(at, std::min(order.end(), at + 4));
    ASSERT_EQ(after.size(), 4u) << lines;
    const auto* write = std::get_if<standin::LinkText>(&after[1].content);
    EXPECT_TRUE(after[1].event == "write-sent" && write->ansi == written && write->nested) << lines;
    EXPECT_EQ(after[2].event, "write-sent-done") << lines;
    EXPECT_EQ(after[3].event, "received") << lines;
    EXPECT_EQ(station.Logger32TextsSince(mark).front(), command);

    // The bridge goes on: its next command still arrives.
    const WineStation::Mark later = station.MarkNow();
    station.MixWSets(u"QSO", u"Mode", u"RTTY");
    EXPECT_TRUE(WaitForText(station, later, std::string("<APP_FORCE_MODE:4>RTTY"), 5000ms));
    SaveScreenshotOnFailure();
}

// ---- MixW going away --------------------------------------------------------------------------

// Pontara after MixW went away under it, with `mark` taken before: the next tick's first call
// fails, and Pontara shows one error box (saying what failed and quoting the system's words for
// the code) and no other for three more ticks; after OK it ends without a code to Logger32, for
// the end by error tells nobody. Defined below the tests of the two ways MixW goes.
void ExpectOneErrorBoxThenTheEndWithoutNotices(WineStation& station, const WineStation::Mark& mark);

// A Timer2 tick with Logger32's window handle 0 ends the bridge too, but that handle becomes 0
// only when Logger32's window goes in the microseconds between the sequencer's two looks,
// which no test can arrange; MixW quitting is the end that a station can bring about.
TEST(MixWLost, MixWQuittingWhileForwardingEndsTheBridgeAfterOneErrorBoxAndNoShutdownNotices) {
    WineStation station(WineStation::Options{.artifactName = TestName()});
    ASSERT_NO_FATAL_FAILURE(WaitUntilForwarding(station));
    const WineStation::Mark mark = station.MarkNow();
    station.StopMixW();
    ExpectOneErrorBoxThenTheEndWithoutNotices(station, mark);
}

// MixWSim.exe killed: its object is not disconnected from its clients as when MixW quits, and
// its process is simply gone. The kill follows the second tick's last act, the forced mode, so
// that the next tick's first call is the first to meet it.
TEST(MixWKilled, MixWsProcessKilledWhileForwardingEndsTheBridgeAfterOneErrorBoxAndNoNotices) {
    WineStation station(WineStation::Options{
        .startMixW = false, .launchPontara = false, .artifactName = TestName()});
    ChildProcess mixw = ChildProcess::Start(ProgramPath("MixWSim.exe"));
    ASSERT_TRUE(PumpUntil(
        [&] {
            const HWND window = FindWindowW(standin::window::kClassName, nullptr);
            return window != nullptr &&
                   ControlText(GetDlgItem(window, standin::window::kStatusLine)) == "Running";
        },
        15s))
        << "MixWSim.exe did not start";
    station.LaunchPontara();
    ASSERT_TRUE(WaitForText(
        station, {}, [](const std::string& text) { return text.starts_with("<APP_FORCE_MODE:"); },
        30s))
        << Listed(station.AtLogger32Since({}));
    const WineStation::Mark mark = station.MarkNow();
    mixw.Kill();
    ExpectOneErrorBoxThenTheEndWithoutNotices(station, mark);
    EXPECT_EQ(station.Logger32TextsSince(mark), std::vector<std::string>{});
}

void ExpectOneErrorBoxThenTheEndWithoutNotices(WineStation& station,
                                               const WineStation::Mark& mark) {
    const StationTime gone = station.Now();
    const HWND box = WaitForMessageBox("Pontara", 10000ms);
    ASSERT_NE(box, nullptr) << "no error box after MixW went";
    Measure("mixw_gone_to_error_box_ms", station.Now() - gone);
    const std::string text = MessageBoxText(box);
    EXPECT_TRUE(text.starts_with("MixW's GetQsoData(19) failed.")) << text;
    const std::size_t codeAt = text.rfind("(error 0x");
    ASSERT_NE(codeAt, std::string::npos) << text;
    const auto code = static_cast<DWORD>(std::strtoul(text.c_str() + codeAt + 9, nullptr, 16));
    const std::string systemMessage = SystemMessage(code);
    EXPECT_FALSE(systemMessage.empty()) << "the system has no message for 0x" << std::hex << code;
    EXPECT_NE(text.find(systemMessage), std::string::npos) << text;

    PumpFor(2500ms);
    std::vector<HWND> boxes = TopLevelWindowsOf(station.Pontara().Id());
    std::erase_if(boxes, [](HWND window) { return ClassName(window) != "#32770"; });
    EXPECT_EQ(boxes.size(), 1u);
    SaveScreenshotOnFailure();

    ASSERT_TRUE(PressOk(box));
    const StationTime answered = station.Now();
    const std::optional<DWORD> exitCode = station.Pontara().WaitForExit(10000ms);
    ASSERT_TRUE(exitCode.has_value()) << "Pontara still runs after its error box was closed";
    Measure("error_box_ok_to_exit_ms", station.Now() - answered);
    EXPECT_EQ(station.Logger32CodesSince(mark), std::vector<std::string>{})
        << "the end by error sent Logger32 codes";
}

}  // namespace
}  // namespace pontara
