#include "bridge/MixWBusyWatch.h"

#include <utility>

#include "bridge/StatusTexts.h"
#include "platform/Timers.h"
#include "ui/WindowModel.h"

namespace pontara::bridge {

// Shown again on every call turned away, whatever a handover wrote over it meanwhile; QSOs held
// for Logger32 keep their count on the status line, which matters more to the operator.
void MixWBusyWatch::MixWBusy(std::function<bool()> tryAgain) {
    tryAgain_ = std::move(tryAgain);
    if (watch_.Held().empty()) {
        host_.SetFieldText(Field::Text1, Text(status::MixWBusy));
    }
    // Started once: a Timer2 read turned away every 800 ms must not keep pushing its tick back.
    if (!host_.Enabled(TimerId::Timer6)) {
        StartTimer(host_, TimerId::Timer6, window_model::MixWRetryInterval);
    }
}

void MixWBusyWatch::MixWAnswers() {
    if (host_.FieldText(Field::Text1) == status::MixWBusy) {
        watch_.ShowStatus();
    }
}

void MixWBusyWatch::Timer6Tick() {
    // A try that MixW turns away hands over a new tryAgain_ while this one runs.
    std::function<bool()> tryAgain = tryAgain_;
    if (!tryAgain || !tryAgain()) {
        StopTimer(host_, TimerId::Timer6);
    }
}

}  // namespace pontara::bridge
