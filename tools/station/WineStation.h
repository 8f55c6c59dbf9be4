#pragma once
// The station under Wine: the real Pontara.exe between Logger32's stand-in, whose windows live on
// the thread that made the station, and MixW's stand-in on a thread of its own (tests/native's
// SimulatedStation is the same station on the simulated host, in virtual time). The end-to-end
// tests and the station programs (tools/station-demo) use it alike.
// Responsibilities: starting and stopping the three; one timeline of what the stand-ins
// recorded (Traffic), printed as it happens when asked; what each stand-in received since a
// mark, compacted for exact comparisons; the waits most users share; looking at and operating
// Pontara's window from outside as the operator would (texts, buttons, message boxes, closing),
// pictures of its windows, and its memory and processor time. Collaborations: tools/logger32-sim
// (Logger32StandIn.h), tools/mixw-sim (StandInThread.h), station/Traffic.h,
// station/ChildProcess.h, station/WindowQueries.h, station/ProcessFigures.h.
//
// The thread that made the station owns Logger32's stand-in, so waits must dispatch its messages
// (WaitUntil, station/Pump.h); blocking that thread otherwise stalls Logger32, and with it
// Pontara's deliveries.

#include <windows.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Logger32StandIn.h"
#include "StandInThread.h"
#include "platform/Text.h"
#include "platform/WindowControls.h"
#include "station/ChildProcess.h"
#include "station/ProcessFigures.h"
#include "station/Traffic.h"

namespace pontara::harness {

using std::chrono::milliseconds;

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
        bool launchPontara = true;  // Pontara starts with the station; else at LaunchPontara()
        // Non-empty: the stand-ins' transcripts go to test-artifacts/<name>-logger32.txt and
        // <name>-mixw.txt, replacing those of an earlier run.
        std::string artifactName = {};
        station::Traffic::Options traffic = {};
    };

    // Where each stand-in's transcript stood at a moment, to read what came after it.
    struct Mark {
        std::size_t logger32 = 0;
        std::size_t mixw = 0;
    };

    // Starts the peers that run at launch, then, unless told otherwise, Pontara.exe, and waits
    // for its main window.
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
    bool HasLogger32() const { return logger32_ != nullptr; }
    standin::StandInThread& MixW() { return *mixw_; }

    // Starts Pontara.exe; time zero of the traffic.
    void LaunchPontara();
    ChildProcess& Pontara() { return *pontara_; }
    bool PontaraRunning() const;
    // Pontara's main window, once it exists and has its controls (waits for it up to 15 s).
    HWND MainWindow();
    station::ProcessFigures PontaraFigures();

    // The timeline of both stand-ins' records, timed from Pontara's launch.
    station::Traffic& Log() { return traffic_; }

    // Waits, dispatching this thread's messages and taking in the traffic, until `done` holds;
    // whether it did within `timeout`.
    bool WaitUntil(const std::function<bool()>& done, milliseconds timeout);
    void Pause(milliseconds duration);
    // A long run as the soak and the measurements make it, a second at a time from `begin` for
    // `seconds` seconds. At each second's start, unless `namePrefix` is empty, the operator in
    // MixW types the QSO's Name "<namePrefix><the second in five digits>" ("K00001"), which the
    // traffic does not note (a flood); then the station waits for the second's end, looks at
    // Pontara's working set every tenth second and calls `afterSecond(second)`. The largest
    // working set it saw; 0 in a run shorter than 10 s.
    std::uint64_t RunSeconds(std::chrono::steady_clock::time_point begin, int seconds,
                             const std::string& namePrefix,
                             const std::function<void(int second)>& afterSecond);
    // The first event of the traffic at or after `from` that satisfies `match`, waiting for it;
    // null after `timeout`.
    const station::Event* WaitForEvent(std::size_t from, const station::Match& match,
                                       milliseconds timeout);
    // Until the start is over and forwarding runs: the rig handed to MixW (its last code) and
    // the thirteen advise links opened by the first Timer2 tick.
    bool WaitUntilRunning(milliseconds timeout = milliseconds(15000));

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

    // The operator in MixW, noted in the traffic: an item of the QSO entry or the CAT topic, the
    // dial, a QSO-data item that has no DDE item (19, the locator; 13, the state).
    void MixWSets(TextView topic, TextView item, const Text& value);
    void MixWTunes(double fqA, double audioFq);
    void MixWSetsQsoData(std::int16_t index, const Text& value);

    // Pontara's window from outside, once MainWindow() has found it. Texts by WM_GETTEXT, which
    // Pontara's thread answers; "<no answer>" when it does not answer within 5 s (it may be in a
    // wait).
    HWND FieldWindow(Field field) const;
    HWND ButtonWindow(Button button) const;
    std::string FieldText(Field field);
    std::string Caption(Button button);
    bool ButtonEnabled(Button button);
    // Waits until a field's text or a button's caption reads `expected`, looking every quarter
    // second; what it read last.
    std::string WaitForFieldText(Field field, const std::string& expected, milliseconds timeout);
    std::string WaitForCaption(Button button, const std::string& expected, milliseconds timeout);
    // The operator in Pontara, noted in the traffic: BM_CLICK to the real button, WM_CLOSE to the
    // main window as its close box sends. Whether the message was posted.
    bool Click(Button button);
    bool Close();
    // Another program closing Pontara as Task Manager's "End task" does: WM_CLOSE sent from
    // another thread, which goes on waiting for the answer while this one pumps.
    void SendClose();
    // Windows ending the session: WM_QUERYENDSESSION and, when Pontara agrees, WM_ENDSESSION,
    // each sent from another thread as Windows sends them from another process; with
    // `closesOnlyPontara`, both carry ENDSESSION_CLOSEAPP, as the Restart Manager sends them to
    // close Pontara alone. Pontara's answer to the first; none when it gave none within 10 s.
    std::optional<bool> EndSession(bool closesOnlyPontara = false);
    // Pontara's message boxes now on the screen (dialogs of its process).
    std::vector<HWND> MessageBoxes() const;
    HWND WaitForMessageBox(milliseconds timeout);

    // A picture of the screen under Pontara's visible windows, splash and message boxes
    // included, as a 24-bit BMP.
    bool SaveShot(const std::string& path);

  private:
    std::string WaitForText(const std::function<std::string()>& read, const std::string& expected,
                            milliseconds timeout);

    Options options_;
    std::chrono::steady_clock::time_point start_;
    station::Traffic traffic_;  // before the stand-ins: they report into it until they are gone
    std::unique_ptr<standin::Logger32StandIn> logger32_;
    std::unique_ptr<standin::StandInThread> mixw_;
    std::optional<ChildProcess> pontara_;
    std::unique_ptr<station::ProcessMeter> meter_;
    HWND mainWindow_ = nullptr;
    std::vector<std::thread> senders_;  // SendClose's, joined at the end
};

// One arrival a line, "<at> <what>", for failure messages.
std::string Listed(const std::vector<Arrival>& arrivals);

// Prints "MEASURE <name> <value>" on a line of its own, at once, for the run's report.
void Measure(const std::string& name, std::int64_t value);

// Formats a byte count as "12.3 MB" (10^6 bytes).
std::string Megabytes(std::uint64_t bytes);

}  // namespace pontara::harness
