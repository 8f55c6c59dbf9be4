#include "station/MessageBoxes.h"

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

}  // namespace pontara::harness
