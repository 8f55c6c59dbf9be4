#pragma once
// From launch to the running bridge, and back out.
// Responsibilities: the load of the main window, the splash's end (Timer4), the start-up
// sequencer (Timer1: wait for Logger32, hook, connect, wait for MixW, start the bridge's timers,
// give the rig to MixW) and the unload (rig back to MixW, unhook, codes 4 and 5, release).
// Collaborations: MessageLink for Logger32, RigOwnership for the handover, the host's waits.

#include "bridge/MainWindowMembers.h"
#include "bridge/RigOwnership.h"
#include "logger32/MessageLink.h"
#include "platform/Host.h"

namespace pontara {

class Startup {
  public:
    Startup(Host& host, MainWindowMembers& members, logger32::MessageLink& link,
            bridge::RigOwnership& rig)
        : host_(host), members_(members), link_(link), rig_(rig) {}

    void Load();
    void Timer4Tick();
    void Timer1Tick();
    void Unload();

  private:
    // Each returns false when the operator closed the window while it waited.
    bool WaitForLogger32();
    bool WaitForMixW();
    void StartBridge();

    Host& host_;
    MainWindowMembers& members_;
    logger32::MessageLink& link_;
    bridge::RigOwnership& rig_;
};

}  // namespace pontara
