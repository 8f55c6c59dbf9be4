#pragma once
// The program-wide rule for a failed automation call or control operation: stop every timer,
// show the failure once in a message box with the application's title, and end the program.
// Timers are stopped first because the box's modal loop goes on dispatching ticks, which would
// otherwise fail again and stack further boxes.

#include <utility>

#include "platform/Host.h"
#include "platform/PlatformError.h"

namespace pontara {

class ErrorRule {
  public:
    explicit ErrorRule(Host& host) : host_(host) {}

    // Runs a handler; a PlatformError escaping it is reported under the rule.
    template <typename Handler>
    void Run(Handler&& handler) {
        try {
            std::forward<Handler>(handler)();
        } catch (const PlatformError& error) {
            Report(error);
        }
    }

    void Report(const PlatformError& error);

  private:
    Host& host_;
    bool reported_ = false;
};

}  // namespace pontara
