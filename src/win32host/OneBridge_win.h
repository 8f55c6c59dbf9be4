#pragma once
// One bridge a station. Two bridges beside one Logger32 and one MixW would both connect, both
// forward and both log every saved QSO, so each QSO would be logged twice. The first Pontara of
// a Windows session claims the session; one started while it runs (a double-click too many, a
// start-up folder and a manual start) brings the running one's window to the front and ends
// before it makes a window, calls COM or posts anything to Logger32.

namespace pontara {

// Claims the session for this Pontara: the named mutex "Local\Pontara" in the session's own
// namespace, held until the process ends (Windows closes the handle then, and the next
// Pontara may claim the session). False when another Pontara of this session holds it. Throws
// PlatformError when Windows can make no mutex at all.
bool ClaimSession();

// Brings the running Pontara's main window to the front, restored when minimised. Nothing while
// that window is not shown yet (its topmost splash is then on the screen) or not made yet.
void BringRunningBridgeForward();

}  // namespace pontara
