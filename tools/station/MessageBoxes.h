#pragma once
// Message boxes of another program: found by caption, read, and answered with OK, and the
// system's words that an error box quotes. Under Wine a box closed with WM_CLOSE returns
// IDCANCEL even when it has an OK button only, so it is answered with the OK button's command
// instead.

#include <windows.h>

#include <chrono>
#include <string>

namespace pontara::harness {

// A message box (dialog class "#32770") with this caption, waiting and dispatching until one
// exists; null after `timeout`.
HWND WaitForMessageBox(const std::string& caption, std::chrono::milliseconds timeout);
// The box's message (its static text, control id 0xFFFF).
std::string MessageBoxText(HWND box);
// Presses OK; false when the box did not take the command within `timeout`.
bool PressOk(HWND box, std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));
// The system's own words for an error code, as FormatMessage gives them, without the closing
// full stop and line end; empty when the system has none. An error box quotes them.
std::string SystemMessage(DWORD code);

}  // namespace pontara::harness
