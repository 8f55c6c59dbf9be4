#include "ui/DesignFont_win.h"

#include <cmath>
#include <string>

#include "ui/WindowModel.h"

namespace pontara {

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

}  // namespace pontara
