#include "win32/WinError_win.h"

#include "win32/WinUtil_win.h"

namespace pontara {

namespace {

Text SystemMessage(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (buffer == nullptr) {
        return u"Unknown error";
    }
    while (length > 0 && (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n' ||
                          buffer[length - 1] == L' ' || buffer[length - 1] == L'.')) {
        --length;
    }
    Text message = FromWide(buffer, length);
    LocalFree(buffer);
    return message;
}

}  // namespace

PlatformError LastSystemError(const Text& attempted) {
    DWORD code = GetLastError();
    return PlatformError(attempted, code, SystemMessage(code));
}

PlatformError ComError(const Text& attempted, HRESULT result, const Text& description) {
    DWORD code = static_cast<DWORD>(result);
    return PlatformError(attempted, code, description.empty() ? SystemMessage(code) : description);
}

}  // namespace pontara
