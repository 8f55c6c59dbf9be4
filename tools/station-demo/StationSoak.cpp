// StationSoak.exe: Pontara.exe under faults and load, end to end, each case with a fresh
// Pontara.exe and stand-ins, bounded in time. It reports what happened with figures; the
// checks that must hold (no hang, one error box, nothing lost, no crash) are PASS or FAIL and
// the exit code is the number that failed.
//
//   mixw-killed        MixWSim.exe, a process of its own, is killed while Pontara forwards
//   logger32-restarted Logger32Sim.exe is killed while Pontara runs, then Logger32 starts again
//   logger32-blocked   Logger32's text window takes a long time over one text command
//   flood              thousands of registered messages (code 100) and thousands of changes
//                      of Sent, twice, with the memory before and after
//   soak               a QSO change every second; every change must reach Logger32, in order
//
// Command line: StationSoak.exe [--only NAME[,NAME...]] [--soak-seconds S] [--flood N]
//               [--sent-changes N] [--block-seconds S] [--pictures FOLDER]

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Logger32StandIn.h"
#include "MixWSimWindow.h"
#include "MixWStandIn.h"
#include "StandInThread.h"
#include "logger32/Logger32Protocol.h"
#include "station/Checks.h"
#include "station/MessageBoxes.h"
#include "station/Paths.h"
#include "station/WindowQueries.h"
#include "station/WineStation.h"

namespace pontara::station {
namespace {

using namespace std::chrono_literals;
using harness::Megabytes;
using harness::WineStation;
using std::chrono::milliseconds;

constexpr milliseconds Soon = 10000ms;

struct Settings {
    std::set<std::string> only;
    int soakSeconds = 1800;
    int flood = 5000;
    int sentChanges = 2000;
    int blockSeconds = 30;
    std::string pictures;
};

bool IsMixWCall(const Event& event) {
    return event.kind == Kind::Call || event.kind == Kind::Get;
}

std::string Fixed(double value, int decimals = 1) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string HexWindow(HWND window) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X",
                  static_cast<unsigned>(standin::ParameterFromWindow(window)));
    return text;
}

// A stand-in program (Logger32Sim.exe, MixWSim.exe) started by this program.
harness::ChildProcess StartProgram(const std::string& fileName, const std::string& arguments) {
    return harness::ChildProcess::Start(harness::ProgramPath(fileName), arguments);
}

// The Logger32 stand-in on a thread of its own, so that its text window can be made to block
// while this thread goes on looking at Pontara.
class Logger32OnThread {
  public:
    explicit Logger32OnThread(Traffic& traffic)
        : apartment_([this, &traffic] {
              standIn_ = std::make_unique<standin::Logger32StandIn>();
              traffic.FollowLogger32(*standIn_);
          }) {}
    ~Logger32OnThread() {
        apartment_.Run([this] { standIn_.reset(); });
    }

    standin::Logger32StandIn& StandIn() { return *standIn_; }

  private:
    std::unique_ptr<standin::Logger32StandIn> standIn_;  // made and ended on the apartment's thread
    standin::StandInApartment apartment_;
};

// Logger32's handling of a text command, which, once armed, takes its time before it returns:
// Logger32 busy or hung inside a text command while Pontara waits in its delivery.
std::atomic<int> gBlockMilliseconds = 0;
std::atomic<bool> gBlocking = false;
std::atomic<Clock::rep> gBlockEnded = 0;  // when the handler returned

void BlockingTextHandler(const std::string&) {
    if (const int block = gBlockMilliseconds.exchange(0); block > 0) {
        gBlocking = true;
        Sleep(static_cast<DWORD>(block));
        gBlockEnded = Clock::now().time_since_epoch().count();
        gBlocking = false;
    }
}

class Soak {
  public:
    explicit Soak(Settings settings) : settings_(std::move(settings)) {}

    int Run() {
        const std::pair<const char*, void (Soak::*)()> cases[] = {
            {"mixw-killed", &Soak::MixWKilled},
            {"logger32-restarted", &Soak::Logger32Restarted},
            {"logger32-blocked", &Soak::Logger32Blocked},
            {"flood", &Soak::Flood},
            {"soak", &Soak::QsoChangeEverySecond},
        };
        for (const auto& [name, run] : cases) {
            if (settings_.only.empty() || settings_.only.contains(name)) {
                current_ = name;
                (this->*run)();
            }
        }
        Print("");
        Print("  == Summary ==");
        int failed = 0;
        for (const std::string& line : summary_) {
            Print(line);
            failed += line.find("  FAIL  ") != std::string::npos ? 1 : 0;
        }
        Print("");
        Print("  " + std::to_string(failed) + " check(s) failed");
        return failed;
    }

  private:
    static void Print(const std::string& line) {
        std::fputs((line + "\n").c_str(), stdout);
        std::fflush(stdout);
    }
    void Heading(const std::string& title) {
        Print("");
        Print("  ==== " + current_ + ": " + title + " ====");
        summary_.push_back("  [" + current_ + "]");
    }
    void Report(const std::string& line) {
        Print("    " + line);
        summary_.push_back("    " + line);
    }
    void Check(bool passed, const std::string& what, const std::string& seen = {}) {
        Report(std::string(passed ? "  PASS  " : "  FAIL  ") + what +
               (seen.empty() ? "" : "  [" + seen + "]"));
    }
    void Picture(WineStation& station, const std::string& name) {
        if (!settings_.pictures.empty()) {
            station.SaveShot(settings_.pictures + "\\" + name);
        }
    }

    // Waits until Pontara forwards: Logger32 has its first frequency command.
    static bool WaitUntilForwarding(WineStation& station) {
        return station.WaitForEvent(0, TextStartsWith("<APP_FORCE_FREQ:"), 30000ms) != nullptr;
    }

    static void PrepareMixW(WineStation& station) {
        station.MixW().Run([](standin::MixWStandIn& mixw) {
            mixw.SetItem(u"QSO", u"Mode", u"BPSK31");
            mixw.SetItem(u"QSO", u"Call", u"Q1ABC");
            mixw.SetFrequency(14070000, 1500);
        });
    }

    // Closes Pontara as the operator would, answering a box if one comes; kills it if it will
    // not end. Whether it ended by itself.
    bool CloseAndWait(WineStation& station) {
        if (!station.PontaraRunning()) {
            return true;
        }
        station.Close();
        const bool ended = station.WaitUntil(
            [&] {
                for (HWND box : station.MessageBoxes()) {
                    harness::PressOk(box, 2000ms);
                }
                return !station.PontaraRunning();
            },
            20000ms);
        if (!ended) {
            station.Pontara().Kill();
        }
        return ended;
    }

    std::string Memory(const ProcessFigures& figures) {
        std::string text = "peak working set " + Megabytes(figures.peakWorkingSet) +
                           ", working set " + Megabytes(figures.workingSet) + ", private " +
                           Megabytes(figures.privateBytes);
        if (figures.residentAnonymous + figures.residentFiles > 0) {
            text += " (resident: own " + Megabytes(figures.residentAnonymous) + ", files " +
                    Megabytes(figures.residentFiles) + ")";
        }
        return text;
    }

    // (i) MixW's process is killed while Pontara forwards.
    void MixWKilled() {
        Heading("MixWSim.exe killed while Pontara runs");
        WineStation station(WineStation::Options{.startLogger32 = true,
                                                 .startMixW = false,
                                                 .launchPontara = false,
                                                 .traffic = {false, false}});
        harness::ChildProcess mixw = StartProgram("MixWSim.exe", "");
        const bool mixwUp = station.WaitUntil(
            [] { return FindWindowW(standin::window::kClassName, nullptr) != nullptr; }, Soon);
        station.Pause(1000ms);  // its object and DDE service are registered after the window
        station.LaunchPontara();
        if (!mixwUp || !WaitUntilForwarding(station)) {
            Check(false, "Pontara forwards with MixWSim.exe as MixW");
            return;
        }
        station.Pause(3000ms);
        Traffic& log = station.Log();
        const std::size_t mark = log.Mark();
        const double killedAt = log.Now();
        mixw.Kill();
        Report("MixWSim.exe killed at " + SecondsText(killedAt) + " after Pontara's launch");

        std::set<HWND> boxesSeen;
        HWND box = nullptr;
        station.WaitUntil(
            [&] {
                for (HWND seen : station.MessageBoxes()) {
                    boxesSeen.insert(seen);
                    box = seen;
                }
                return box != nullptr;
            },
            30000ms);
        const double boxAt = log.Now();
        if (!box) {
            Check(false, "Pontara shows an error box within 30 s",
                  station.PontaraRunning() ? "still running, no box" : "ended without a box");
            CloseAndWait(station);
            return;
        }
        Report("an error box came " + Fixed(boxAt - killedAt, 2) + " s after the kill");
        Picture(station, "soak-mixw-killed-error.bmp");
        std::string text = harness::MessageBoxText(box);
        for (std::size_t at; (at = text.find_first_of("\r\n")) != std::string::npos;) {
            const std::size_t end = text.find_first_not_of("\r\n", at);
            text.replace(at, end == std::string::npos ? std::string::npos : end - at, " / ");
        }
        Report("its caption \"" + harness::Caption(box) + "\", its text: " + text);
        // Any further box within the next seconds (a second failing tick would add one).
        station.WaitUntil(
            [&] {
                for (HWND seen : station.MessageBoxes()) {
                    boxesSeen.insert(seen);
                }
                return false;
            },
            4000ms);
        Check(boxesSeen.size() == 1, "exactly one error box",
              std::to_string(boxesSeen.size()) + " seen over 4 s");
        const std::size_t callsWhileOpen = log.Count(mark, [&](const Event& event) {
            return event.seconds > boxAt && event.kind == Kind::Text;
        });
        Report("Logger32 got " + std::to_string(callsWhileOpen) +
               " text command(s) while the box was open");
        harness::PressOk(box);
        const double okAt = log.Now();
        const bool ended = station.WaitUntil([&] { return !station.PontaraRunning(); }, 15000ms);
        DWORD exitCode = 0;
        GetExitCodeProcess(station.Pontara().Handle(), &exitCode);
        Check(ended, "after OK Pontara ends; nothing hangs",
              ended ? "ended " + Fixed(log.Now() - okAt, 2) + " s after OK, exit code " +
                          std::to_string(exitCode)
                    : "still running 15 s after OK");

        standin::Logger32StandIn& logger32 = station.Logger32();
        station.Pause(500ms);
        const auto messages = logger32.Messages();
        std::string last = "none";
        if (!messages.empty()) {
            last = "code " + std::to_string(messages.back().code);
        }
        const auto texts = logger32.Texts();
        Report("the Logger32 stand-in is left as connected: bridge window " +
               std::string(IsWindow(logger32.BridgeWindow()) ? "still exists" : "gone") +
               ", name in use \"Logger32 " + std::to_string(logger32.NameInUse()) +
               "\", leaving codes 4/5 received: " + std::to_string(logger32.CountCode(4)) + "/" +
               std::to_string(logger32.CountCode(5)) + ", last message " + last + ", " +
               std::to_string(texts.size()) + " text commands in all, the last " +
               (texts.empty() ? "none" : "\"" + texts.back().ansi + "\""));
        Check(
            logger32.CountCode(logger32::Leaving) == 0,
            "the end after the error skips the leaving codes, as designed (Logger32 is not told)");
    }

    // (ii) Logger32's process is killed; later a Logger32 starts again.
    void Logger32Restarted() {
        Heading("Logger32Sim.exe killed while Pontara runs, then a Logger32 starts again");
        WineStation station(WineStation::Options{
            .startLogger32 = false, .startMixW = true, .launchPontara = false, .traffic = {}});
        Traffic& log = station.Log();
        PrepareMixW(station);

        std::optional<harness::ChildProcess> killed = StartProgram("Logger32Sim.exe", "");
        station.WaitUntil([] { return FindWindowA(nullptr, logger32::WindowTitle) != nullptr; },
                          Soon);
        const HWND killedWindow = FindWindowA(nullptr, logger32::WindowTitle);
        station.LaunchPontara();
        // The program's text window shows the last text command it received.
        const HWND killedTexts =
            FindWindowExA(killedWindow, nullptr, standin::TextClassName, nullptr);
        const bool forwards = station.WaitUntil(
            [&] {
                return harness::ControlText(killedTexts, 1000ms).value_or("").starts_with("<CALL:");
            },
            30000ms);
        if (!forwards) {
            Check(false, "Pontara forwards to Logger32Sim.exe");
            return;
        }
        Report("Pontara connected to Logger32Sim.exe and forwards (its window " +
               HexWindow(killedWindow) + ")");

        killed->Kill();
        killed.reset();
        const double killedAt = log.Now();
        Report("Logger32Sim.exe killed at " + SecondsText(killedAt));
        station.MixWSets(u"QSO", u"Name", u"AFTERKILL");
        station.Pause(4000ms);
        CheckStatus(station, " Logger32 closed, waiting for it !");
        Check(station.PontaraRunning() && station.MessageBoxes().empty(),
              "Pontara goes on running without Logger32, no box");
        station.MixWSets(u"QSO", u"Command", u"Save");
        station.Pause(2000ms);
        CheckStatus(station, " Logger32 closed, QSOs waiting: 1 !");

        std::size_t mark = log.Mark();
        station.StartLogger32();
        Report("Logger32 started again (its window " + HexWindow(station.Logger32().Window()) +
               ")");
        station.Pause(12000ms);  // longer than the 5 s look for Logger32
        station.MixWSets(u"QSO", u"Name", u"RESTARTED");
        station.Pause(4000ms);
        const std::vector<const Event*> received = log.FindAll(mark, [](const Event& event) {
            return event.from == Party::Pontara && event.to == Party::Logger32;
        });
        Report("in 16 s the new Logger32 received " + std::to_string(received.size()) +
               " message(s) or text(s) from Pontara");
        std::vector<std::string> codes;
        std::size_t loggings = 0;
        std::size_t afterKill = 0;
        std::size_t restarted = 0;
        for (const Event* event : received) {
            if (event->kind == Kind::Code) {
                codes.push_back(std::to_string(event->code) + " " + std::to_string(event->lParam));
            } else if (event->kind == Kind::Text) {
                loggings += event->text.starts_with("<APP_LOGQSO:") ? 1 : 0;
                afterKill += event->text.starts_with("<CALL:5>Q1ABC") &&
                                     event->text.find("<NAME:9>AFTERKILL") != std::string::npos
                                 ? 1
                                 : 0;
                restarted += event->text.find("<NAME:9>RESTARTED") != std::string::npos ? 1 : 0;
            }
        }
        const std::string main = std::to_string(standin::ParameterFromWindow(station.MainWindow()));
        std::string seen;
        for (const std::string& code : codes) {
            seen += (seen.empty() ? "" : ", ") + code;
        }
        Check(codes.size() == 10 && codes[0] == "1 " + main && codes[1] == "2 0" &&
                  codes[2].starts_with("2 ") && codes[2] != "2 0",
              "the new Logger32 receives the connect request and Sent's handle (code 2 twice), "
              "once",
              seen);
        const std::vector<std::string> owner{"18 1", "7 0", "11 0", "13 0", "19 0"};
        Check(codes.size() == 10 && std::equal(owner.begin(), owner.end(), codes.begin() + 3),
              "then the owner's five codes (MixW has the rig), once", seen);
        Check(loggings == 1 && codes.size() == 10 && codes[8] == "15 1" && codes[9] == "16 1",
              "the QSO saved while Logger32 was away is logged, with codes 15 and 16, once",
              std::to_string(loggings) + " APP_LOGQSO text(s)");
        Check(afterKill == 1 && restarted == 1,
              "the current QSO goes out again, then forwarding resumes",
              std::to_string(afterKill) + " record(s) with AFTERKILL, " +
                  std::to_string(restarted) + " with RESTARTED");
        Check(station.PontaraRunning(), "Pontara still runs after Logger32 came back");
        CheckStatus(station, "            MixW2 control active !");
        mark = log.Mark();
        const bool ended = CloseAndWait(station);
        station.Pause(1000ms);
        const std::size_t leaving = log.Count(mark, [](const Event& event) {
            return event.kind == Kind::Code && event.code == logger32::Leaving;
        });
        Check(ended && leaving == 1,
              "closed by the operator, Pontara tells the new Logger32 and ends",
              "code 4 reached the new Logger32 " + std::to_string(leaving) + " time(s)");
    }

    void CheckStatus(WineStation& station, const std::string& expected) {
        const std::string status = station.FieldText(Field::Text1);
        Check(status == expected, "the status line reads \"" + expected + "\"", status);
    }

    // (iii) Logger32 holds a text command for a long time.
    void Logger32Blocked() {
        Heading("Logger32's text window blocks for " + std::to_string(settings_.blockSeconds) +
                " s");
        WineStation station(WineStation::Options{.startLogger32 = false,
                                                 .startMixW = true,
                                                 .launchPontara = false,
                                                 .traffic = {false, false}});
        Traffic& log = station.Log();
        Logger32OnThread logger32(log);
        // Set before Pontara starts: the handler is read on the stand-in's thread.
        logger32.StandIn().OnTextReceived(&BlockingTextHandler);
        PrepareMixW(station);
        station.LaunchPontara();
        if (!WaitUntilForwarding(station) ||
            !station.WaitForEvent(0, TextStartsWith("<CALL:"), Soon)) {
            Check(false, "Pontara forwards");
            return;
        }
        station.Pause(2000ms);
        HWND main = station.MainWindow();

        gBlockMilliseconds = settings_.blockSeconds * 1000;
        std::size_t mark = log.Mark();
        const double changedAt = log.Now();
        station.MixWSets(u"QSO", u"Name", u"BLOCKED");
        station.WaitUntil([] { return gBlocking.load(); }, Soon);
        const double blockedAt = log.Now();
        Report("the record with NAME BLOCKED reached Logger32 " + Fixed(blockedAt - changedAt, 2) +
               " s after the change; Logger32's handler now holds it");

        int answered = 0;
        int probes = 0;
        int hung = 0;
        bool spotWritten = false;
        bool secondChange = false;
        double spotWrittenAt = 0;
        const double probeEnd = blockedAt + settings_.blockSeconds - 1;
        while (gBlocking && log.Now() < probeEnd) {
            station.Pause(1000ms);
            DWORD_PTR result = 0;
            ++probes;
            if (SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result)) {
                ++answered;
            }
            if (IsHungAppWindow(main)) {
                ++hung;
            }
            const double since = log.Now() - blockedAt;
            if (!spotWritten && since > settings_.blockSeconds / 3.0) {
                spotWritten = true;
                spotWrittenAt = log.Now();
                logger32.StandIn().WriteSent(Token("APP_DXSPOT_CLICKED", "Q9BLK|14080.0|RTTY"),
                                             5000ms);
            }
            if (!secondChange && since > settings_.blockSeconds / 2.0) {
                secondChange = true;
                station.MixWSets(u"QSO", u"Name", u"DURING");
            }
        }
        station.WaitUntil([] { return !gBlocking.load(); },
                          milliseconds(settings_.blockSeconds * 1000 + 5000));
        const double releasedAt =
            log.Seconds(Clock::time_point(Clock::duration(gBlockEnded.load())));
        const std::size_t readsDuring = log.Count(mark, [&](const Event& event) {
            return IsMixWCall(event) && event.seconds > blockedAt + 0.1 &&
                   event.seconds < releasedAt - 0.1;
        });
        Report("while blocked (" + Fixed(releasedAt - blockedAt, 1) + " s): Pontara answered " +
               std::to_string(answered) + " of " + std::to_string(probes) +
               " sent messages (WM_NULL, 1 s timeout); IsHungAppWindow "
               "said hung " +
               std::to_string(hung) + " time(s); MixW was called " + std::to_string(readsDuring) +
               " time(s) (Timer2 and Timer3 wait)");
        if (spotWritten) {
            const bool sentTaken = log.Find(mark, [](const Event& event) {
                return event.kind == Kind::Note &&
                       event.account.find("write-sent-failed") != std::string::npos;
            }) == nullptr;
            Report("a spot written into Sent during the block was " +
                   std::string(sentTaken ? "taken at once (Pontara takes sent messages while it "
                                           "waits)"
                                         : "not taken"));
        }
        station.Pause(3000ms);
        const Event* spot = log.Find(mark, [](const Event& event) {
            return event.kind == Kind::Call && event.member == "ExecuteMacros" &&
                   event.arguments == std::vector<std::string>{"<ZFQ:14080.0>"};
        });
        if (spotWritten) {
            Report(spot != nullptr
                       ? "the spot was acted on " + Fixed((spot->seconds - releasedAt) * 1000, 0) +
                             " ms after the block ended (" +
                             Fixed(spot->seconds - spotWrittenAt, 1) + " s after it was written)"
                       : "the spot was not acted on");
        }
        const Event* during = log.Find(mark, TextContains(Token("NAME", "DURING")));
        Report(during != nullptr ? "the change made during the block reached Logger32 " +
                                       Fixed((during->seconds - releasedAt) * 1000, 0) +
                                       " ms after the block ended"
                                 : "the change made during the block did not reach Logger32");
        const std::size_t readsAfter = log.Count(mark, [&](const Event& event) {
            return IsTickStart(event) && event.seconds > releasedAt;
        });
        Check(station.PontaraRunning() && readsAfter > 0,
              "after the block Pontara goes on (Timer2 ticks again), no box",
              std::to_string(readsAfter) + " ticks in 3 s");
        Check(during != nullptr, "nothing changed during the block is lost");
        CloseAndWait(station);
    }

    // (iv) Floods of registered messages and of changes of Sent.
    void Flood() {
        Heading("a flood of " + std::to_string(settings_.flood) + " code-100 messages and " +
                std::to_string(settings_.sentChanges) + " changes of Sent, twice");
        WineStation station(WineStation::Options{.startLogger32 = true,
                                                 .startMixW = true,
                                                 .launchPontara = false,
                                                 .traffic = {false, false}});
        Traffic& log = station.Log();
        PrepareMixW(station);
        station.LaunchPontara();
        if (!WaitUntilForwarding(station)) {
            Check(false, "Pontara forwards");
            return;
        }
        station.Pause(3000ms);
        const ProcessFigures start = station.PontaraFigures();
        Report("before: " + Memory(start));
        standin::Logger32StandIn& logger32 = station.Logger32();
        int spot = 0;
        for (int round = 1; round <= 2; ++round) {
            // Registered messages, posted as fast as the stand-in can.
            std::size_t mark = log.Mark();
            const double postStart = log.Now();
            int failedPosts = 0;
            std::int32_t hertz = 0;
            for (int message = 0; message < settings_.flood; ++message) {
                hertz = 14000000 + round * 100000 + message;
                failedPosts += logger32.ReportDialFrequency(hertz) ? 0 : 1;
            }
            char expected[32];
            std::snprintf(expected, sizeof expected, "%d.%03d", hertz / 1000, hertz % 1000);
            std::string seen;
            auto next = Clock::now();
            const bool shown = station.WaitUntil(
                [&] {
                    if (Clock::now() < next) {
                        return false;
                    }
                    next = Clock::now() + 100ms;
                    seen = station.FieldText(Field::Freq_logger32);
                    return seen == expected;
                },
                60000ms);
            Report("round " + std::to_string(round) + ": " + std::to_string(settings_.flood) +
                   " code-100 posts (" + std::to_string(failedPosts) + " refused by the queue), " +
                   "Freq_logger32 shows the last (" + seen + ") " +
                   Fixed(log.Now() - postStart, 2) + " s after the first post");
            Check(shown, "round " + std::to_string(round) +
                             ": the last dial frequency is shown, Pontara keeps up");

            // Changes of Sent: every one a new spot; only the last is acted on.
            mark = log.Mark();
            const double writeStart = log.Now();
            std::string lastCall;
            std::string lastFrequency;
            int writesFailed = 0;
            for (int change = 0; change < settings_.sentChanges; ++change) {
                ++spot;
                char call[8];
                std::snprintf(call, sizeof call, "F%04d", spot % 10000);
                char frequency[16];
                std::snprintf(frequency, sizeof frequency, "%05d.0", 10000 + spot % 90000);
                lastCall = call;
                lastFrequency = frequency;
                writesFailed += logger32.WriteSent(Token("APP_DXSPOT_CLICKED",
                                                         lastCall + "|" + lastFrequency + "|PSK31"),
                                                   5000ms)
                                    ? 0
                                    : 1;
            }
            const double writeEnd = log.Now();
            const std::string tune = "<ZFQ:" + lastFrequency + ">";
            const Event* acted = station.WaitForEvent(
                mark,
                [&](const Event& event) {
                    return event.kind == Kind::Call && event.member == "ExecuteMacros" &&
                           event.arguments == std::vector<std::string>{tune};
                },
                Soon);
            station.Pause(2000ms);
            const std::size_t tunes = log.Count(mark, [](const Event& event) {
                return event.kind == Kind::Call && event.member == "ExecuteMacros" &&
                       !event.arguments.empty() && event.arguments[0].starts_with("<ZFQ:");
            });
            const std::size_t code10 = log.Count(mark, [](const Event& event) {
                return event.kind == Kind::Code && event.code == logger32::ClusterWindow;
            });
            Report("round " + std::to_string(round) + ": " + std::to_string(settings_.sentChanges) +
                   " writes into Sent in " + Fixed(writeEnd - writeStart, 1) + " s (" +
                   std::to_string(writesFailed) + " not taken); code 10 came back " +
                   std::to_string(code10) + " times; MixW was tuned " + std::to_string(tunes) +
                   " time(s)");
            Check(
                acted != nullptr &&
                    log.Find(mark,
                             [&](const Event& event) {
                                 return event.kind == Kind::Call && event.member == "SetQsoData" &&
                                        event.arguments == std::vector<std::string>{"0", lastCall};
                             }) != nullptr,
                "round " + std::to_string(round) + ": the last spot (" + lastCall + ", " +
                    lastFrequency + ") is acted on");
            Check(code10 == static_cast<std::size_t>(settings_.sentChanges - writesFailed),
                  "round " + std::to_string(round) + ": code 10 once for every change of Sent");
            station.Pause(3000ms);
            Report("after round " + std::to_string(round) + ": " +
                   Memory(station.PontaraFigures()));
        }
        const ProcessFigures end = station.PontaraFigures();
        Check(station.PontaraRunning() && station.MessageBoxes().empty(),
              "no crash and no error box");
        const double growth =
            static_cast<double>(end.workingSet) - static_cast<double>(start.workingSet);
        Check(growth < 2e6,
              "no growth of memory: working set after both rounds within 2 MB of before",
              Fixed(growth / 1e6, 2) + " MB; peak " + Megabytes(start.peakWorkingSet) + " -> " +
                  Megabytes(end.peakWorkingSet));
        CloseAndWait(station);
    }

    // (v) A QSO change every second, every one counted at Logger32.
    void QsoChangeEverySecond() {
        Heading("a QSO change every second for " + std::to_string(settings_.soakSeconds) + " s");
        WineStation station(WineStation::Options{.startLogger32 = true,
                                                 .startMixW = true,
                                                 .launchPontara = false,
                                                 .traffic = {false, false}});
        Traffic& log = station.Log();
        PrepareMixW(station);
        station.LaunchPontara();
        if (!WaitUntilForwarding(station)) {
            Check(false, "Pontara forwards");
            return;
        }
        station.Pause(3000ms);
        const ProcessFigures start = station.PontaraFigures();
        const std::size_t mark = log.Mark();
        const Clock::time_point begin = Clock::now();
        int changes = 0;
        std::uint64_t largest = start.workingSet;  // sampled every 10 s
        for (int second = 1; second <= settings_.soakSeconds; ++second) {
            char name[16];
            std::snprintf(name, sizeof name, "K%05d", ++changes);
            station.MixW().Run([&](standin::MixWStandIn& mixw) {
                mixw.SetItem(u"QSO", u"Name", AsciiText(name));
            });
            station.WaitUntil([&] { return Clock::now() >= begin + std::chrono::seconds(second); },
                              2000ms);
            if (second % 10 == 0) {
                largest = std::max(largest, station.PontaraFigures().workingSet);
            }
            if (second % 300 == 0 && second < settings_.soakSeconds) {
                Print("    " + std::to_string(second) + " s of " +
                      std::to_string(settings_.soakSeconds) + ": " +
                      std::to_string(log.Count(mark, TextContains("<NAME:6>K"))) +
                      " records so far; " + Memory(station.PontaraFigures()));
            }
        }
        station.Pause(2000ms);
        const double wall = std::chrono::duration<double>(Clock::now() - begin).count();
        const ProcessFigures end = station.PontaraFigures();

        std::vector<int> received;
        for (const Event* event : log.FindAll(mark, TextContains("<NAME:6>K"))) {
            const std::size_t at = event->text.find("<NAME:6>K");
            received.push_back(std::atoi(event->text.c_str() + at + 9));
        }
        int outOfOrder = 0;
        for (std::size_t index = 1; index < received.size(); ++index) {
            outOfOrder += received[index] <= received[index - 1] ? 1 : 0;
        }
        std::set<int> distinct(received.begin(), received.end());
        std::string missing;
        int missingCount = 0;
        for (int change = 1; change <= changes; ++change) {
            if (!distinct.contains(change)) {
                ++missingCount;
                if (missingCount <= 10) {
                    missing += " K" + std::to_string(change);
                }
            }
        }
        Report(std::to_string(changes) + " changes in " + Fixed(wall, 0) +
               " s; Logger32 received " + std::to_string(received.size()) + " records, " +
               std::to_string(distinct.size()) + " distinct");
        Check(missingCount == 0, "every change arrived",
              missingCount == 0 ? "none missing"
                                : std::to_string(missingCount) + " missing:" + missing);
        Check(outOfOrder == 0 && received.size() == distinct.size(), "in order, each once",
              std::to_string(outOfOrder) + " out of order");
        if (start.cpuSeconds >= 0 && end.cpuSeconds >= 0) {
            Report("Pontara's processor time: " + Fixed(end.cpuSeconds - start.cpuSeconds, 2) +
                   " s = " + Fixed((end.cpuSeconds - start.cpuSeconds) / wall * 100, 3) + " %");
        }
        Report("memory at the start: " + Memory(start));
        Report("memory at the end:   " + Memory(end));
        Report("largest working set seen (every 10 s): " +
               Megabytes(std::max(largest, end.workingSet)));
        Check(station.PontaraRunning() && station.MessageBoxes().empty(),
              "Pontara runs on, no error box");
        CloseAndWait(station);
    }

    Settings settings_;
    std::string current_;
    std::vector<std::string> summary_;
};

}  // namespace
}  // namespace pontara::station

int main(int argc, char** argv) {
    pontara::station::Settings settings;
    for (int index = 1; index < argc; ++index) {
        const std::string name = argv[index];
        const bool hasValue = index + 1 < argc;
        if (name == "--only" && hasValue) {
            std::stringstream list(argv[++index]);
            std::string item;
            while (std::getline(list, item, ',')) {
                settings.only.insert(item);
            }
        } else if (name == "--soak-seconds" && hasValue) {
            settings.soakSeconds = std::atoi(argv[++index]);
        } else if (name == "--flood" && hasValue) {
            settings.flood = std::atoi(argv[++index]);
        } else if (name == "--sent-changes" && hasValue) {
            settings.sentChanges = std::atoi(argv[++index]);
        } else if (name == "--block-seconds" && hasValue) {
            settings.blockSeconds = std::atoi(argv[++index]);
        } else if (name == "--pictures" && hasValue) {
            settings.pictures = argv[++index];
            for (char& character : settings.pictures) {
                character = character == '/' ? '\\' : character;
            }
            CreateDirectoryA(settings.pictures.c_str(), nullptr);
        } else {
            std::fprintf(stderr,
                         "usage: StationSoak.exe [--only NAME[,NAME...]] [--soak-seconds S] "
                         "[--flood N] [--sent-changes N] [--block-seconds S] "
                         "[--pictures FOLDER]\n"
                         "  names: mixw-killed, logger32-restarted, logger32-blocked, flood, "
                         "soak\n");
            return 2;
        }
    }
    try {
        pontara::station::Soak soak(std::move(settings));
        // The number of failed checks, at most 99 (100 is an exception's).
        return std::min(soak.Run(), 99);
    } catch (const std::exception& error) {
        std::printf("StationSoak: %s\n", error.what());
        return 100;
    }
}
