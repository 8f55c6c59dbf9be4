// StationMeasure.exe: what Pontara.exe costs and how closely it keeps its times, measured from
// outside on a running station (the Logger32 and MixW stand-ins in this program, Pontara.exe
// started by it). It prints each figure with the design value it is compared with; nothing
// here passes or fails.
//
//   start-up: launch and window creation to the connect request (Timer4 + Timer1), connect
//     request to MixW attached (the sequencer's pause), attached to the first Timer2 tick;
//   Timer2's period while MixW's frequency changes on every tick, between successive forwarded
//     frequency commands and between tick starts;
//   end-to-end latency from a change of a MixW item to Logger32's receipt of the record;
//   Timer3: a text written into Sent to Pontara's first call of MixW;
//   the pause after a QSO is logged: "Save" to the next Timer2 tick (the pause + Timer2);
//   an idle run and a busy run (a QSO change every second) while MixW owns the rig, and a
//   run at rest while Logger32 owns it (Timer2 stopped): processor time and memory.
//
// Command line: StationMeasure.exe [--latency-changes N] [--period-ticks N] [--spots N]
//               [--saves N] [--idle-seconds S] [--busy-seconds S] [--rest-seconds S]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Logger32StandIn.h"
#include "MixWStandIn.h"
#include "Statistics.h"
#include "app/Startup.h"
#include "bridge/QsoForwarding.h"
#include "bridge/QsoLogging.h"
#include "logger32/Logger32Protocol.h"
#include "mixw/MixWAutomation.h"
#include "station/MessageBoxes.h"
#include "station/Paths.h"
#include "station/WindowQueries.h"
#include "station/WineStation.h"
#include "ui/WindowModel.h"

namespace pontara::station {
namespace {

using namespace std::chrono_literals;
using harness::Megabytes;
using harness::WineStation;
using std::chrono::milliseconds;

constexpr milliseconds Soon = 10000ms;

// The design's times, as Pontara's own constants give them.
const int SplashTime = window_model::Of(TimerId::Timer4).interval;
using bridge::ForwardingInterval;
using window_model::SequencerDelay;
using window_model::SpotInterval;

std::string Design(int milliseconds) {
    return "design " + std::to_string(milliseconds) + " ms";
}

struct Settings {
    int latencyChanges = 60;
    int periodTicks = 60;
    int spots = 20;
    int saves = 5;
    int idleSeconds = 600;
    int busySeconds = 600;
    int restSeconds = 60;
};

// The command line's options, each setting one of the figures above.
struct Option {
    const char* name;
    int Settings::*setting;
    const char* value;  // as the usage names it: N a count, S seconds
};
// clang-format off
constexpr Option Options[] = {
    {"--latency-changes", &Settings::latencyChanges, "N"},
    {"--period-ticks",    &Settings::periodTicks,    "N"},
    {"--spots",           &Settings::spots,          "N"},
    {"--saves",           &Settings::saves,          "N"},
    {"--idle-seconds",    &Settings::idleSeconds,    "S"},
    {"--busy-seconds",    &Settings::busySeconds,    "S"},
    {"--rest-seconds",    &Settings::restSeconds,    "S"},
};
// clang-format on

std::vector<double> Intervals(const std::vector<const Event*>& events) {
    std::vector<double> intervals;
    for (std::size_t index = 1; index < events.size(); ++index) {
        intervals.push_back((events[index]->seconds - events[index - 1]->seconds) * 1000);
    }
    return intervals;
}

class Measure {
  public:
    explicit Measure(Settings settings)
        : settings_(settings),
          station_(WineStation::Options{.startLogger32 = true,
                                        .startMixW = true,
                                        .launchPontara = false,
                                        .traffic = {false, false}}),
          log_(station_.Log()) {}

    int Run() {
        Say("Pontara.exe: " + harness::PontaraPath());
        if (UnderWine()) {
            using Version = const char*(CDECL*)();
            // Through void(*)(): GetProcAddress's type says nothing of the function's own.
            auto version = reinterpret_cast<Version>(reinterpret_cast<void (*)()>(
                GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")));
            Say(std::string("under Wine ") + (version != nullptr ? version() : "?"));
        }
        ExecutableSize();
        if (!StartUp()) {
            Say("Pontara did not start up; nothing more to measure");
            return 1;
        }
        Timer2Period();
        Latency();
        SpotDeferral();
        LoggingPause();
        Cost(RunKind::Idle, settings_.idleSeconds);
        Cost(RunKind::Busy, settings_.busySeconds);
        Cost(RunKind::Rest, settings_.restSeconds);
        Close();
        Report();
        return 0;
    }

  private:
    void Say(const std::string& line) { log_.Print("  " + line); }

    void Row(const std::string& what, const std::string& value, const std::string& design) {
        char line[300];
        std::snprintf(line, sizeof line, "  %-58s %-34s %s", what.c_str(), value.c_str(),
                      design.c_str());
        rows_.push_back(line);
        log_.Print(line);
    }

    void Row(const std::string& what, const Summary& summary, double design,
             const std::string& designText) {
        char value[160];
        std::snprintf(value, sizeof value, "median %.0f ms (%.0f..%.0f, n=%zu)", summary.median,
                      summary.minimum, summary.maximum, summary.count);
        char deviation[240];
        std::snprintf(deviation, sizeof deviation,
                      "%s; median off by %+.0f ms, worst %.0f ms, %zu beyond 20 ms",
                      designText.c_str(), summary.median - design, summary.worstDeviation,
                      summary.outside);
        Row(what, value, deviation);
    }

    void ExecutableSize() {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (GetFileAttributesExA(harness::PontaraPath().c_str(), GetFileExInfoStandard, &data)) {
            const double bytes = static_cast<double>(data.nFileSizeLow) +
                                 static_cast<double>(data.nFileSizeHigh) * 4294967296.0;
            char value[64];
            std::snprintf(value, sizeof value, "%.0f bytes (%.0f KiB)", bytes, bytes / 1024);
            Row("Pontara.exe size", value, "target under 1 MB");
        }
    }

    bool StartUp() {
        log_.Heading("Start-up");
        station_.MixW().Run([](standin::MixWStandIn& mixw) {
            mixw.SetItem(u"QSO", u"Mode", u"BPSK31");
            mixw.SetItem(u"QSO", u"time", u"1412");
            mixw.SetFrequency(14070000, 1500);
        });
        station_.LaunchPontara();
        // The main window is created hidden; Timer4's tick shows it and starts Timer1.
        double windowSeen = -1;
        HWND window = nullptr;
        station_.WaitUntil(
            [&] {
                window = harness::FindTopLevelWindow(station_.Pontara().Id(),
                                                     AsciiOf(window_model::Caption));
                windowSeen = log_.Now();
                return window != nullptr;
            },
            15000ms);
        double windowShown = -1;
        station_.WaitUntil(
            [&] {
                windowShown = log_.Now();
                return window != nullptr && IsWindowVisible(window);
            },
            15000ms);
        const Event* request = station_.WaitForEvent(0, CodeIs(logger32::ConnectRequest), 30000ms);
        const Event* attached =
            station_.WaitForEvent(0, CodeIs(logger32::RigHandoverFirst), 30000ms);
        const Event* firstTick = station_.WaitForEvent(
            0, [](const Event& event) { return event.kind == Kind::Dde; }, Soon);
        if (request == nullptr || attached == nullptr || firstTick == nullptr) {
            return false;
        }
        Row("launch -> connect request", Milliseconds(request->seconds * 1000),
            Design(SplashTime + SequencerDelay) + " after the window's creation (Timer4 + Timer1)");
        if (window != nullptr) {
            Row("main window first seen -> connect request",
                Milliseconds((request->seconds - windowSeen) * 1000),
                Design(SplashTime + SequencerDelay) + " (Timer4 " + std::to_string(SplashTime) +
                    " + Timer1 " + std::to_string(SequencerDelay) + "); launch -> window " +
                    Milliseconds(windowSeen * 1000));
            Row("  main window first seen -> shown (Timer4's tick)",
                Milliseconds((windowShown - windowSeen) * 1000), Design(SplashTime));
            Row("  main window shown -> connect request (Timer1's tick)",
                Milliseconds((request->seconds - windowShown) * 1000),
                Design(SequencerDelay) + " + the sequencer's first steps");
        }
        Row("connect request -> MixW attached (rig codes)",
            Milliseconds((attached->seconds - request->seconds) * 1000),
            Design(PauseBeforeMixW) + " (the sequencer's pause) + the attach");
        Row("MixW attached -> first Timer2 tick (links opened)",
            Milliseconds((firstTick->seconds - attached->seconds) * 1000),
            Design(ForwardingInterval));

        // Start-up's own traffic: the frequency and the mode twice.
        station_.WaitForEvent(0, TextStartsWith("<APP_FORCE_MODE:"), Soon);
        station_.Pause(2500ms);
        const std::size_t mark = log_.Mark();
        station_.MixW().Run(
            [](standin::MixWStandIn& mixw) { mixw.SetItem(u"QSO", u"Call", u"Q1ABC"); });
        return station_.WaitForEvent(mark, TextStartsWith("<CALL:"), Soon) != nullptr;
    }

    // MixW's dial moves as soon as a frequency command has been seen, so that every tick finds
    // a new frequency and forwards it.
    void Timer2Period() {
        log_.Heading("Timer2's period");
        const std::size_t start = log_.Mark();
        double dial = 14070000;
        std::vector<const Event*> commands;
        std::size_t from = log_.Mark();
        station_.MixW().Run(
            [&](standin::MixWStandIn& mixw) { mixw.SetFrequency(dial += 10, 1500); });
        while (static_cast<int>(commands.size()) <= settings_.periodTicks) {
            const Event* command =
                station_.WaitForEvent(from, TextStartsWith("<APP_FORCE_FREQ:"), Soon);
            if (command == nullptr) {
                Say("no frequency command within 10 s; the period is measured on what came");
                break;
            }
            commands.push_back(command);
            from = log_.Mark();
            station_.MixW().Run(
                [&](standin::MixWStandIn& mixw) { mixw.SetFrequency(dial += 10, 1500); });
        }
        const std::vector<const Event*> ticks = log_.FindAll(start, IsTickStart);
        Row("Timer2: between successive forwarded frequency commands",
            Summarise(Intervals(commands), ForwardingInterval), ForwardingInterval,
            Design(ForwardingInterval));
        Row("Timer2: between tick starts (same run)",
            Summarise(Intervals(ticks), ForwardingInterval), ForwardingInterval,
            Design(ForwardingInterval));
        station_.Pause(2000ms);
    }

    void Latency() {
        log_.Heading("End-to-end latency");
        std::vector<double> latencies;
        std::vector<double> bridgeShares;
        unsigned phase = 12345;
        for (int change = 1; change <= settings_.latencyChanges; ++change) {
            char name[16];
            std::snprintf(name, sizeof name, "L%03d", change);
            const std::string expected = "<NAME:4>" + std::string(name);  // four characters
            const std::size_t mark = log_.Mark();
            const double changedAt = log_.Now();
            station_.MixW().Run([&](standin::MixWStandIn& mixw) {
                mixw.SetItem(u"QSO", u"Name", AsciiText(name));
            });
            const Event* received = station_.WaitForEvent(
                mark,
                [&](const Event& event) {
                    return event.kind == Kind::Text &&
                           event.text.find(expected) != std::string::npos;
                },
                Soon);
            if (received == nullptr) {
                Say("change " + std::string(name) + " never reached Logger32");
                continue;
            }
            latencies.push_back((received->seconds - changedAt) * 1000);
            const std::vector<const Event*> ticks = log_.FindAll(mark, IsTickStart);
            for (auto tick = ticks.rbegin(); tick != ticks.rend(); ++tick) {
                if ((*tick)->seconds <= received->seconds) {
                    bridgeShares.push_back((received->seconds - (*tick)->seconds) * 1000);
                    break;
                }
            }
            // The next change lands at another point of Timer2's period.
            phase = phase * 1103515245u + 12345u;
            station_.Pause(milliseconds(200 + (phase >> 8) % 900));
        }
        const Summary latency = Summarise(latencies);
        char value[160];
        std::snprintf(value, sizeof value, "median %.0f ms, worst %.0f ms (best %.0f, n=%zu)",
                      latency.median, latency.maximum, latency.minimum, latency.count);
        Row("MixW item changed -> Logger32 has the record", value,
            "expected: up to one Timer2 period (" + std::to_string(ForwardingInterval) +
                " ms) + delivery");
        const Summary share = Summarise(bridgeShares);
        std::snprintf(value, sizeof value, "median %.0f ms, worst %.0f ms (n=%zu)", share.median,
                      share.maximum, share.count);
        Row("  of which Timer2 tick start -> Logger32 has the record", value,
            "the bridge's own work and the delivery");
    }

    void SpotDeferral() {
        log_.Heading("Timer3");
        std::vector<double> deferrals;
        for (int spot = 1; spot <= settings_.spots; ++spot) {
            char call[16];
            std::snprintf(call, sizeof call, "S%04d", spot);
            const std::size_t mark = log_.Mark();
            // The call has five characters, the spot nineteen.
            station_.Logger32().WriteSent("<APP_DXSPOT_CLICKED:19>" + std::string(call) +
                                          "|14070.0|PSK31");
            const Event* firstCall = station_.WaitForEvent(
                mark,
                [](const Event& event) {
                    return event.kind == Kind::Call &&
                           event.member == RecordedName(mixw::Member::ExecuteMacros);
                },
                Soon);
            const Event* written =
                log_.Find(mark, [](const Event& event) { return event.kind == Kind::WriteSent; });
            if (written != nullptr && firstCall != nullptr) {
                deferrals.push_back((firstCall->seconds - written->seconds) * 1000);
            }
            station_.Pause(1500ms);
        }
        Row("Timer3: Sent written -> Pontara's first call of MixW",
            Summarise(deferrals, SpotInterval), SpotInterval, Design(SpotInterval));
    }

    void LoggingPause() {
        log_.Heading("The pause after logging");
        std::vector<double> pauses;
        for (int save = 1; save <= settings_.saves; ++save) {
            const std::size_t mark = log_.Mark();
            const double savedAt = log_.Now();
            station_.MixW().Run(
                [](standin::MixWStandIn& mixw) { mixw.SetItem(u"QSO", u"Command", u"Save"); });
            const Event* logged = station_.WaitForEvent(mark, TextStartsWith("<APP_LOGQSO:"), Soon);
            const Event* nextTick =
                logged == nullptr
                    ? nullptr
                    : station_.WaitForEvent(
                          mark,
                          [&](const Event& event) {
                              return IsTickStart(event) && event.seconds > logged->seconds;
                          },
                          Soon);
            if (nextTick != nullptr) {
                pauses.push_back((nextTick->seconds - savedAt) * 1000);
            }
            station_.Pause(1500ms);
        }
        constexpr int design = bridge::PauseAfterLogging + ForwardingInterval;
        Row("Save -> next Timer2 tick", Summarise(pauses, design), design,
            Design(design) + " (" + std::to_string(bridge::PauseAfterLogging) + " ms pause + " +
                std::to_string(ForwardingInterval) + " ms)");
    }

    enum class RunKind { Idle, Busy, Rest };

    // Idle: MixW owns the rig and nothing changes (Timer2 still reads MixW on every tick).
    // Busy: the same with a QSO change every second. Rest: Logger32 owns the rig, so Timer2
    // stands still and Pontara only waits for messages.
    void Cost(RunKind run, int seconds) {
        if (seconds <= 0) {
            return;
        }
        const bool busy = run == RunKind::Busy;
        const std::string kind = run == RunKind::Idle ? "idle" : busy ? "busy" : "rest";
        log_.Heading(std::string(run == RunKind::Idle ? "An idle run"
                                 : busy               ? "A busy run (a QSO change every second)"
                                        : "At rest (Logger32 owns the rig, Timer2 stopped)") +
                     ", " + std::to_string(seconds) + " s");
        if (run == RunKind::Rest) {
            const std::size_t handover = log_.Mark();
            station_.Click(Button::Command2);
            station_.WaitForEvent(handover, CodeIs(logger32::RigHandoverLast), Soon);
            station_.Pause(1000ms);
        }
        const ProcessFigures before = station_.PontaraFigures();
        const std::size_t mark = log_.Mark();
        const Clock::time_point start = Clock::now();
        // Under Wine the peak working set is Linux's VmHWM, which the kernel brings up to date
        // only now and then; the working set is also sampled every 10 s.
        const std::uint64_t largest = std::max(
            before.workingSet,
            station_.RunSeconds(start, seconds, busy ? "B" : "", [&](int second) {
                if (second % 60 == 0 && second < seconds) {
                    Say(kind + ": " + std::to_string(second) + " s of " + std::to_string(seconds));
                }
            }));
        station_.Pause(1500ms);  // the last change's record
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        const ProcessFigures after = station_.PontaraFigures();

        if (after.cpuSeconds >= 0 && before.cpuSeconds >= 0) {
            char value[120];
            const double used = after.cpuSeconds - before.cpuSeconds;
            std::snprintf(value, sizeof value, "%.2f s in %.0f s = %.3f %%", used, wall,
                          used / wall * 100);
            Row(kind + " run: Pontara's processor time", value,
                std::string(busy ? "target under 1 %" : "target under 0.1 %") + " (from " +
                    after.cpuSource + ")");
        } else {
            Row(kind + " run: Pontara's processor time", "not available", "");
        }
        Row(kind + " run: peak working set", Megabytes(after.peakWorkingSet),
            "target under 12 MB; at the start " + Megabytes(before.peakWorkingSet));
        Row(kind + " run: largest working set seen (every 10 s)",
            Megabytes(std::max(largest, after.workingSet)), "target under 12 MB");
        Row(kind + " run: working set / private bytes at the end",
            Megabytes(after.workingSet) + " / " + Megabytes(after.privateBytes),
            "at the start " + Megabytes(before.workingSet) + " / " +
                Megabytes(before.privateBytes));
        if (after.residentAnonymous + after.residentFiles > 0) {
            Row(kind + " run: resident at the end, own pages / mapped files",
                Megabytes(after.residentAnonymous) + " / " + Megabytes(after.residentFiles),
                "mapped files are Wine's DLLs and libraries, shared between Wine processes");
        }
        const std::vector<const Event*> ticks = log_.FindAll(mark, IsTickStart);
        if (run == RunKind::Rest) {
            Row("rest run: Timer2 ticks", std::to_string(ticks.size()), "design none");
            const std::size_t handover = log_.Mark();
            station_.Click(Button::Command1);
            if (HWND box = station_.WaitForMessageBox(Soon)) {
                harness::PressOk(box);
            }
            station_.WaitForEvent(handover, IsTickStart, Soon);
        } else {
            Row(kind + " run: Timer2 between tick starts",
                Summarise(Intervals(ticks), ForwardingInterval), ForwardingInterval,
                Design(ForwardingInterval));
        }
        if (busy) {
            const std::size_t records = log_.Count(mark, [](const Event& event) {
                return event.kind == Kind::Text &&
                       event.text.find("<NAME:6>B") != std::string::npos;
            });
            Row("busy run: QSO changes made / records received",
                std::to_string(seconds) + " / " + std::to_string(records), "");
        }
    }

    void Close() {
        log_.Heading("Closing");
        station_.Close();
        const bool ended = station_.WaitUntil([&] { return !station_.PontaraRunning(); }, 20000ms);
        Say(ended ? "Pontara.exe ended" : "Pontara.exe did not end within 20 s");
    }

    void Report() {
        log_.Print("");
        log_.Print("  == Pontara under measurement: all figures ==");
        for (const std::string& row : rows_) {
            log_.Print(row);
        }
    }

    Settings settings_;
    WineStation station_;
    Traffic& log_;
    std::vector<std::string> rows_;
};

}  // namespace
}  // namespace pontara::station

int main(int argc, char** argv) {
    using pontara::station::Option;
    using pontara::station::Options;
    pontara::station::Settings settings;
    for (int index = 1; index + 1 < argc; index += 2) {
        const std::string name = argv[index];
        const int value = std::atoi(argv[index + 1]);
        const auto* option = std::ranges::find(Options, name, &Option::name);
        if (option == std::end(Options)) {
            std::string usage = "usage: StationMeasure.exe";
            for (const Option& each : Options) {
                usage += std::string(" [") + each.name + " " + each.value + "]";
            }
            std::fprintf(stderr, "%s\n", usage.c_str());
            return 2;
        }
        settings.*(option->setting) = value;
    }
    if (argc % 2 == 0) {
        std::fprintf(stderr, "StationMeasure: every option takes a value\n");
        return 2;
    }
    try {
        pontara::station::Measure measure(settings);
        return measure.Run();
    } catch (const std::exception& error) {
        std::printf("StationMeasure: %s\n", error.what());
        return 100;
    }
}
