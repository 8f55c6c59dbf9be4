// The program entry: one bridge a session, COM and its message filter for the user-interface
// thread, the Win32 host and the bridge.

#include <objbase.h>
#include <windows.h>

#include <exception>

#include "app/Application.h"
#include "app/Resources.h"
#include "mixw/MessageFilter_win.h"
#include "ui/WindowModel.h"
#include "win32/ScopedCom_win.h"
#include "win32/WinError_win.h"
#include "win32/WinUtil_win.h"
#include "win32host/OneBridge_win.h"
#include "win32host/Win32Host_win.h"

namespace {

void ShowStartFailure(const pontara::Text& description) {
    const pontara::Text title(pontara::window_model::Caption);
    MessageBoxW(nullptr, pontara::Wide(description), pontara::Wide(title), MB_OK | MB_ICONERROR);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    try {
        if (!pontara::ClaimSession()) {
            pontara::BringRunningBridgeForward();
            return 0;
        }
    } catch (const pontara::PlatformError& error) {
        ShowStartFailure(error.Describe());
        return 1;
    }
    const pontara::ScopedComApartment com;
    if (!com.Entered()) {
        ShowStartFailure(pontara::ComError(u"Starting COM", com.Result()).Describe());
        return 1;
    }
    const pontara::ScopedMessageFilter filter(0);
    if (filter.Result() != S_OK) {
        ShowStartFailure(
            pontara::ComError(u"Registering the COM message filter", filter.Result()).Describe());
        return 1;
    }
    int exitCode = 1;
    try {
        pontara::Win32Host host(instance, LoadIconW(instance, MAKEINTRESOURCEW(PONTARA_ICON)));
        pontara::Application application(host);  // ends before the host it holds on to
        exitCode = host.Run(application);
    } catch (const pontara::PlatformError& error) {
        ShowStartFailure(error.Describe());
    } catch (const std::exception& error) {
        ShowStartFailure(pontara::AsciiText(error.what()));
    }
    return exitCode;
}
