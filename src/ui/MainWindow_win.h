#pragma once
// The main window as a Win32 window: built from the window model (ui/WindowModel.h), painted
// in the design's colours and fonts, and reporting what happens to its controls.
// Responsibilities: the top-level window, its child controls, their fonts, colours and layout
// at the screen's DPI, the owner-drawn rig buttons, the timers' Win32 ids.
// Collaborations: owned by the Win32 host (win32host/Win32Host_win.h), which it tells about
// edits, clicks, timer ticks and close requests through MainWindowListener.

#include <windows.h>

#include <array>
#include <vector>

#include "platform/Host.h"
#include "platform/Text.h"
#include "platform/WindowControls.h"
#include "ui/WindowModel.h"
#include "win32/Gdi_win.h"

namespace pontara {

// The main window's class, by which a Pontara started beside a running one finds it
// (win32host/OneBridge_win.h).
inline constexpr wchar_t MainWindowClass[] = L"PontaraMainWindow";

// Control ids (GetDlgCtrlID of each child), stable for the life of the program, and timer ids
// (SetTimer on the main window): the first id plus the index in Field, Button,
// window_model::Labels() or TimerId. Ids 1 and 2 are not used by controls: the dialog manager
// sends IDOK and IDCANCEL for Enter and Escape.
inline constexpr int FirstFieldId = 100;
inline constexpr int FirstButtonId = 200;
inline constexpr int FirstLabelId = 300;
inline constexpr int FirstTimerId = 1;
// Posted by the host to itself: work the bridge put off, one message per piece (WorkArrived).
inline constexpr UINT PostedWorkMessage = WM_APP;

class MainWindowListener {
  public:
    // The edit control reported a change (EN_CHANGE); Win32 reports it even when the new
    // text equals the old one.
    virtual void FieldEdited(Field field) = 0;
    virtual void ButtonPressed(Button button) = 0;
    virtual void TimerElapsed(TimerId timer) = 0;
    // WM_CLOSE, whether from the caption's close box, the system menu, Alt+F4 or another
    // program. The window is not destroyed; the listener decides.
    virtual void CloseRequested() = 0;
    // WM_QUERYENDSESSION: whether the Windows session may end now.
    virtual bool SessionEndQueried() = 0;
    // WM_ENDSESSION for a session that ends; ENDSESSION_CLOSEAPP in lParam: for this program
    // alone.
    virtual void SessionEnds(SessionEnd end) = 0;
    // A PostedWorkMessage reached the window.
    virtual void WorkArrived() = 0;

  protected:
    ~MainWindowListener() = default;
};

class MainWindow {
  public:
    // Creates the window hidden, centred on the screen, with every control of the model.
    // Throws PlatformError when a window cannot be created.
    MainWindow(HINSTANCE instance, HICON icon, MainWindowListener& listener);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND Window() const { return window_; }
    HWND FieldWindow(Field field) const { return fields_[static_cast<std::size_t>(field)]; }
    HWND ButtonWindow(Button button) const { return buttons_[static_cast<std::size_t>(button)]; }

    // Shown by the owner-drawn rig buttons; CommandSend keeps the standard push-button look.
    Colour BackColour(Button button) const {
        return buttonBacks_[static_cast<std::size_t>(button)];
    }
    void SetBackColour(Button button, Colour colour);

    // Starting a running timer restarts its count.
    void StartTimer(TimerId timer, int milliseconds);
    void StopTimer(TimerId timer);

    void Destroy();

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void CreateChildren(HINSTANCE instance);
    void ApplyDpi(int dpi);
    HFONT FontFor(Font font) const;
    HBRUSH ColourControl(HDC dc, HWND control);
    void DrawButton(const DRAWITEMSTRUCT& item);
    void Command(int id, int code);

    MainWindowListener& listener_;
    HWND window_ = nullptr;
    std::array<HWND, FieldCount> fields_{};
    std::array<HWND, ButtonCount> buttons_{};
    std::vector<HWND> labels_;
    std::array<Colour, ButtonCount> buttonBacks_{};
    int dpi_;
    BrushHandle windowBrush_;
    std::array<BrushHandle, FieldCount> fieldBrushes_;
    FontHandle defaultFont_;
    FontHandle boldFont_;
    FontHandle boldItalicFont_;
};

}  // namespace pontara
