#pragma once
// From launch to the running bridge, and back out.
// Responsibilities: the load of the main window, the splash's end (Timer4), the start-up
// sequencer (Timer1: wait for Logger32, hook, connect, wait for MixW, start the bridge's timers,
// give the rig to MixW), the unload (asked first when QSOs are held for Logger32; rig back to
// MixW, unhook, codes 4 and 5, release) and the end of the Windows session.
// Collaborations: MessageLink for Logger32, RigOwnership for the handover, Logger32Watch for the
// held QSOs, the host's waits; the attached MixW is told about to a BusyListener.

#include "bridge/Logger32Watch.h"
#include "bridge/MainWindowMembers.h"
#include "bridge/RigOwnership.h"
#include "logger32/MessageLink.h"
#include "mixw/DeferringMixW.h"
#include "platform/Host.h"

namespace pontara {

// The sequencer's pause between the connect request to Logger32 and its first look for MixW.
inline constexpr int PauseBeforeMixW = 1000;
// The longest that MixW's port toggles may hold up the end of a session that closes this program
// alone.
inline constexpr int MixWPortsAtSessionEnd = 2000;

class Startup {
  public:
    Startup(Host& host, MainWindowMembers& members, logger32::MessageLink& link,
            bridge::RigOwnership& rig, bridge::Logger32Watch& watch, mixw::BusyListener& busy)
        : host_(host), members_(members), link_(link), rig_(rig), watch_(watch), busy_(busy) {}

    void Load();
    void Timer4Tick();
    void Timer1Tick();
    void Unload();
    // Whether the session may end now: not while QSOs are held for Logger32.
    bool QueryEndSession() const { return watch_.Held().empty(); }
    void EndSession(SessionEnd end);

  private:
    // Each returns false when the operator closed the window while it waited.
    bool WaitForLogger32();
    bool WaitForMixW();
    void StartBridge();
    // Logger32 has the rig and is there to be told that MixW takes it back.
    bool RigToHandBack() const;
    // Leaves once MixW has taken the calls put off for it (the port toggles of a busy MixW).
    void LeaveAfterMixWCalls();
    // Unhooks, says goodbye to a Logger32 that is there, and ends.
    void Leave();

    Host& host_;
    MainWindowMembers& members_;
    logger32::MessageLink& link_;
    bridge::RigOwnership& rig_;
    bridge::Logger32Watch& watch_;
    mixw::BusyListener& busy_;
    mixw::DeferringMixW* mixw_ = nullptr;  // MixWApp, while attached
    bool askingToClose_ = false;
    bool leaving_ = false;  // the unload has run up to its end and waits for MixW
};

}  // namespace pontara
