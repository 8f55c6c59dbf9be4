#include "station/WindowQueries.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

#include "platform/Text.h"
#include "station/Pump.h"

namespace pontara::harness {

namespace {

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindowOfProcess(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId) {
        search->found.push_back(window);
    }
    return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    WindowSearch search{processId, {}};
    EnumWindows(&CollectWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindTopLevelWindow(DWORD processId, const std::string& caption) {
    for (HWND window : TopLevelWindowsOf(processId)) {
        if (Caption(window) == caption) {
            return window;
        }
    }
    return nullptr;
}

HWND WaitForTopLevelWindow(DWORD processId, const std::string& caption,
                           std::chrono::milliseconds timeout) {
    HWND found = nullptr;
    PumpUntil(
        [&] {
            found = FindTopLevelWindow(processId, caption);
            return found != nullptr;
        },
        timeout);
    return found;
}

HWND WaitForPontaraWindow(DWORD processId, std::chrono::milliseconds timeout) {
    return WaitForTopLevelWindow(processId, AsciiOf(window_model::Caption), timeout);
}

std::string Caption(HWND window) {
    char buffer[512] = {};
    const int length = GetWindowTextA(window, buffer, sizeof buffer);
    return std::string(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::optional<std::string> ControlText(HWND control, std::chrono::milliseconds timeout) {
    const UINT wait = static_cast<UINT>(timeout.count());
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, wait, &length)) {
        return std::nullopt;
    }
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXT, text.size(),
                             reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, wait, &copied)) {
        return std::nullopt;
    }
    text.resize(copied);
    return text;
}

std::string ClassName(HWND window) {
    char buffer[256] = {};
    const int length = GetClassNameA(window, buffer, sizeof buffer);
    return std::string(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

bool HasStyle(HWND window, LONG style) {
    return (GetWindowLongA(window, GWL_STYLE) & style) == style;
}

bool HasExtendedStyle(HWND window, LONG style) {
    return (GetWindowLongA(window, GWL_EXSTYLE) & style) == style;
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int TwipsToPixels(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

RECT RectInParent(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND ChildAt(HWND parent, const TwipRect& model, int tolerance) {
    const int dpi = ScreenDpi();
    const int left = TwipsToPixels(model.left, dpi);
    const int top = TwipsToPixels(model.top, dpi);
    HWND best = nullptr;
    int bestDistance = std::numeric_limits<int>::max();
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT rect = RectInParent(child);
        const int dx = std::abs(rect.left - left);
        const int dy = std::abs(rect.top - top);
        if (dx <= tolerance && dy <= tolerance && dx + dy < bestDistance) {
            best = child;
            bestDistance = dx + dy;
        }
    }
    return best;
}

HWND FieldAt(HWND mainWindow, Field field) {
    return ChildAt(mainWindow, window_model::Of(field).rect);
}

HWND ButtonAt(HWND mainWindow, Button button) {
    return ChildAt(mainWindow, window_model::Of(button).rect);
}

HWND ChildById(HWND parent, int controlId) {
    return GetDlgItem(parent, controlId);
}

std::string DescribeChildren(HWND parent) {
    std::string description;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT rect = RectInParent(child);
        char line[160];
        std::snprintf(line, sizeof line, "id %d %s (%ld, %ld)-(%ld, %ld) ", GetDlgCtrlID(child),
                      ClassName(child).c_str(), rect.left, rect.top, rect.right, rect.bottom);
        description +=
            line + ControlText(child, std::chrono::milliseconds(1000)).value_or("?") + "\n";
    }
    return description;
}

}  // namespace pontara::harness
