#include "win32/Gdi_win.h"

namespace pontara {

COLORREF ScreenColour(Colour colour) {
    if (IsSystemColour(colour)) {
        return GetSysColor(static_cast<int>(colour & 0xFFu));
    }
    return static_cast<COLORREF>(colour & 0x00FFFFFFu);
}

BrushHandle SolidBrush(Colour colour) {
    return BrushHandle(CreateSolidBrush(ScreenColour(colour)));
}

int SystemDpi() {
    ScreenDc screen;
    return GetDeviceCaps(screen, LOGPIXELSY);
}

namespace {

// User32's functions of Windows 10 version 1607 and later, looked up at run time so that the
// program still starts on Windows 7.
template <typename Function>
Function* User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 == nullptr
               ? nullptr
               : reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

}  // namespace

int WindowDpi(HWND window) {
    static auto* const getDpiForWindow = User32Function<UINT WINAPI(HWND)>("GetDpiForWindow");
    const UINT dpi = getDpiForWindow != nullptr ? getDpiForWindow(window) : 0;
    return dpi != 0 ? static_cast<int>(dpi) : SystemDpi();
}

SIZE FrameSize(SIZE client, DWORD style, int dpi) {
    static auto* const adjustForDpi =
        User32Function<BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, client.cx, client.cy};
    if (adjustForDpi == nullptr || !adjustForDpi(&frame, style, FALSE, 0, static_cast<UINT>(dpi))) {
        AdjustWindowRectEx(&frame, style, FALSE, 0);  // borders and caption at the system DPI
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

FontHandle CreatePlainFont(const wchar_t* face, int points, bool bold, int dpi) {
    LOGFONTW logFont{};
    logFont.lfHeight = -MulDiv(points, dpi, 72);
    logFont.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    logFont.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(logFont.lfFaceName, face, LF_FACESIZE);
    return FontHandle(CreateFontIndirectW(&logFont));
}

}  // namespace pontara
