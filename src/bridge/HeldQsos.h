#pragma once
// The QSOs saved in MixW while Logger32 was away, held for the Logger32 that comes back, and
// what the operator is told of them when Pontara or the Windows session is about to end.

#include <optional>
#include <vector>

#include "platform/Text.h"

namespace pontara::bridge {

struct HeldQso {
    Text logging;    // the whole APP_LOGQSO text, as the new Logger32 will get it
    Text call;       // the Callsign field when the QSO was saved
    Text time;       // the Time field when the QSO was saved
    Text frequency;  // the kilohertz last forwarded to Logger32
    Text mode;       // the mode last forwarded to Logger32
};

// The question before closing loses them: how many, and each one's call, time, frequency and
// mode, so that an operator who closes anyway can log them by hand.
Text CloseQuestion(const std::vector<HeldQso>& held);
// The reason Windows shows while a session end waits for Pontara; none when nothing is held.
std::optional<Text> ShutdownBlockReason(const std::vector<HeldQso>& held);

}  // namespace pontara::bridge
