#include "station/MessageBoxes.h"

#include <string_view>

#include "station/Pump.h"
#include "station/WindowQueries.h"

namespace pontara::harness {

namespace {
constexpr int MessageTextId = 0xFFFF;
}

HWND WaitForMessageBox(const std::string& caption, std::chrono::milliseconds timeout) {
    HWND box = nullptr;
    PumpUntil(
        [&] {
            box = FindWindowA("#32770", caption.c_str());
            return box != nullptr;
        },
        timeout);
    return box;
}

std::string MessageBoxText(HWND box) {
    return ControlText(GetDlgItem(box, MessageTextId)).value_or("");
}

bool PressOk(HWND box, std::chrono::milliseconds timeout) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0, SMTO_NORMAL,
                               static_cast<UINT>(timeout.count()), &result) != 0;
}

std::string SystemMessage(DWORD code) {
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   text, sizeof text, nullptr);
    std::string message = text;
    while (!message.empty() &&
           std::string_view("\r\n .").find(message.back()) != std::string::npos) {
        message.pop_back();
    }
    return message;
}

}  // namespace pontara::harness
