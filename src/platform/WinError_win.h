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

// UTF-16 text as the W functions of Windows take it, and back.
inline const wchar_t* Wide(const Text& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline Text FromWide(const wchar_t* text, std::size_t length) {
    return Text(reinterpret_cast<const char16_t*>(text), length);
}

}  // namespace pontara
