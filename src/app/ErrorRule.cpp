#include "app/ErrorRule.h"

#include "ui/StatusLine.h"

namespace pontara {

void ErrorRule::Report(const PlatformError& error) {
    if (reported_) {
        return;
    }
    reported_ = true;
    for (int timer = 0; timer < TimerCount; ++timer) {
        host_.SetEnabled(static_cast<TimerId>(timer), false);
    }
    host_.ShowMessage(error.Describe(), Text(status::ApplicationTitle));
    host_.EndProgram();
}

}  // namespace pontara
