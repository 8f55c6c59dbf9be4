#pragma once
// Looking at another program's windows from outside, as Logger32 or a screen reader would:
// top-level windows of a process, child windows by control id or by their place in the window
// model, texts by WM_GETTEXT, sizes in pixels at the window's DPI.

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/WindowControls.h"
#include "ui/WindowModel.h"

namespace pontara::harness {

// Top-level windows owned by the process, hidden ones included.
std::vector<HWND> TopLevelWindowsOf(DWORD processId);
// The process's top-level window with this caption, or null.
HWND FindTopLevelWindow(DWORD processId, const std::string& caption);
// As FindTopLevelWindow, waiting (and dispatching) until it exists; null after `timeout`.
HWND WaitForTopLevelWindow(DWORD processId, const std::string& caption,
                           std::chrono::milliseconds timeout);
// Pontara's main window: the process's top-level window with the window model's caption.
HWND WaitForPontaraWindow(DWORD processId,
                          std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

// The caption of a top-level window (GetWindowText, which never waits on the owner).
std::string Caption(HWND window);
// A control's text through WM_GETTEXT, which the owner's thread answers; none when it does not
// answer within `timeout` (it may be blocked in a wait).
std::optional<std::string> ControlText(
    HWND control, std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));
std::string ClassName(HWND window);
bool HasStyle(HWND window, LONG style);
bool HasExtendedStyle(HWND window, LONG style);

// Pixels per logical inch of the screen (one screen under Wine and in the tests).
int ScreenDpi();
// A length in twips at `dpi`, rounded as the window's own layout rounds (to the nearest pixel).
int TwipsToPixels(int twips, int dpi);
SIZE ClientSize(HWND window);
// A child's window rectangle in its parent's client coordinates.
RECT RectInParent(HWND child);

// The direct child whose top-left corner lies within `tolerance` pixels of the model's, at the
// screen's DPI; the nearest if several do, null if none.
HWND ChildAt(HWND parent, const TwipRect& rect, int tolerance = 2);
HWND FieldAt(HWND mainWindow, Field field);  // by the field's place in the window model
HWND ButtonAt(HWND mainWindow, Button button);
HWND ChildById(HWND parent, int controlId);

// One line per direct child: control id, class, rectangle in the parent's client area, text.
// For failure messages.
std::string DescribeChildren(HWND parent);

}  // namespace pontara::harness
