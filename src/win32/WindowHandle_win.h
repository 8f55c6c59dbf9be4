#pragma once
// Window handles as the bridge carries them (32 bits, as in Logger32's lParam) and as Win32
// takes them.
//
// 64-bit Windows keeps window handles within 32 significant bits so that 32-bit and 64-bit
// programs can exchange them; the upper half of an HWND is the sign extension of the lower.
// Truncating keeps all of it, and widening must sign-extend (through int32), not zero-extend,
// or handles such as HWND_TOPMOST (-1) and any handle with the top bit set come out wrong.

#include <windows.h>

#include <cstdint>

#include "platform/Host.h"

namespace pontara {

inline WindowHandle HandleOf(HWND window) {
    return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window));
}

inline HWND HwndOf(WindowHandle window) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(window)));
}

}  // namespace pontara
