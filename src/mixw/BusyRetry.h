#pragma once
// How long a call waits for a MixW that is busy in a dialog of its own.
// Responsibilities: the one retry policy for a call MixW turns away as busy; the Win32 host's
// COM message filter and the simulated MixW both follow it.
// Collaborations: win32/MessageFilter_win.h answers COM with it; the simulated host
// (tests/sim) retries by it.
//
// While MixW shows a modal dialog it may answer an incoming call "retry later"
// (SERVERCALL_RETRYLATER). The caller then tries again after a short pause, for as long as a
// Visual Basic client waited by default (10 s); after that the call fails as rejected
// (RPC_E_CALL_REJECTED) and the program-wide error rule applies.

#include <optional>

namespace pontara::mixw {

inline constexpr int BusyRetryPause = 250;    // milliseconds between tries
inline constexpr int BusyRetryLimit = 10000;  // milliseconds since the call was first made

// The pause before the next try of a call made `waited` milliseconds ago, or none: give up.
constexpr std::optional<int> BusyRetryPauseAfter(int waited) {
    if (waited >= BusyRetryLimit) {
        return std::nullopt;
    }
    return BusyRetryPause;
}

}  // namespace pontara::mixw
