// StationDemo.exe: a scripted session of a whole station on one screen. The real Pontara.exe
// runs between the Logger32 stand-in (windows of this program) and the MixW stand-in (a thread
// of this program); the program plays the operator and both peers through start-up, a QSO
// worked in MixW and logged in Logger32, the packet sideband, a DX-spot click, the rig handed to
// Logger32 and back, Logger32's QSO saved in MixW, and closing. It prints the traffic between
// the three programs as it happens, saves pictures of Pontara's windows at key moments, and
// ends with what it checked, each PASS or FAIL; the exit code is the number that failed (at
// most 99).
//
// Command line: StationDemo.exe [folder] [--all-polls]
//   folder       where the pictures go (created if missing; default: the current directory)
//   --all-polls  also print Pontara's routine reads of MixW on every Timer2 tick

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Logger32StandIn.h"
#include "MixWStandIn.h"
#include "bridge/ForwardedFields.h"
#include "logger32/Logger32Protocol.h"
#include "mixw/MixWAutomation.h"
#include "station/Checks.h"
#include "station/MessageBoxes.h"
#include "station/WineStation.h"

namespace pontara::station {
namespace {

using namespace std::chrono_literals;
using harness::WineStation;
using std::chrono::milliseconds;

// Generous: Wine on a busy machine with two cores.
constexpr milliseconds Soon = 10000ms;
constexpr milliseconds StartUp = 30000ms;

constexpr const char* MixWOwnsStatus = "            MixW2 control active !";
constexpr const char* Logger32OwnsStatus = "         Logger32 control active !";
constexpr const char* HandOverMessage =
    "Please close Souncard window and CW Mashine window Logger32 and after that press OK";

// The QSO worked in MixW, as its record at Logger32 begins; the locator completes it.
constexpr const char* WorkedRecordStart =
    "<CALL:5>Q1ABC<RST_RCVD:3>579<RST_SENT:3>599<QTH:6>Moscow<NAME:4>Ivan";
constexpr const char* WorkedLocator = "<GRIDSQUARE:6>KO85ts";
constexpr const char* WorkedTimes = "<APP_TIME_ON:4>1412<APP_TIME_OFF:4>1412";

class Demo {
  public:
    Demo(const std::string& folder, bool allPolls)
        : folder_(folder),
          station_(WineStation::Options{.startLogger32 = true,
                                        .startMixW = true,
                                        .launchPontara = false,
                                        .traffic = {true, allPolls}}),
          log_(station_.Log()),
          checks_(log_) {}

    int Run() {
        Prepare();
        StartUpAndHandshake() && QsoWorkedInMixW() && QsoSavedAndLogged() && PacketSideband() &&
            Logger32Reports() && SpotClick() && RigToLogger32() && Logger32QsoIntoMixW() &&
            RigBackToMixW();
        Closing();
        log_.Print("");
        log_.Print(
            "  Pontara's reads of MixW on Timer2 ticks: " + std::to_string(log_.PollCount()) +
            "; pictures: " + std::to_string(shots_) + " in " + folder_);
        return checks_.Summary("What the demo checked");
    }

  private:
    void Shot(const std::string& name) {
        const std::string path = folder_ + "\\" + name;
        if (station_.SaveShot(path)) {
            ++shots_;
            log_.Note("picture of Pontara's windows: " + name);
        } else {
            log_.Note("no picture " + name + " (the screen could not be read)");
        }
    }

    const Event* Wait(std::size_t from, const std::function<bool(const Event&)>& match,
                      milliseconds timeout = Soon) {
        return station_.WaitForEvent(from, match, timeout);
    }

    bool CheckField(Field field, const std::string& expected, const std::string& what) {
        return checks_.ExpectText(station_.WaitForFieldText(field, expected, Soon), expected, what);
    }

    // The operator's MixW before Pontara starts: an empty QSO entry in BPSK31, the dial on
    // 14.070 MHz with the signal at 1500 Hz in the audio passband.
    void Prepare() {
        log_.Heading("The station before Pontara");
        station_.MixW().Run([](standin::MixWStandIn& mixw) {
            mixw.SetItem(u"QSO", u"Mode", u"BPSK31");
            mixw.SetItem(u"QSO", u"time", u"1412");
            mixw.SetItem(u"CAT", u"khz", u"14070.000");
            mixw.SetFrequency(14070000, 1500);
        });
        log_.Note(
            "MixW runs: QSO entry empty, mode BPSK31, time 1412; dial 14070000 Hz, "
            "audio offset 1500 Hz");
        log_.Note("Logger32 runs and accepts a connect request under any of its five names");
    }

    bool StartUpAndHandshake() {
        log_.Heading("Start-up and handshake");
        station_.LaunchPontara();
        if (!checks_.Expect(station_.MainWindow() != nullptr, "Pontara's main window is created")) {
            return false;
        }
        station_.Pause(1200ms);
        Shot("01-splash.bmp");

        const Event* request = Wait(0, CodeIs(logger32::ConnectRequest), StartUp);
        if (!checks_.Expect(request != nullptr, "Pontara asks Logger32 to connect")) {
            return false;
        }
        checks_.Expect(request->seconds >= 3.0 && request->seconds <= 7.0,
                       "the connect request comes about 4 s after launch (3 s splash + 1 s)",
                       SecondsText(request->seconds));
        checks_.Expect(
            request->message.lParam == standin::ParameterFromWindow(station_.MainWindow()),
            "the connect request carries Pontara's main window");

        const Event* sent = Wait(0, [](const Event& event) {
            return event.kind == Kind::Code && event.message.code == logger32::SentWindow &&
                   event.message.lParam != 0;
        });
        const auto codes2 = log_.FindAll(0, CodeIs(logger32::SentWindow));
        checks_.Expect(sent != nullptr && codes2.size() == 2 && codes2[0]->message.lParam == 0 &&
                           codes2[1]->message.lParam ==
                               standin::ParameterFromWindow(station_.FieldWindow(Field::Sent)),
                       "after the answer, code 2 twice: 0, then the Sent field's window",
                       Codes(codes2));

        const std::size_t before = 0;
        Wait(before, CodeIs(logger32::RigHandoverLast), StartUp);
        const auto rig = log_.FindAll(before, IsRigCode);
        checks_.ExpectText(Codes(rig), "18(1) 7(0) 11(0) 13(0) 19(0)",
                           "MixW attached: the rig goes to MixW (codes 18, 7, 11, 13, 19)");
        CheckField(Field::Text1, MixWOwnsStatus, "the status line says MixW2 control is active");
        checks_.Expect(
            !station_.ButtonEnabled(Button::Command1) && station_.ButtonEnabled(Button::Command2),
            "MixW2 is greyed out, Lg32 can be pressed");

        Wait(0, [&](const Event&) {
            return log_.Count(0, [](const Event& event) {
                return event.kind == Kind::Dde &&
                       event.member == standin::mixw_events::DdeAdviseStart;
            }) >= bridge::ForwardedFields.size();
        });
        checks_.Expect(log_.Count(0,
                                  [](const Event& event) {
                                      return event.kind == Kind::Dde &&
                                             event.member == standin::mixw_events::DdeAdviseStart &&
                                             !event.failed;
                                  }) == bridge::ForwardedFields.size(),
                       "the first Timer2 tick opens the " +
                           std::to_string(bridge::ForwardedFields.size()) +
                           " DDE advise links to MixW");

        const Event* frequency = Wait(0, TextStartsWith("<APP_FORCE_FREQ:"));
        checks_.Expect(frequency != nullptr && frequency->text == "<APP_FORCE_FREQ:7>14071.5",
                       "Logger32 gets MixW's frequency: dial + audio offset in kHz",
                       frequency ? frequency->text : "nothing");
        const Event* mode = Wait(0, TextStartsWith("<APP_FORCE_MODE:"));
        checks_.Expect(mode != nullptr && mode->text == "<APP_FORCE_MODE:5>PSK31",
                       "Logger32 gets MixW's mode, BPSK31 named PSK31",
                       mode ? mode->text : "nothing");
        station_.Pause(2000ms);
        Shot("02-connected.bmp");
        return true;
    }

    bool QsoWorkedInMixW() {
        log_.Heading("A QSO worked in MixW, forwarded to Logger32");
        std::size_t mark = log_.Mark();
        station_.MixWTunes(14074000, 1200);
        const Event* frequency = Wait(mark, TextStartsWith("<APP_FORCE_FREQ:"));
        checks_.Expect(frequency != nullptr && frequency->text == "<APP_FORCE_FREQ:7>14075.2",
                       "a new dial frequency is forwarded",
                       frequency ? frequency->text : "nothing");

        mark = log_.Mark();
        station_.MixWSets(u"QSO", u"Mode", u"BPSK63");
        const Event* mode = Wait(mark, TextStartsWith("<APP_FORCE_MODE:"));
        checks_.Expect(mode != nullptr && mode->text == "<APP_FORCE_MODE:5>PSK63",
                       "a new mode is forwarded, BPSK63 named PSK63",
                       mode ? mode->text : "nothing");
        station_.Pause(2000ms);  // the mapped name goes once more, as designed

        mark = log_.Mark();
        station_.MixWSets(u"QSO", u"Call", u"Q1ABC");
        const Event* record = Wait(mark, TextStartsWith("<CALL:"));
        checks_.Expect(record != nullptr && record->text.starts_with("<CALL:5>Q1ABC"),
                       "the call typed in MixW reaches Logger32 in a QSO record",
                       record ? record->text : "nothing");

        station_.Pause(1000ms);
        mark = log_.Mark();
        station_.MixWSets(u"QSO", u"RstSnt", u"599");
        station_.MixWSets(u"QSO", u"RstRcv", u"579");
        record = Wait(mark, TextStartsWith("<CALL:"));
        checks_.Expect(record != nullptr &&
                           record->text.find("<RST_RCVD:3>579<RST_SENT:3>599") != std::string::npos,
                       "both RSTs ride in the next record", record ? record->text : "nothing");

        station_.Pause(1000ms);
        mark = log_.Mark();
        station_.MixWSets(u"QSO", u"Name", u"Ivan");
        station_.MixWSets(u"QSO", u"qth", u"Moscow");
        record = Wait(mark, TextStartsWith("<CALL:"));
        checks_.Expect(record != nullptr && record->text.find("<NAME:4>Ivan") != std::string::npos,
                       "name and QTH follow", record ? record->text : "nothing");

        station_.Pause(1000ms);
        mark = log_.Mark();
        station_.MixWSetsQsoData(mixw::LocatorIndex, u"KO85ts");
        record = Wait(mark, TextStartsWith("<CALL:"));
        checks_.Expect(record != nullptr && record->text.starts_with(WorkedRecordStart) &&
                           record->text.find(WorkedLocator) != std::string::npos,
                       "the locator completes the record", record ? record->text : "nothing");
        workedRecord_ = record ? record->text : "";
        CheckField(Field::Callsign, "Q1ABC", "Pontara's Callsign field mirrors MixW");
        CheckField(Field::Locator, "KO85ts", "Pontara's Locator field shows MixW's item 19");
        Shot("03-qso-forwarded.bmp");
        return true;
    }

    bool QsoSavedAndLogged() {
        log_.Heading("The QSO saved in MixW and logged in Logger32");
        std::size_t mark = log_.Mark();
        station_.MixWSets(u"QSO", u"Command", u"Save");
        const double savedAt = log_.Now();
        const Event* logged = Wait(mark, TextStartsWith("<APP_LOGQSO:"));
        const std::string payload = workedRecord_ + WorkedTimes;
        checks_.Expect(
            logged != nullptr &&
                logged->text == "<APP_LOGQSO:" + std::to_string(payload.size()) + ">" + payload,
            "APP_LOGQSO carries the record with start and end time",
            logged ? logged->text : "nothing");
        Wait(mark, CodeIs(logger32::QsoLoggedFollowUp));
        const auto after = log_.FindAll(mark, [](const Event& event) {
            return event.kind == Kind::Code && (event.message.code == logger32::QsoLogged ||
                                                event.message.code == logger32::QsoLoggedFollowUp);
        });
        checks_.Expect(logged != nullptr && Codes(after) == "15(1) 16(1)" &&
                           after[0]->seconds >= logged->seconds,
                       "then codes 15 and 16, each with lParam 1", Codes(after));
        CheckField(Field::TextCommand, "Korvex_Send", "Pontara marks the QSO sent");
        const Event* nextRead =
            Wait(mark, [](const Event& event) { return event.poll && event.kind == Kind::Get; });
        checks_.Expect(
            nextRead != nullptr && nextRead->seconds - savedAt >= 1.4,
            "forwarding pauses: MixW is next read at least 1.5 s after the Save (700 ms + 800 "
            "ms)",
            nextRead ? SecondsText(nextRead->seconds - savedAt) : "no read");

        station_.Pause(1000ms);
        mark = log_.Mark();
        station_.MixWSets(u"QSO", u"Command", u"Remove");
        const Event* removed = Wait(mark, TextIs("<EOR>"));
        checks_.Expect(removed != nullptr, "a QSO removed in MixW clears Logger32's entry (<EOR>)");
        Shot("04-logged.bmp");
        return true;
    }

    bool PacketSideband() {
        log_.Heading("The packet sideband");
        station_.Click(Button::Command3);
        CheckField(Field::Text1, MixWOwnsStatus, "the status line is unchanged");
        const std::string caption = station_.WaitForCaption(Button::Command3, "PKT_USB", Soon);
        checks_.ExpectText(caption, "PKT_USB", "PKT LSB becomes PKT_USB");
        std::size_t mark = log_.Mark();
        station_.MixWTunes(14074000, 1500);
        const Event* frequency = Wait(mark, TextStartsWith("<APP_FORCE_FREQ:"));
        checks_.Expect(frequency != nullptr && frequency->text == "<APP_FORCE_FREQ:7>14072.5",
                       "with upper sideband the audio offset is subtracted",
                       frequency ? frequency->text : "nothing");
        Shot("05-packet-usb.bmp");
        station_.Click(Button::Command3);
        const std::string back = station_.WaitForCaption(Button::Command3, "PKT_LSB", Soon);
        checks_.ExpectText(back, "PKT_LSB", "a second click goes back to PKT_LSB");
        return true;
    }

    bool Logger32Reports() {
        log_.Heading("Logger32 reports its dial and a cluster value");
        const std::size_t mark = log_.Mark();
        station_.Logger32().ReportDialFrequency(14075450);
        CheckField(Field::Freq_logger32, "14075.450", "code 100 shows Logger32's dial in kHz");
        station_.Pause(1500ms);
        checks_.Expect(log_.Count(mark, ChangesMixW) == 0,
                       "while MixW owns the rig, Logger32's dial does not tune MixW");
        station_.Logger32().ReportClusterValue(-3);
        CheckField(Field::Cluster, "-3", "code 102 shows the cluster value");
        return true;
    }

    bool SpotClick() {
        log_.Heading("A DX spot clicked in Logger32");
        const std::size_t mark = log_.Mark();
        const std::string spot = "<APP_DXSPOT_CLICKED:19>Q2XYZ|14070.0|PSK63";
        station_.Logger32().WriteSent(spot);
        const Event* cluster = Wait(mark, CodeIs(logger32::ClusterWindow));
        const Event* written =
            log_.Find(mark, [](const Event& event) { return event.kind == Kind::WriteSent; });
        checks_.Expect(cluster != nullptr &&
                           cluster->message.lParam ==
                               standin::ParameterFromWindow(station_.FieldWindow(Field::Cluster)),
                       "Pontara answers the change of Sent with code 10 and its Cluster field");
        Wait(mark, CallIs(mixw::Member::ExecuteMacros, {"<BAUDRATE:63>"}));
        const auto calls = log_.FindAll(mark, ChangesMixW);
        checks_.ExpectText(Accounts(calls),
                           "ExecuteMacros(\"<ZFQ:14070.0>\"), SetQsoData(0, \"Q2XYZ\"), "
                           "ExecuteMacros(\"<MODE:BPSK31>\"), "
                           "ExecuteMacros(\"<BAUDRATE:63>\")",
                           "MixW is tuned to the spot, given its call and its mode (PSK63)");
        if (written != nullptr && !calls.empty()) {
            const double deferral = calls.front()->seconds - written->seconds;
            checks_.Expect(deferral >= 0.4 && deferral <= 1.5,
                           "the spot is acted on about 500 ms after Sent changes (Timer3)",
                           SecondsText(deferral));
        }

        // MixW follows the spot: its dial moves there, and its new call reaches Logger32 (on
        // the first tick after SetQsoData, perhaps before the dial has moved).
        station_.MixWTunes(14070000, 1500);
        const Event* record = Wait(mark, TextStartsWith("<CALL:5>Q2XYZ"));
        checks_.Expect(record != nullptr && record->text.starts_with("<CALL:5>Q2XYZ"),
                       "the spot's call, now in MixW's entry, comes back to Logger32 in a record",
                       record ? record->text : "nothing");
        Shot("06-spot-clicked.bmp");
        return true;
    }

    bool RigToLogger32() {
        log_.Heading("The rig handed to Logger32 (Lg32)");
        std::size_t mark = log_.Mark();
        station_.Click(Button::Command2);
        Wait(mark, CodeIs(logger32::RigHandoverLast));
        const auto macros = log_.FindAll(mark, ChangesMixW);
        checks_.ExpectText(Accounts(macros),
                           "ExecuteMacros(\"<TOGGLECATPORT>\"), ExecuteMacros(\"<TOGGLEPTTPORT>\")",
                           "MixW lets go of its CAT and PTT ports");
        const auto rig = log_.FindAll(mark, IsRigCode);
        checks_.ExpectText(Codes(rig), "18(0) 6(0) 12(0) 14(0) 19(1)",
                           "Logger32 is told it owns the rig (codes 18, 6, 12, 14, 19)");
        CheckField(Field::Text1, Logger32OwnsStatus, "the status line says Logger32 is in control");
        checks_.Expect(
            station_.ButtonEnabled(Button::Command1) && !station_.ButtonEnabled(Button::Command2),
            "Lg32 is greyed out, MixW2 can be pressed");
        mark = log_.Mark();
        station_.Pause(2500ms);
        checks_.Expect(log_.Count(mark, [](const Event& event) { return event.poll; }) == 0,
                       "Timer2 stops: MixW is no longer read while Logger32 owns the rig");

        mark = log_.Mark();
        station_.Logger32().ReportDialFrequency(14076000);
        const Event* tune = Wait(mark, CallIs(mixw::Member::ExecuteMacros, {"<ZFQ:14076.000>"}));
        checks_.Expect(tune != nullptr, "now Logger32's dial (code 100) tunes MixW");
        Shot("07-logger32-owns-the-rig.bmp");
        return true;
    }

    bool Logger32QsoIntoMixW() {
        log_.Heading("Logger32's QSO entry mirrored into MixW and saved there");
        const std::size_t mark = log_.Mark();
        const std::string qso =
            "<CALL:5>Q3LOG<MODE:3>SSB<RST_SENT:2>59<RST_RCVD:2>57<NAME:5>Pavel<EOR><EOF>";
        station_.Logger32().WriteSent(qso);
        Wait(mark, [&](const Event&) {
            return log_.Count(mark, CallIs(mixw::Member::ExecuteMacros, {"<CLEARQSO>"})) >= 2;
        });
        const auto calls = log_.FindAll(mark, ChangesMixW);
        checks_.ExpectText(
            Accounts(calls),
            "ExecuteMacros(\"<CLEARQSO>\"), SetQsoData(0, \"Q3LOG\"), "
            "ExecuteMacros(\"<MODE:SSB>\"), SetQsoData(5, \"59\"), SetQsoData(2, \"57\"), "
            "SetQsoData(1, \"Pavel\"), ExecuteMacros(\"<FIXSTARTTIME>\"), "
            "ExecuteMacros(\"<SAVEQSO>\"), ExecuteMacros(\"<CLEARQSO>\")",
            "MixW's entry is cleared, filled, saved and cleared");
        CheckField(Field::Sent, "SAVE", "Sent then reads SAVE");
        station_.Pause(1000ms);
        checks_.Expect(log_.Count(mark, CodeIs(logger32::ClusterWindow)) == 2,
                       "code 10 for each change of Sent: Logger32's text and SAVE");
        Shot("08-logger32-qso-saved-in-mixw.bmp");
        return true;
    }

    bool RigBackToMixW() {
        log_.Heading("The rig back to MixW (MixW2)");
        std::size_t mark = log_.Mark();
        station_.Click(Button::Command1);
        HWND box = station_.WaitForMessageBox(Soon);
        const auto rig = log_.FindAll(mark, IsRigCode);
        checks_.ExpectText(Codes(rig), "18(1) 7(0) 11(0) 13(0) 19(0)",
                           "MixW is given the rig (codes 18, 7, 11, 13, 19)");
        if (!checks_.Expect(box != nullptr,
                            "Pontara asks the operator to close Logger32's windows")) {
            return false;
        }
        const std::string text = harness::MessageBoxText(box);
        checks_.ExpectText(text, HandOverMessage, "the box reads as designed");
        Shot("09-handover-message.bmp");
        station_.Pause(1000ms);
        checks_.Expect(log_.Count(mark, ChangesMixW) == 0,
                       "MixW's ports wait until the box is closed");
        log_.Script(Party::Station, Party::Pontara, "the operator presses OK");
        checks_.Expect(harness::PressOk(box), "the box takes OK");

        Wait(mark, CallIs(mixw::Member::ExecuteMacros, {"<TOGGLEPTTPORT>"}));
        const auto macros = log_.FindAll(mark, ChangesMixW);
        checks_.ExpectText(Accounts(macros),
                           "ExecuteMacros(\"<TOGGLECATPORT>\"), ExecuteMacros(\"<TOGGLEPTTPORT>\")",
                           "then MixW opens its CAT and PTT ports");
        CheckField(Field::Text1, MixWOwnsStatus, "the status line says MixW2 control is active");
        const Event* frequency = Wait(mark, TextStartsWith("<APP_FORCE_FREQ:"));
        const Event* mode = Wait(mark, TextStartsWith("<APP_FORCE_MODE:"));
        const Event* record = Wait(mark, TextStartsWith("<CALL:"));
        const bool all = frequency != nullptr && mode != nullptr && record != nullptr;
        checks_.Expect(
            all && frequency->seconds < mode->seconds && mode->seconds < record->seconds,
            "forwarding resumes: Logger32 gets frequency, mode and record again, in order",
            all ? Accounts({frequency, mode, record}) : "not all three came");
        Shot("10-mixw-owns-the-rig-again.bmp");
        return true;
    }

    void Closing() {
        log_.Heading("Closing Pontara");
        if (!station_.PontaraRunning()) {
            checks_.Expect(false, "Pontara is still running before it is closed");
            return;
        }
        // A box left open by a step that failed would hold the close back.
        for (HWND box : station_.MessageBoxes()) {
            harness::PressOk(box);
        }
        const std::size_t mark = log_.Mark();
        station_.Close();
        const bool ended = station_.WaitUntil([&] { return !station_.PontaraRunning(); }, 20000ms);
        const auto codes =
            log_.FindAll(mark, [](const Event& event) { return event.kind == Kind::Code; });
        checks_.Expect(Codes(codes) == "4(0) 5(0)" && codes.size() == 2 && codes[0]->message.sent &&
                           codes[1]->message.sent,
                       "Logger32 is told Pontara is leaving: codes 4 and 5, sent", Codes(codes));
        checks_.Expect(log_.Count(mark, ChangesMixW) == 0,
                       "MixW owned the rig: no hand-over and no macros on closing");
        DWORD exitCode = 0;
        if (ended) {
            GetExitCodeProcess(station_.Pontara().Handle(), &exitCode);
        }
        checks_.Expect(
            ended && exitCode == 0, "Pontara.exe ends, exit code 0",
            ended ? "exit code " + std::to_string(exitCode) : "still running after 20 s");
        log_.Note(ended ? "Pontara.exe has ended" : "Pontara.exe did not end; it is stopped");
    }

    std::string folder_;
    WineStation station_;
    Traffic& log_;
    Checks checks_;
    std::string workedRecord_;  // the QSO's record as Logger32 last had it
    int shots_ = 0;
};

std::string WindowsPath(std::string path) {
    for (char& character : path) {
        if (character == '/') {
            character = '\\';
        }
    }
    while (path.size() > 3 && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

}  // namespace
}  // namespace pontara::station

int main(int argc, char** argv) {
    std::string folder = ".";
    bool allPolls = false;
    for (int index = 1; index < argc; ++index) {
        if (std::strcmp(argv[index], "--all-polls") == 0) {
            allPolls = true;
        } else if (argv[index][0] == '-') {
            std::fprintf(stderr, "usage: StationDemo.exe [folder] [--all-polls]\n");
            return 2;
        } else {
            folder = argv[index];
        }
    }
    folder = pontara::station::WindowsPath(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    try {
        pontara::station::Demo demo(folder, allPolls);
        // The number of failed checks, at most 99 (100 is an exception's).
        return std::min(demo.Run(), 99);
    } catch (const std::exception& error) {
        std::printf("StationDemo: %s\n", error.what());
        return 100;
    }
}
