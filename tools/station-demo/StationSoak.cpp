// StationSoak.exe: Pontara.exe on a long run, end to end, with the stand-ins around it: a QSO
// change in MixW every second, each of which must reach Logger32, in order and once, while
// Pontara's processor time and memory are followed. It reports what happened with figures; the
// checks that must hold (nothing lost, nothing twice, no error box) are PASS or FAIL and the
// exit code is the number that failed. The faults (MixW killed, Logger32 holding a text command,
// floods) are Windows tests of their own (tests/win).
//
// Command line: StationSoak.exe [--soak-seconds S]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "MixWStandIn.h"
#include "station/Checks.h"
#include "station/WineStation.h"

namespace pontara::station {
namespace {

using namespace std::chrono_literals;
using harness::Megabytes;
using harness::WineStation;

std::string Fixed(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Memory(const ProcessFigures& figures) {
    std::string text = "peak working set " + Megabytes(figures.peakWorkingSet) + ", working set " +
                       Megabytes(figures.workingSet) + ", private " +
                       Megabytes(figures.privateBytes);
    if (figures.residentAnonymous + figures.residentFiles > 0) {
        text += " (resident: own " + Megabytes(figures.residentAnonymous) + ", files " +
                Megabytes(figures.residentFiles) + ")";
    }
    return text;
}

// The names the soak gives MixW's QSO, "K00001" on: six characters, so that each record carries
// "<NAME:6>K" and the number after it.
constexpr const char* NameToken = "<NAME:6>K";

class Soak {
  public:
    explicit Soak(int seconds)
        : seconds_(seconds),
          station_(WineStation::Options{.launchPontara = false, .traffic = {false, false}}),
          log_(station_.Log()),
          checks_(log_) {}

    int Run() {
        log_.Heading("a QSO change every second for " + std::to_string(seconds_) + " s");
        station_.MixW().Run([](standin::MixWStandIn& mixw) {
            mixw.SetItem(u"QSO", u"Mode", u"BPSK31");
            mixw.SetItem(u"QSO", u"Call", u"Q1ABC");
            mixw.SetFrequency(14070000, 1500);
        });
        station_.LaunchPontara();
        if (checks_.Expect(
                station_.WaitForEvent(0, TextStartsWith("<APP_FORCE_FREQ:"), 30000ms) != nullptr,
                "Pontara forwards")) {
            ChangeEverySecond();
        }
        Close();
        return checks_.Summary("What the soak checked");
    }

  private:
    void Say(const std::string& line) { log_.Print("    " + line); }

    void ChangeEverySecond() {
        station_.Pause(3000ms);
        const ProcessFigures start = station_.PontaraFigures();
        const std::size_t mark = log_.Mark();
        const Clock::time_point begin = Clock::now();
        const std::uint64_t largest =
            std::max(start.workingSet, station_.RunSeconds(begin, seconds_, "K", [&](int second) {
                if (second % 300 == 0 && second < seconds_) {
                    Say(std::to_string(second) + " s of " + std::to_string(seconds_) + ": " +
                        std::to_string(log_.Count(mark, TextContains(NameToken))) +
                        " records so far; " + Memory(station_.PontaraFigures()));
                }
            }));
        station_.Pause(2000ms);
        const double wall = std::chrono::duration<double>(Clock::now() - begin).count();
        const ProcessFigures end = station_.PontaraFigures();

        std::vector<int> received;
        for (const Event* event : log_.FindAll(mark, TextContains(NameToken))) {
            const std::size_t at = event->text.find(NameToken);
            received.push_back(std::atoi(event->text.c_str() + at + std::strlen(NameToken)));
        }
        int outOfOrder = 0;
        for (std::size_t index = 1; index < received.size(); ++index) {
            outOfOrder += received[index] <= received[index - 1] ? 1 : 0;
        }
        const std::set<int> distinct(received.begin(), received.end());
        std::string missing;
        int missingCount = 0;
        for (int change = 1; change <= seconds_; ++change) {
            if (!distinct.contains(change)) {
                ++missingCount;
                if (missingCount <= 10) {
                    missing += " K" + std::to_string(change);
                }
            }
        }
        Say(std::to_string(seconds_) + " changes in " + Fixed(wall, 0) + " s; Logger32 received " +
            std::to_string(received.size()) + " records, " + std::to_string(distinct.size()) +
            " distinct");
        checks_.Expect(missingCount == 0, "every change arrived",
                       missingCount == 0 ? "none missing"
                                         : std::to_string(missingCount) + " missing:" + missing);
        checks_.Expect(outOfOrder == 0 && received.size() == distinct.size(), "in order, each once",
                       std::to_string(outOfOrder) + " out of order");
        if (start.cpuSeconds >= 0 && end.cpuSeconds >= 0) {
            Say("Pontara's processor time: " + Fixed(end.cpuSeconds - start.cpuSeconds, 2) +
                " s = " + Fixed((end.cpuSeconds - start.cpuSeconds) / wall * 100, 3) + " %");
        }
        Say("memory at the start: " + Memory(start));
        Say("memory at the end:   " + Memory(end));
        Say("largest working set seen (every 10 s): " +
            Megabytes(std::max(largest, end.workingSet)));
        checks_.Expect(station_.PontaraRunning() && station_.MessageBoxes().empty(),
                       "Pontara runs on, no error box");
    }

    // Closes Pontara as the operator would; kills it if it will not end.
    void Close() {
        if (!station_.PontaraRunning()) {
            return;
        }
        station_.Close();
        if (!station_.WaitUntil([&] { return !station_.PontaraRunning(); }, 20000ms)) {
            station_.Pontara().Kill();
        }
    }

    int seconds_;
    WineStation station_;
    Traffic& log_;
    Checks checks_;
};

}  // namespace
}  // namespace pontara::station

int main(int argc, char** argv) {
    int seconds = 1800;
    for (int index = 1; index < argc; ++index) {
        if (std::strcmp(argv[index], "--soak-seconds") == 0 && index + 1 < argc) {
            seconds = std::atoi(argv[++index]);
        } else {
            std::fprintf(stderr, "usage: StationSoak.exe [--soak-seconds S]\n");
            return 2;
        }
    }
    try {
        pontara::station::Soak soak(seconds);
        // The number of failed checks, at most 99 (100 is an exception's).
        return std::min(soak.Run(), 99);
    } catch (const std::exception& error) {
        std::printf("StationSoak: %s\n", error.what());
        return 100;
    }
}
