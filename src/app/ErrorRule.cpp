#include "app/ErrorRule.h"

#include "ui/WindowModel.h"

namespace pontara {

void ErrorRule::Report(const PlatformError& error) {
    if (reported_) {
        return;
    }
    reported_ = true;
    for (int timer = 0; timer < TimerCount; ++timer) {
        host_.SetEnabled(static_cast<TimerId>(timer), false);
    }
    host_.ShowMessage(error.Describe(), Text(window_model::Caption));
    host_.EndProgram();
}

}  // namespace pontara
