#pragma once
// The main window's own members: the state that lives beside its controls for as long as the
// program runs. Every handler of the bridge reads and writes it on the one UI thread.

#include <memory>

#include "mixw/MixWAutomation.h"
#include "platform/Text.h"

namespace pontara {

struct MainWindowMembers {
    // Public members.
    std::unique_ptr<MixWAutomation> MixWApp;  // held from the attach until shutdown
    bool MixWIsLoaded = false;  // set around each attach attempt; stays set once attached
    Text DX_SPOT;               // scratch text of the spot-click handlers
    Text DX_SPOT1;              // the pending spot-click text, consumed by the Timer3 tick

    bool LinksOpen = false;
    bool MixWHasRig = false;
    bool Logger32HasRig = false;
    bool PacketUsb = false;

    // The QSO record last forwarded, extended by the time tokens of every logging since.
    Text QsoRecordText;

    // The attached MixW; a call without one fails as any automation call would.
    MixWAutomation& MixW() const;
};

}  // namespace pontara
