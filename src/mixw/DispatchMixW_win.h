#pragma once
// MixW's automation object reached through IDispatch, members called by name.
// Responsibilities: attaching to the running MixW and turning the bridge's calls into
// late-bound IDispatch calls with the argument types MixW expects (mixw/MixWAutomation.h).
// Collaborations: used by the Win32 host's AttachMixW; failures are PlatformErrors.

#include <memory>

#include "mixw/MixWAutomation.h"
#include "win32/ScopedCom_win.h"

namespace pontara {

// The object registered as active for mixw::ProgId (CLSIDFromProgID, GetActiveObject),
// or none when MixW is not running or has not registered it. COM must be initialised on the
// calling thread.
ComPtr<IDispatch> RunningMixWObject();
// MixW's members, called by name on `object`, from the thread whose apartment holds it.
std::unique_ptr<MixWAutomation> MixWThrough(ComPtr<IDispatch> object);
// Both: the running MixW's members, or none.
std::unique_ptr<MixWAutomation> AttachRunningMixW();

}  // namespace pontara
