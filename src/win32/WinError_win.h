#pragma once
// The one way the Windows side reports a failure: what was attempted, the system's code and
// the system's message for it, as a PlatformError.

#include <windows.h>

#include "platform/PlatformError.h"

namespace pontara {

// The calling thread's last error (GetLastError).
PlatformError LastSystemError(const Text& attempted);
// A COM or automation failure; `description` (an EXCEPINFO text, say) replaces the system's
// message when it is not empty.
PlatformError ComError(const Text& attempted, HRESULT result, const Text& description = {});

}  // namespace pontara
