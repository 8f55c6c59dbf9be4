#pragma once
// Small helpers of the Windows side: UTF-16 text as the W functions take it and back, text in
// the system's ANSI code page, names compared as Windows compares them, window classes.

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
std::string ToAnsi(TextView text);
Text FromAnsi(std::string_view ansi);

// Names that compare without regard to case (ordinal), as DDEML's string handles and
// IDispatch's member names do.
bool SameName(TextView left, TextView right);

// Registers a window class; one already registered by this process is no failure. `what`
// names the window in the error.
void RegisterWindowClass(const WNDCLASSEXW& windowClass, TextView what);

}  // namespace pontara
