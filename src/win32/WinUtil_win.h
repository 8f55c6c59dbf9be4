#pragma once
// Small helpers of the Windows side: UTF-16 text as the W functions take it and back, text in
// the system's ANSI code page, names compared as Windows compares them, window classes and the
// object a window works for.

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/Text.h"

namespace pontara {

// UTF-16 text as the W functions of Windows take it, and back.
inline const wchar_t* Wide(const Text& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline Text FromWide(const wchar_t* text, std::size_t length) {
    return Text(reinterpret_cast<const char16_t*>(text), length);
}

// A text in the system's ANSI code page and back, with the flags that code page takes
// (platform/AnsiCodePage.h). A conversion Windows refuses throws PlatformError.
// The whole text of a window (a field's text, a button's caption).
Text WindowText(HWND window);

std::string ToAnsi(TextView text);
Text FromAnsi(std::string_view ansi);

// Names that compare without regard to case (ordinal), as DDEML's string handles and
// IDispatch's member names do.
bool SameName(TextView left, TextView right);

// Registers a window class; one already registered by this process is no failure. `what`
// names the window in the error.
void RegisterWindowClass(const WNDCLASSEXW& windowClass, TextView what);

// The object a window procedure works for: the pointer CreateWindowEx was given, kept in the
// window's GWLP_USERDATA from WM_NCCREATE and let go at WM_NCDESTROY (which still returns it).
// Null for the messages before WM_NCCREATE, such as WM_GETMINMAXINFO. It serves ANSI windows as
// well: the slot is the same, and lpCreateParams leads both forms of CREATESTRUCT.
template <typename Owner>
Owner* WindowOwner(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(
                              reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    return owner;
}

}  // namespace pontara
