#pragma once
// GDI resources of the windows: owned fonts, brushes and pens, stored colours resolved to
// screen colours, twips and points turned into pixels at a given DPI.
// Responsibilities: releasing every GDI object the windows create.
// Collaborations: used by the main window (ui/MainWindow_win.h), the splash (ui/Splash_win.h)
// and the design's fonts (ui/DesignFont_win.h).

#include <windows.h>

#include <memory>
#include <type_traits>

#include "platform/WindowControls.h"

namespace pontara {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using BrushHandle = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
using PenHandle = std::unique_ptr<std::remove_pointer_t<HPEN>, GdiObjectDeleter>;

// Selects an object into a device context for the life of the scope, then puts the previous
// one back (a DC must not be released or deleted holding one of our objects).
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The screen's device context, for measuring and realising fonts.
class ScreenDc {
  public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc() { ReleaseDC(nullptr, dc_); }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    operator HDC() const { return dc_; }

  private:
    HDC dc_;
};

// A stored colour as GDI takes it: 0x00BBGGRR as it is, or the system colour it names.
COLORREF ScreenColour(Colour colour);
BrushHandle SolidBrush(Colour colour);

// The DPI of the primary screen (the system DPI), which the windows are created with.
int SystemDpi();
// The DPI a window is shown at. Per-monitor aware, that is its screen's DPI now, which can differ
// from the system DPI (fixed at sign-in) once the operator changes the scale or the window lands
// on another screen. Windows before 10 version 1607 cannot say; there it is the system DPI.
int WindowDpi(HWND window);
// The outer size of a window of `style` whose client area is `client`, at `dpi`.
SIZE FrameSize(SIZE client, DWORD style, int dpi);
inline int TwipsToPixels(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

// A face as asked for, with no fallback (the splash's own lettering).
FontHandle CreatePlainFont(const wchar_t* face, int points, bool bold, int dpi);

}  // namespace pontara
