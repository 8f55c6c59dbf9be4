#pragma once
// The QSOs saved in MixW while Logger32 was away, held for the Logger32 that comes back, and
// what the operator is told of them when Pontara or the Windows session is about to end.

#include <optional>
#include <vector>

#include "platform/Text.h"

namespace pontara::bridge {

// A QSO as it was when saved. Logger32 logs the dial and the mode from its own entry, so the
// new Logger32 is told them before the logging of a QSO that MixW worked; one logged by "Send!"
// while Logger32 owned the rig is logged on Logger32's own dial and mode, as it would have been.
struct HeldQso {
    Text logging;       // the whole APP_LOGQSO text: the QSO's own record and its times
    Text call;          // the Callsign field when the QSO was saved
    Text time;          // the Time field when the QSO was saved
    Text frequency;     // the kilohertz of its APP_FORCE_FREQ
    Text mode;          // the mode of its APP_FORCE_MODE, as Logger32 names it
    bool workedInMixW;  // MixW owned the rig: Logger32 is told the dial and mode first
};

// The question before closing loses them: how many, and each one's call, time, frequency and
// mode, so that an operator who closes anyway can log them by hand.
Text CloseQuestion(const std::vector<HeldQso>& held);
// The reason Windows shows while a session end waits for Pontara, naming each QSO as the
// question does; none when nothing is held.
std::optional<Text> ShutdownBlockReason(const std::vector<HeldQso>& held);

}  // namespace pontara::bridge
