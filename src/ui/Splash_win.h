#pragma once
// The splash window Form1: the program's name, a credit line and a drawn antenna, topmost for
// the first seconds of start-up.
// Responsibilities: creating, painting, showing and hiding the splash; it has no behaviour.
// Collaborations: owned by the Win32 host, which shows and hides it for the start-up sequence.

#include <windows.h>

#include "win32/Gdi_win.h"

namespace pontara {

class Splash {
  public:
    // Creates the window hidden, centred on the screen. Throws PlatformError on failure.
    explicit Splash(HINSTANCE instance);
    ~Splash();
    Splash(const Splash&) = delete;
    Splash& operator=(const Splash&) = delete;

    void Show();  // topmost and visible, painted at once
    void Hide();
    void Destroy();

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc) const;
    int Scaled(int pixels) const { return MulDiv(pixels, dpi_, 96); }

    HWND window_ = nullptr;
    int dpi_;
    FontHandle titleFont_;
    FontHandle creditFont_;
};

}  // namespace pontara
