#pragma once
// The design's fonts, realised on this machine.
// Responsibilities: the font of each control as the window model names it, and its fallback.
// Collaborations: the window model's face, size and character set (ui/WindowModel.h); the GDI
// handles of win32/Gdi_win.h.

#include "ui/WindowModel.h"
#include "win32/Gdi_win.h"

namespace pontara {

// The design's fonts at `dpi`. Bold and BoldItalic ask for "MS Sans Serif" 8.25 pt in the
// Cyrillic character set; where the system realises another face instead (the face or that
// character set is not installed), they fall back to the same face in the default character
// set, then to "Microsoft Sans Serif" and "Tahoma". Default is the system's message font.
FontHandle CreateDesignFont(Font font, int dpi);

}  // namespace pontara
