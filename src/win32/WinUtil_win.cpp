#include "win32/WinUtil_win.h"

#include "win32/WinError_win.h"

namespace pontara {

std::string ToAnsi(TextView text) {
    std::string ansi;
    if (!text.empty()) {
        const wchar_t* wide = reinterpret_cast<const wchar_t*>(text.data());
        const int units = static_cast<int>(text.size());
        const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, units, nullptr, 0,
                                             nullptr, nullptr);
        ansi.resize(static_cast<std::size_t>(size));
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, units, ansi.data(), size, nullptr,
                            nullptr);
    }
    return ansi;
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
