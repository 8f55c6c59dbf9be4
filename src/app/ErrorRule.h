#pragma once
// The program-wide rule for a failed automation call or control operation: stop every timer,
// show the failure once in a message box with the application's title, and end the program.
// The box's modal loop goes on dispatching ticks, changes of Sent, MixW's "Save" and Logger32's
// codes; from the moment of the failure no handler of the bridge runs any more, so nothing is
// done, and nothing fails unseen, behind the box.

#include <utility>

#include "platform/Host.h"
#include "platform/PlatformError.h"

namespace pontara {

class ErrorRule {
  public:
    explicit ErrorRule(Host& host) : host_(host) {}

    // Runs a handler; a PlatformError escaping it is reported under the rule. Once a failure has
    // been reported, handlers are no longer run.
    template <typename Handler>
    void Run(Handler&& handler) {
        if (reported_) {
            return;
        }
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
