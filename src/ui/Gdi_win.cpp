#include "ui/Gdi_win.h"

#include <cmath>
#include <string>

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

namespace {

struct FaceChoice {
    std::wstring face;
    BYTE charset;
};

// GDI never fails to create a font: it quietly maps the request onto the nearest installed
// face. Only the face realised in a DC tells whether we got the one we asked for. (Wine
// realises the bitmap "MS Sans Serif" but does not slant it for italic; Windows does.)
bool RealisesAsAsked(HFONT font, const FaceChoice& choice) {
    ScreenDc screen;
    SelectedObject selected(screen, font);
    wchar_t realised[LF_FACESIZE] = {};
    GetTextFaceW(screen, LF_FACESIZE, realised);
    if (lstrcmpiW(realised, choice.face.c_str()) != 0) {
        return false;
    }
    return choice.charset == DEFAULT_CHARSET || GetTextCharset(screen) == choice.charset;
}

FontHandle CreateBoldFont(bool italic, int dpi) {
    const std::wstring designFace(window_model::FontFace.begin(), window_model::FontFace.end());
    const FaceChoice choices[] = {
        {designFace, static_cast<BYTE>(window_model::FontCharset)},
        {designFace, DEFAULT_CHARSET},
        {L"Microsoft Sans Serif", DEFAULT_CHARSET},
        {L"Tahoma", DEFAULT_CHARSET},
    };
    LOGFONTW logFont{};
    logFont.lfHeight = -static_cast<LONG>(std::lround(window_model::FontPoints * dpi / 72.0));
    logFont.lfWeight = FW_BOLD;
    logFont.lfItalic = italic ? TRUE : FALSE;
    FontHandle font;
    for (const FaceChoice& choice : choices) {
        logFont.lfCharSet = choice.charset;
        lstrcpynW(logFont.lfFaceName, choice.face.c_str(), LF_FACESIZE);
        font.reset(CreateFontIndirectW(&logFont));
        if (font && RealisesAsAsked(font.get(), choice)) {
            break;
        }
    }
    // None installed: the last request stands, with whatever face the system mapped it to.
    return font;
}

FontHandle CreateMessageFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return FontHandle(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    }
    // The metrics are given for the system DPI.
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, SystemDpi());
    return FontHandle(CreateFontIndirectW(&metrics.lfMessageFont));
}

}  // namespace

FontHandle CreateDesignFont(Font font, int dpi) {
    switch (font) {
        case Font::Bold:
            return CreateBoldFont(false, dpi);
        case Font::BoldItalic:
            return CreateBoldFont(true, dpi);
        case Font::Default:
            break;
    }
    return CreateMessageFont(dpi);
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
