#include "bridge/HeldQsos.h"

#include <string>

namespace pontara::bridge {

namespace {

Text Count(std::size_t count) {
    return AsciiText(std::to_string(count)) + (count == 1 ? u" QSO" : u" QSOs");
}

// Call, time, frequency and mode, as the operator would log the QSO by hand.
Text Described(const HeldQso& qso, TextView gap) {
    Text gapText(gap);
    return qso.call + gapText + qso.time + gapText + qso.frequency + u" kHz" + gapText + qso.mode;
}

}  // namespace

Text CloseQuestion(const std::vector<HeldQso>& held) {
    Text question = u"Logger32 is closed. " + Count(held.size()) +
                    u" saved in MixW since then did not reach its log:\n\n";
    for (const HeldQso& qso : held) {
        question += Described(qso, u"   ") + u"\n";
    }
    question +=
        u"\nClose Pontara and lose them? Log them in Logger32 by hand if you do.\n"
        u"No: Pontara keeps them and logs them as soon as Logger32 is back.";
    return question;
}

std::optional<Text> ShutdownBlockReason(const std::vector<HeldQso>& held) {
    if (held.empty()) {
        return std::nullopt;
    }
    Text reason = Count(held.size()) + u" not yet in Logger32's log:";
    for (const HeldQso& qso : held) {
        reason += (&qso == &held.front() ? u" " : u"; ") + Described(qso, u" ");
    }
    return reason;
}

}  // namespace pontara::bridge
