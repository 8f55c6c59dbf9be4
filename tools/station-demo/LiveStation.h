#pragma once
// The station programs' station, whose traffic is printed live as it happens: the real
// Pontara.exe, started by this program, with the Logger32 stand-in (windows of this thread) and
// the MixW stand-in (a thread of its own) around it.
// Responsibilities: starting and stopping the three, waiting while the stand-ins answer and the
// traffic is printed, looking at and operating Pontara's window from outside as the operator
// would (texts, buttons, message boxes, closing), pictures of its windows, and its memory and
// processor time. Collaborations: Traffic.h (the timeline), tools/station (child processes,
// pumping, window queries, message boxes), the stand-ins of tools/logger32-sim and
// tools/mixw-sim. Everything here runs on the thread that created the station.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "station/ChildProcess.h"
#include "station/ProcessFigures.h"
#include "station/Traffic.h"
#include "ui/Controls.h"

namespace pontara::standin {
class Logger32StandIn;
class MixWStandIn;
class StandInThread;
}  // namespace pontara::standin

namespace pontara::station {

using std::chrono::milliseconds;

// The caption of Pontara's main window and of its message boxes.
inline constexpr const char* PontaraCaption = "Pontara";

class LiveStation {
  public:
    struct Options {
        bool logger32 = true;  // the Logger32 stand-in, in this process on this thread
        bool mixw = true;      // the MixW stand-in, in this process on a thread of its own
        Traffic::Options traffic;
    };

    explicit LiveStation(Options options);
    ~LiveStation();
    LiveStation(const LiveStation&) = delete;
    LiveStation& operator=(const LiveStation&) = delete;

    Traffic& Log() { return traffic_; }
    bool HasLogger32() const { return logger32_ != nullptr; }
    standin::Logger32StandIn& Logger32();

    // Runs `script` on the MixW stand-in's thread and returns when it has.
    void MixW(const std::function<void(standin::MixWStandIn&)>& script);
    // The operator's actions in MixW, noted in the traffic. An item of the QSO entry by its
    // DDE name ("Call", "RstSnt", "Command"; "khz" is the CAT topic's), the dial, a QSO-data
    // item that has no DDE item (19, the locator; 13, the state).
    void SetMixWItem(std::u16string_view item, const std::string& value);
    void SetMixWDial(double fqA, double audioFq);
    void SetMixWQsoData(std::int16_t index, const std::string& value);

    // Starts Pontara.exe (beside this program); time zero of the traffic.
    void LaunchPontara();
    harness::ChildProcess& Pontara() { return *pontara_; }
    bool PontaraRunning() const;
    // Pontara's main window, once it exists (waits for it up to `timeout`).
    HWND MainWindow(milliseconds timeout = milliseconds(15000));
    ProcessFigures PontaraFigures();

    // Waits, dispatching this thread's messages and printing the traffic, until `done` holds;
    // whether it did within `timeout`.
    bool WaitUntil(const std::function<bool()>& done, milliseconds timeout);
    void Pause(milliseconds duration);
    // The first event at or after `from` that satisfies `match`, waiting for it; null after
    // `timeout`.
    const Event* WaitForEvent(std::size_t from, const std::function<bool(const Event&)>& match,
                              milliseconds timeout);

    // Pontara's window from outside. Texts are read with WM_GETTEXT, which Pontara's thread
    // answers; none when it does not answer within a second or two (it may be in a wait).
    std::optional<std::string> FieldText(Field field);
    std::optional<std::string> ButtonCaption(Button button);
    bool ButtonEnabled(Button button);
    HWND FieldWindow(Field field);
    // Posts BM_CLICK to the real button, as a click of the operator would press it.
    bool Click(Button button);
    // Posts WM_CLOSE to the main window, as the window's close box does.
    bool Close();
    // Pontara's message boxes now on the screen (dialogs of its process).
    std::vector<HWND> MessageBoxes() const;
    HWND WaitForMessageBox(milliseconds timeout);

    // A picture of the screen under Pontara's visible windows, splash and message boxes
    // included, as a 24-bit BMP.
    bool SaveShot(const std::string& path);

  private:
    Options options_;
    Traffic traffic_;  // first: the stand-ins report into it until they are gone
    std::unique_ptr<standin::Logger32StandIn> logger32_;
    std::unique_ptr<standin::StandInThread> mixw_;
    std::optional<harness::ChildProcess> pontara_;
    std::string marker_;
    std::unique_ptr<ProcessMeter> meter_;
    HWND mainWindow_ = nullptr;
};

// Formats a byte count as "12.3 MB" (10^6 bytes).
std::string Megabytes(std::uint64_t bytes);

}  // namespace pontara::station
