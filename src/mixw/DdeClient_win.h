#pragma once
// The DDE client behind the fields' automatic links.
// Responsibilities: one DDEML client instance; one conversation per service and topic (names
// compare without regard to case, so "MIXW|QSO" shares "MixW|QSO"); an advise link in text
// format per item, whose values are handed to the owner of the link.
// Collaborations: used by the Win32 host's OpenLink; failures are PlatformErrors.

#include <functional>
#include <memory>
#include <string_view>

#include "platform/PlatformError.h"
#include "platform/Text.h"

namespace pontara {

class DdeClient {
  public:
    using ValueHandler = std::function<void(const Text& value)>;
    // Advise data arrives inside DDEML's callback, which nothing may unwind through: an advised
    // value that cannot be converted from the ANSI code page is handed here instead of thrown.
    using FailureHandler = std::function<void(const PlatformError& error)>;

    explicit DdeClient(FailureHandler onAdviseFailure);
    ~DdeClient();
    DdeClient(const DdeClient&) = delete;
    DdeClient& operator=(const DdeClient&) = delete;

    // Opens an automatic link: asks for the item's current value and hands it to `onValue`
    // before returning (unless the server has none yet), then hands over every value the
    // server advises later (from the thread's message dispatch). Throws PlatformError when the
    // server does not answer for the service, topic or item.
    void OpenAutomaticLink(std::u16string_view service, std::u16string_view topic,
                           std::u16string_view item, ValueHandler onValue);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace pontara
