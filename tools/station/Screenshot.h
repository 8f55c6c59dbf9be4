#pragma once
// A picture of the whole screen, for looking at a failure after the run. xwd cannot be run from
// inside a Windows program, so the screen is copied with GDI and saved as a 24-bit BMP.

#include <windows.h>

#include <optional>
#include <string>

namespace pontara::harness {

// Saves the screen to `path` (station/Paths.h ArtifactPath gives a place in the build tree).
// False when the screen could not be read or the file not written.
bool SaveScreenshot(const std::string& path);
// Saves the part of the screen within `area` (screen coordinates), cut to the screen.
bool SaveScreenArea(const RECT& area, const std::string& path);

// The colour of one pixel of the screen, in screen coordinates, as it shows now (another
// program's window included); none when the screen could not be read there.
std::optional<COLORREF> ScreenColourAt(POINT point);

}  // namespace pontara::harness
