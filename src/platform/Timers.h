#pragma once
// Starting and stopping a timer of the main window through the host, as the design does both:
// the interval first, then the enabled state.

#include "platform/Host.h"

namespace pontara {

// The timer at this interval, then enabled: its first tick is a whole interval away.
inline void StartTimer(Host& host, TimerId timer, int milliseconds) {
    host.SetInterval(timer, milliseconds);
    host.SetEnabled(timer, true);
}

// The timer at interval 0, then disabled.
inline void StopTimer(Host& host, TimerId timer) {
    host.SetInterval(timer, 0);
    host.SetEnabled(timer, false);
}

}  // namespace pontara
