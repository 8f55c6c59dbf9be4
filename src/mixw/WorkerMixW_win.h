#pragma once
// MixW's calls made from a thread of their own.
// Responsibilities: handing MixW's object to a new thread with an apartment of its own, making
// the calls there, and waiting for them no longer than a bound.
// Collaborations: the Win32 host's CallMixWFromWorker; mixw/DispatchMixW_win.h calls the members.
//
// Windows' COM refuses a call out of a thread that handles a message another process sent
// (RPC_E_CANTCALLOUT_ININPUTSYNCCALL), as the end of the session is. Another thread handles no
// such message: the object is marshalled to it (CoMarshalInterThreadInterfaceInStream, then
// CoGetInterfaceAndReleaseStream there), and it calls MixW through its own proxy, without the
// waiting thread. Under Wine the call would go through on the waiting thread as well.

#include <windows.h>
// These need the types of windows.h.
#include <oleauto.h>

#include <functional>

#include "mixw/MixWAutomation.h"

namespace pontara {

// Makes `calls` on `object` from a new thread and waits at most `milliseconds` for them, taking
// no message meanwhile. A thread still calling then is left to run until the process ends.
// Failures are not reported.
void CallMixWFromWorker(IDispatch* object, std::function<void(MixWAutomation&)> calls,
                        DWORD milliseconds);

}  // namespace pontara
