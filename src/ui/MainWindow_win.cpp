#include "ui/MainWindow_win.h"

#include <string>

#include "ui/DesignFont_win.h"
#include "win32/WinError_win.h"
#include "win32/WinUtil_win.h"

namespace pontara {

namespace {

// A fixed single border: caption, system menu and minimise box, no sizing.
constexpr DWORD WindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

void RegisterMainClass(HINSTANCE instance, HICON icon, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hIconSm = icon;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.lpszClassName = MainWindowClass;
    RegisterWindowClass(windowClass, u"main window");
}

HWND CreateChild(HINSTANCE instance, HWND parent, const wchar_t* windowClass,
                 std::u16string_view text, DWORD style, DWORD extendedStyle, int id) {
    const std::u16string caption(text);
    HWND child = CreateWindowExW(extendedStyle, windowClass, Wide(caption), WS_CHILD | style, 0, 0,
                                 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 instance, nullptr);
    if (child == nullptr) {
        throw LastSystemError(u"Creating the control " + caption);
    }
    return child;
}

// Controls below the visible part of the client area are for the program, not the operator:
// they are left out of the Tab order.
DWORD TabStopIfVisible(const TwipRect& rect) {
    return rect.top < window_model::ClientHeightTwips() ? WS_TABSTOP : 0;
}

void Place(HWND control, const TwipRect& rect, int dpi, HFONT font) {
    MoveWindow(control, TwipsToPixels(rect.left, dpi), TwipsToPixels(rect.top, dpi),
               TwipsToPixels(rect.width, dpi), TwipsToPixels(rect.height, dpi), TRUE);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, HICON icon, MainWindowListener& listener)
    : listener_(listener), dpi_(SystemDpi()), windowBrush_(SolidBrush(window_model::Back)) {
    for (const FieldModel& field : window_model::Fields()) {
        if (field.back) {
            fieldBrushes_[static_cast<std::size_t>(field.field)] = SolidBrush(*field.back);
        }
    }
    for (const ButtonModel& button : window_model::Buttons()) {
        buttonBacks_[static_cast<std::size_t>(button.button)] =
            button.back.value_or(colours::ButtonFace);
    }

    RegisterMainClass(instance, icon, WindowProc);
    const std::u16string caption(window_model::Caption);
    // Not WS_VISIBLE: the start-up sequence shows the window when the splash ends.
    CreateWindowExW(0, MainWindowClass, Wide(caption), WindowStyle, 0, 0, 0, 0, nullptr, nullptr,
                    instance, this);
    if (window_ == nullptr) {
        throw LastSystemError(u"Creating the main window");
    }
    // Sized once it exists: only then does Windows say the DPI of the screen it is on.
    dpi_ = WindowDpi(window_);
    const SIZE frame = FrameSize({TwipsToPixels(window_model::ClientWidthTwips, dpi_),
                                  TwipsToPixels(window_model::ClientHeightTwips(), dpi_)},
                                 WindowStyle, dpi_);
    SetWindowPos(window_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - frame.cx) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - frame.cy) / 2, frame.cx, frame.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    CreateChildren(instance);
    ApplyDpi(dpi_);
}

MainWindow::~MainWindow() {
    Destroy();
}

void MainWindow::Destroy() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

void MainWindow::CreateChildren(HINSTANCE instance) {
    for (std::size_t i = 0; i < window_model::Labels().size(); ++i) {
        const LabelModel& label = window_model::Labels()[i];
        labels_.push_back(CreateChild(instance, window_, L"STATIC", label.caption,
                                      WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0,
                                      FirstLabelId + static_cast<int>(i)));
    }
    for (const FieldModel& field : window_model::Fields()) {
        const auto index = static_cast<std::size_t>(field.field);
        fields_[index] =
            CreateChild(instance, window_, L"EDIT", field.textAtCreation,
                        WS_VISIBLE | ES_LEFT | ES_AUTOHSCROLL | TabStopIfVisible(field.rect),
                        WS_EX_CLIENTEDGE, FirstFieldId + static_cast<int>(index));
    }
    for (const ButtonModel& button : window_model::Buttons()) {
        const auto index = static_cast<std::size_t>(button.button);
        // The rig buttons are owner-drawn: a standard push button paints itself in the
        // system's button face and cannot show a back colour.
        const DWORD kind = button.back ? BS_OWNERDRAW : BS_PUSHBUTTON;
        buttons_[index] = CreateChild(
            instance, window_, L"BUTTON", button.caption,
            WS_VISIBLE | kind | TabStopIfVisible(button.rect) | (button.enabled ? 0 : WS_DISABLED),
            0, FirstButtonId + static_cast<int>(index));
    }
}

// Fonts and positions for `dpi`. The new fonts are handed to the controls before the old
// ones are deleted: a control keeps using the font it was given and never copies it.
void MainWindow::ApplyDpi(int dpi) {
    FontHandle defaultFont = CreateDesignFont(Font::Default, dpi);
    FontHandle boldFont = CreateDesignFont(Font::Bold, dpi);
    FontHandle boldItalicFont = CreateDesignFont(Font::BoldItalic, dpi);
    defaultFont_.swap(defaultFont);
    boldFont_.swap(boldFont);
    boldItalicFont_.swap(boldItalicFont);
    dpi_ = dpi;
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        const LabelModel& label = window_model::Labels()[i];
        Place(labels_[i], label.rect, dpi, FontFor(label.font));
    }
    for (const FieldModel& field : window_model::Fields()) {
        Place(FieldWindow(field.field), field.rect, dpi, FontFor(field.font));
    }
    for (const ButtonModel& button : window_model::Buttons()) {
        Place(ButtonWindow(button.button), button.rect, dpi, FontFor(button.font));
    }
}

HFONT MainWindow::FontFor(Font font) const {
    switch (font) {
        case Font::Bold:
            return boldFont_.get();
        case Font::BoldItalic:
            return boldItalicFont_.get();
        case Font::Default:
            break;
    }
    return defaultFont_.get();
}

void MainWindow::SetBackColour(Button button, Colour colour) {
    buttonBacks_[static_cast<std::size_t>(button)] = colour;
    InvalidateRect(ButtonWindow(button), nullptr, TRUE);
}

void MainWindow::StartTimer(TimerId timer, int milliseconds) {
    // SetTimer with the id of a running timer replaces it, which restarts the count.
    if (SetTimer(window_, FirstTimerId + static_cast<UINT_PTR>(timer),
                 static_cast<UINT>(milliseconds), nullptr) == 0) {
        throw LastSystemError(u"Starting a timer");
    }
}

void MainWindow::StopTimer(TimerId timer) {
    // KillTimer does not take back a WM_TIMER already waiting in the queue; the host drops such
    // a tick of a stopped timer itself. Stopping a timer that is not running fails harmlessly.
    KillTimer(window_, FirstTimerId + static_cast<UINT_PTR>(timer));
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // WM_GETMINMAXINFO comes before WM_NCCREATE, when no owner is attached yet.
    auto* self = WindowOwner<MainWindow>(window, message, lParam);
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCCREATE) {
        self->window_ = window;
    }
    if (message == WM_NCDESTROY) {
        self->window_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(window_, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, windowBrush_.get());
            return 1;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            if (HBRUSH brush =
                    ColourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))) {
                return reinterpret_cast<LRESULT>(brush);
            }
            break;
        case WM_DRAWITEM:
            DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_COMMAND:
            Command(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_TIMER:
            if (wParam >= FirstTimerId && wParam < FirstTimerId + TimerCount) {
                listener_.TimerElapsed(static_cast<TimerId>(wParam - FirstTimerId));
            }
            return 0;
        case WM_CLOSE:
            listener_.CloseRequested();
            return 0;
        case WM_QUERYENDSESSION:
            return listener_.SessionEndQueried() ? TRUE : FALSE;
        case WM_ENDSESSION:
            if (wParam != FALSE) {
                listener_.SessionEnds((lParam & ENDSESSION_CLOSEAPP) != 0 ? SessionEnd::ThisProgram
                                                                          : SessionEnd::All);
            }
            return 0;
        case PostedWorkMessage:
            listener_.WorkArrived();
            return 0;
        case WM_DPICHANGED: {
            // Per-monitor DPI awareness: the window moved to a screen of another DPI. Windows
            // suggests the new frame; the controls and fonts follow the new DPI.
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            ApplyDpi(LOWORD(wParam));
            SetWindowPos(window_, nullptr, suggested.left, suggested.top,
                         suggested.right - suggested.left, suggested.bottom - suggested.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

// Back colours of the coloured fields (black text) and of the captions. Read-only or disabled
// edit fields ask with WM_CTLCOLORSTATIC instead of WM_CTLCOLOREDIT, so both are answered.
HBRUSH MainWindow::ColourControl(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    if (id >= FirstFieldId && id < FirstFieldId + FieldCount) {
        const Field field = static_cast<Field>(id - FirstFieldId);
        const auto& back = window_model::Of(field).back;
        if (!back) {
            return nullptr;
        }
        SetBkColor(dc, ScreenColour(*back));
        SetTextColor(dc, ScreenColour(colours::Black));
        return fieldBrushes_[static_cast<std::size_t>(field)].get();
    }
    if (id >= FirstLabelId && id < FirstLabelId + static_cast<int>(labels_.size())) {
        SetBkColor(dc, ScreenColour(window_model::Back));
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        return windowBrush_.get();
    }
    return nullptr;
}

// A rig button in its back colour: raised, sunken while pressed, with engraved grey text when
// disabled and a focus rectangle when it has the keyboard focus.
void MainWindow::DrawButton(const DRAWITEMSTRUCT& item) {
    const int id = static_cast<int>(item.CtlID);
    if (item.CtlType != ODT_BUTTON || id < FirstButtonId || id >= FirstButtonId + ButtonCount) {
        return;
    }
    const Button button = static_cast<Button>(id - FirstButtonId);
    HDC dc = item.hDC;
    RECT frame = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;

    BrushHandle back = SolidBrush(BackColour(button));
    FillRect(dc, &frame, back.get());
    DrawEdge(dc, &frame, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

    const Text caption = WindowText(item.hwndItem);
    SelectedObject font(dc, FontFor(window_model::Of(button).font));
    SetBkMode(dc, TRANSPARENT);
    RECT text = frame;
    if (pressed) {
        OffsetRect(&text, 1, 1);
    }
    constexpr UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (disabled) {
        RECT highlight = text;
        OffsetRect(&highlight, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        DrawTextW(dc, Wide(caption), -1, &highlight, format);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    } else {
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    }
    DrawTextW(dc, Wide(caption), -1, &text, format);
    if ((item.itemState & ODS_FOCUS) != 0) {
        RECT focus = frame;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(dc, &focus);
    }
}

void MainWindow::Command(int id, int code) {
    if (id >= FirstFieldId && id < FirstFieldId + FieldCount) {
        if (code == EN_CHANGE) {
            listener_.FieldEdited(static_cast<Field>(id - FirstFieldId));
        }
    } else if (id >= FirstButtonId && id < FirstButtonId + ButtonCount) {
        // An owner-drawn button turns a quick second click into BN_DOUBLECLICKED instead of a
        // second BN_CLICKED; both are presses of the button.
        if (code == BN_CLICKED || code == BN_DOUBLECLICKED) {
            listener_.ButtonPressed(static_cast<Button>(id - FirstButtonId));
        }
    }
}

}  // namespace pontara
