#include "win32host/OneBridge_win.h"

#include <windows.h>

#include "ui/MainWindow_win.h"
#include "win32/WinError_win.h"
#include "win32/WinUtil_win.h"

namespace pontara {

namespace {

// "Local\" puts the name in the session's namespace (the default for a program started in a
// session, written out): other users' sessions on the same machine run their own Pontara.
constexpr char16_t SessionMutexName[] = u"Local\\Pontara";

}  // namespace

bool ClaimSession() {
    // Never closed: the claim lasts as long as the process.
    const Text name(SessionMutexName);
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, Wide(name));
    const DWORD error = GetLastError();
    if (mutex == nullptr) {
        // A mutex this process may not open (made by a Pontara started with other rights, "as
        // administrator" say) is a claim too.
        if (error == ERROR_ACCESS_DENIED) {
            return false;
        }
        throw LastSystemError(u"Creating the mutex " + name);
    }
    return error != ERROR_ALREADY_EXISTS;
}

// Windows lets this process set the foreground window: it has just been started by the
// foreground process (Explorer, a launcher) or has received the last input.
void BringRunningBridgeForward() {
    const HWND running = FindWindowW(MainWindowClass, nullptr);
    if (running == nullptr || IsWindowVisible(running) == FALSE) {
        return;
    }
    if (IsIconic(running) != FALSE) {
        ShowWindow(running, SW_RESTORE);
    }
    SetForegroundWindow(running);
}

}  // namespace pontara
