#pragma once
// The Windows tests' station: the real Pontara.exe under Wine between Logger32's stand-in on the
// test thread and MixW's stand-in on a thread of its own (tests/native's SimulatedStation is the
// same station on the simulated host, in virtual time).
// Responsibilities: starting the three, putting what each stand-in recorded on one clock
// (milliseconds since the station was set up), the waits most tests share, and printing
// measured times. Collaborations: tools/logger32-sim (Logger32StandIn.h), tools/mixw-sim
// (StandInThread.h), station/ChildProcess.h, station/WindowQueries.h.
//
// The test thread owns Logger32's stand-in, so waits must dispatch its messages (station/Pump.h);
// a test that blocks its thread otherwise stalls Logger32, and with it Pontara's deliveries.

#include <windows.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Logger32StandIn.h"
#include "StandInThread.h"
#include "platform/Text.h"
#include "station/ChildProcess.h"
#include "ui/Controls.h"

namespace pontara::harness {

// Milliseconds since the station was set up.
using StationTime = std::int64_t;

// One thing a stand-in received, compacted: at Logger32 "code <code> <lParam>" (with " sent"
// when it was sent, not posted) or "text <the text>" (the bytes Logger32 got); at MixW
// "ExecuteMacros <macro>", "SetQsoData <index> <text>" (a UTF-16 unit outside ASCII written
// "\uXXXX"), or the transcript's event as it stands.
struct Arrival {
    StationTime at;
    std::string what;
};

class WineStation {
  public:
    struct Options {
        bool startLogger32 = true;  // Logger32 runs when Pontara is launched
        bool startMixW = true;      // MixW runs when Pontara is launched
        // Non-empty: the stand-ins' transcripts go to test-artifacts/<name>-logger32.txt and
        // <name>-mixw.txt, replacing those of an earlier run.
        std::string artifactName;
    };

    // Where each stand-in's transcript stood at a moment, to read what came after it.
    struct Mark {
        std::size_t logger32 = 0;
        std::size_t mixw = 0;
    };

    // Starts the peers that run at launch, then Pontara.exe, and waits up to 10 s for its main
    // window.
    WineStation();
    explicit WineStation(Options options);
    // Pontara is killed first when it still runs, so that no stand-in goes from under it.
    ~WineStation();
    WineStation(const WineStation&) = delete;
    WineStation& operator=(const WineStation&) = delete;

    // A peer that did not run at launch starts now.
    void StartLogger32();
    void StartMixW();
    // Logger32 closes: its windows are destroyed. Its transcript goes with it.
    void StopLogger32() { logger32_.reset(); }
    // MixW quits: its object disconnects its clients and its DDE service ends. Its transcript
    // goes with it.
    void StopMixW() { mixw_.reset(); }

    standin::Logger32StandIn& Logger32() { return *logger32_; }
    standin::StandInThread& MixW() { return *mixw_; }
    ChildProcess& Pontara() { return *pontara_; }
    HWND MainWindow() const { return mainWindow_; }

    HWND FieldWindow(Field field) const;
    HWND ButtonWindow(Button button) const;
    // Texts by WM_GETTEXT; "<no answer>" when Pontara does not answer in time.
    std::string FieldText(Field field) const;
    std::string Caption(Button button) const;

    // Until the start is over and forwarding runs: the rig handed to MixW (its last code) and
    // the thirteen advise links opened by the first Timer2 tick.
    bool WaitUntilRunning(std::chrono::milliseconds timeout = std::chrono::milliseconds(15000));

    StationTime Now() const;
    StationTime ToStationTime(std::chrono::steady_clock::time_point time) const;

    Mark MarkNow() const;
    std::vector<Arrival> AtLogger32Since(const Mark& mark) const;
    std::vector<std::string> Logger32CodesSince(const Mark& mark) const;
    std::vector<std::string> Logger32TextsSince(const Mark& mark) const;
    std::vector<Arrival> AtMixWSince(const Mark& mark) const;
    // Only the calls that change MixW (its macros and SetQsoData).
    std::vector<Arrival> MixWCallArrivalsSince(const Mark& mark) const;
    std::vector<std::string> MixWCallsSince(const Mark& mark) const;

    // The operator in MixW: an item of the QSO entry or the CAT topic, or the dial.
    void MixWSets(TextView topic, TextView item, const Text& value);
    void MixWTunes(double fqA, double audioFq);
    // The operator in Pontara.
    void Click(Button button) const;
    void Close() const;

  private:
    Options options_;
    std::chrono::steady_clock::time_point start_;
    std::unique_ptr<standin::Logger32StandIn> logger32_;
    std::unique_ptr<standin::StandInThread> mixw_;
    std::optional<ChildProcess> pontara_;
    HWND mainWindow_ = nullptr;
};

// One arrival a line, "<at> <what>", for failure messages.
std::string Listed(const std::vector<Arrival>& arrivals);

// Prints "MEASURE <name> <value>" on a line of its own, at once, for the run's report.
void Measure(const std::string& name, std::int64_t value);

}  // namespace pontara::harness
