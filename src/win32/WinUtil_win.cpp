#include "win32/WinUtil_win.h"

#include "platform/AnsiCodePage.h"
#include "win32/WinError_win.h"

namespace pontara {

Text WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return FromWide(text.data(), static_cast<std::size_t>(length));
}

// Both directions ask for the size first and then convert; either call returning 0 (or less
// than the size) is a refusal, whose reason GetLastError gives.
std::string ToAnsi(TextView text) {
    std::string ansi;
    if (text.empty()) {
        return ansi;  // Windows refuses an empty input rather than converting it
    }
    // Chosen by the code page: Windows refuses WC_NO_BEST_FIT_CHARS for UTF-8 (Wine 8 takes it).
    const UINT codePage = GetACP();
    const DWORD flags = ToAnsiFlags(static_cast<int>(codePage));
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int units = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(codePage, flags, wide, units, nullptr, 0, nullptr, nullptr);
    if (size > 0) {
        ansi.resize(static_cast<std::size_t>(size));
    }
    if (size <= 0 || WideCharToMultiByte(codePage, flags, wide, units, ansi.data(), size, nullptr,
                                         nullptr) != size) {
        throw LastSystemError(ConvertingToAnsi(static_cast<int>(codePage)));
    }
    return ansi;
}

Text FromAnsi(std::string_view ansi) {
    Text text;
    if (ansi.empty()) {
        return text;
    }
    const UINT codePage = GetACP();
    const int bytes = static_cast<int>(ansi.size());
    const int units = MultiByteToWideChar(codePage, FromAnsiFlags, ansi.data(), bytes, nullptr, 0);
    if (units > 0) {
        text.resize(static_cast<std::size_t>(units));
    }
    if (units <= 0 ||
        MultiByteToWideChar(codePage, FromAnsiFlags, ansi.data(), bytes,
                            reinterpret_cast<wchar_t*>(text.data()), units) != units) {
        throw LastSystemError(ConvertingFromAnsi(static_cast<int>(codePage)));
    }
    return text;
}

bool SameName(TextView left, TextView right) {
    return CompareStringOrdinal(reinterpret_cast<const wchar_t*>(left.data()),
                                static_cast<int>(left.size()),
                                reinterpret_cast<const wchar_t*>(right.data()),
                                static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

void RegisterWindowClass(const WNDCLASSEXW& windowClass, TextView what) {
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw LastSystemError(u"Registering the " + Text(what) + u"'s class");
    }
}

}  // namespace pontara
