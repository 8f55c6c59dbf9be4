#include "station/Pump.h"

#include <windows.h>

#include <algorithm>

namespace pontara::harness {

namespace {

void DispatchPending() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

bool PumpUntil(const std::function<bool()>& done, milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        DispatchPending();
        if (done()) {
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return false;
        }
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - now).count();
        // Wakes for any input, sent messages included; the 10 ms cap catches conditions that
        // change without a message (another process's window appearing, a thread finishing).
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(std::min<long long>(left, 10)),
                                    QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

void PumpFor(milliseconds duration) {
    PumpUntil([] { return false; }, duration);
}

}  // namespace pontara::harness
