#pragma once
// One registered message of Logger32's link (logger32/Logger32Protocol.h) as a Logger32 recorded
// it: a code the bridge posted or sent it, or one it posted to the bridge. The simulated
// Logger32 (tests/sim) and the Logger32 stand-in (tools/logger32-sim, in its transcript) keep
// them in this one shape, which the native and the end-to-end tests, the station's timeline and
// the station programs read.

#include <cstdint>

namespace pontara::standin {

struct LinkMessage {
    // When, in milliseconds on the recording Logger32's clock: the simulated host's virtual time,
    // or the stand-in's since its transcript started (the time of the message's record).
    std::int64_t time = 0;
    // 1 for "Logger32 1" ... 5 for "Logger32 5"; 0 for an id of no Logger32 name
    int name = 0;
    std::uint32_t code = 0;  // wParam
    std::int32_t lParam = 0;
    bool sent = false;  // SendMessage rather than PostMessage
};

}  // namespace pontara::standin
