#include "ui/Splash_win.h"

#include "PontaraVersion.h"
#include "ui/WindowModel.h"
#include "win32/WinError_win.h"
#include "win32/WinUtil_win.h"

namespace pontara {

namespace {

constexpr wchar_t ClassName[] = L"PontaraSplash";
constexpr wchar_t Credit[] = L"Bridge between MixW and Logger32\nVersion " PONTARA_VERSION_TEXT;
constexpr wchar_t Starting[] = L"Starting\u2026";
constexpr int Width = 400;  // at 96 DPI
constexpr int Height = 200;

constexpr COLORREF SkyTop = RGB(255, 236, 214);
constexpr COLORREF SkyBottom = RGB(255, 192, 128);
constexpr COLORREF Steel = RGB(60, 70, 90);
constexpr COLORREF Wave = RGB(200, 40, 30);
constexpr COLORREF Ink = RGB(60, 40, 20);

COLORREF Blend(COLORREF from, COLORREF to, int step, int steps) {
    auto mix = [&](int a, int b) { return a + (b - a) * step / steps; };
    return RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
               mix(GetBValue(from), GetBValue(to)));
}

void Line(HDC dc, int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

}  // namespace

Splash::Splash(HINSTANCE instance)
    : dpi_(SystemDpi()),
      titleFont_(CreatePlainFont(L"Tahoma", 28, true, dpi_)),
      creditFont_(CreatePlainFont(L"Tahoma", 10, false, dpi_)) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.lpszClassName = ClassName;
    RegisterWindowClass(windowClass, u"splash window");
    const int width = Scaled(Width);
    const int height = Scaled(Height);
    // A tool window, so that the splash gets no button of its own on the taskbar.
    window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, ClassName, L"Form1",
                              WS_POPUP | WS_BORDER, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                              (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr,
                              nullptr, instance, this);
    if (window_ == nullptr) {
        throw LastSystemError(u"Creating the splash window");
    }
}

Splash::~Splash() {
    Destroy();
}

void Splash::Destroy() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
        window_ = nullptr;
    }
}

void Splash::Show() {
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
}

void Splash::Hide() {
    ShowWindow(window_, SW_HIDE);
}

LRESULT CALLBACK Splash::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* self = WindowOwner<const Splash>(window, message, lParam);
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // Paint covers every pixel.
        case WM_PAINT:
            if (self != nullptr) {
                PAINTSTRUCT paint;
                HDC dc = BeginPaint(window, &paint);
                self->Paint(dc);
                EndPaint(window, &paint);
                return 0;
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// An evening sky in bands, a Yagi on its mast sending waves out, and the lettering.
void Splash::Paint(HDC dc) const {
    RECT client;
    GetClientRect(window_, &client);
    constexpr int bands = 32;
    for (int band = 0; band < bands; ++band) {
        RECT strip{client.left, client.top + (client.bottom - client.top) * band / bands,
                   client.right, client.top + (client.bottom - client.top) * (band + 1) / bands};
        BrushHandle brush(CreateSolidBrush(Blend(SkyTop, SkyBottom, band, bands - 1)));
        FillRect(dc, &strip, brush.get());
    }

    const int mastX = Scaled(70);
    const int boomY = Scaled(60);
    {
        PenHandle steel(CreatePen(PS_SOLID, Scaled(3), Steel));
        SelectedObject pen(dc, steel.get());
        Line(dc, mastX, boomY, mastX, Scaled(185));                     // mast
        Line(dc, mastX - Scaled(25), Scaled(185), mastX, Scaled(120));  // guy wires
        Line(dc, mastX + Scaled(25), Scaled(185), mastX, Scaled(120));
        Line(dc, mastX - Scaled(45), boomY, mastX + Scaled(45), boomY);  // boom
        for (int element = 0; element < 4; ++element) {
            const int x = mastX - Scaled(40) + element * Scaled(26);
            const int half = Scaled(22 - element * 3);
            Line(dc, x, boomY - half, x, boomY + half);
        }
    }
    {
        PenHandle wave(CreatePen(PS_SOLID, Scaled(2), Wave));
        SelectedObject pen(dc, wave.get());
        SelectedObject hollow(dc, GetStockObject(NULL_BRUSH));
        const int centreX = mastX + Scaled(45);
        for (int ring = 1; ring <= 3; ++ring) {
            const int r = Scaled(12 * ring);
            Arc(dc, centreX - r, boomY - r, centreX + r, boomY + r, centreX + r, boomY + r,
                centreX + r, boomY - r);
        }
    }

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Ink);
    RECT text{Scaled(170), Scaled(30), client.right - Scaled(10), Scaled(90)};
    {
        SelectedObject font(dc, titleFont_.get());
        DrawTextW(dc, Wide(Text(window_model::Caption)), -1, &text,
                  DT_LEFT | DT_SINGLELINE | DT_VCENTER);
    }
    SelectedObject font(dc, creditFont_.get());
    text.top = Scaled(95);
    text.bottom = Scaled(140);
    DrawTextW(dc, Credit, -1, &text, DT_LEFT | DT_WORDBREAK);
    text.top = Scaled(160);
    text.bottom = Scaled(185);
    DrawTextW(dc, Starting, -1, &text, DT_LEFT | DT_SINGLELINE);
}

}  // namespace pontara
