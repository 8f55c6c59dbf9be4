#pragma once
// MixW's object as the bridge holds it: calls made inside a message that another program sent
// are put off until that message has been answered.
// Responsibilities: keeping MixW's calls out of other programs' sent messages, in the order the
// bridge made them.
// Collaborations: wraps the object Host::AttachMixW gives (app/Startup.cpp); asks the host
// whether the current event runs inside a sent message and posts the put-off calls to the main
// window (platform/Host.h).
//
// Windows refuses an outgoing COM call while the thread handles a message that another thread
// or process sent (RPC_E_CANTCALLOUT_ININPUTSYNCCALL): Logger32 may send its dial report
// (code 100), whose field change tunes MixW. Wine lets such a call through. ExecuteMacros and
// SetQsoData give nothing the bridge uses, so inside a sent message they are queued and made
// from a message posted to the main window, right after. Any later call, made where calls are
// allowed, first makes the queued ones, so MixW receives every call in the order it was made.

#include <deque>
#include <functional>
#include <memory>

#include "mixw/MixWAutomation.h"
#include "platform/Host.h"

namespace pontara::mixw {

class DeferringMixW final : public MixWAutomation {
  public:
    DeferringMixW(Host& host, std::unique_ptr<MixWAutomation> mixw);
    ~DeferringMixW() override;
    DeferringMixW(const DeferringMixW&) = delete;
    DeferringMixW& operator=(const DeferringMixW&) = delete;

    Text GetQsoData(std::int16_t index) override;
    // Put off, the call keeps its own copy of the text; MixW's changes to it are not handed back.
    void SetQsoData(std::int16_t index, Text& value) override;
    void ExecuteMacros(const Text& macro) override;
    double FqA() override;
    double AudioFq() override;

  private:
    // Shared with the posted message, which may arrive after the object has gone.
    struct Calls {
        std::unique_ptr<MixWAutomation> mixw;
        std::deque<std::function<void(MixWAutomation&)>> queued;
        bool posted = false;
    };

    void Call(std::function<void(MixWAutomation&)> call);
    MixWAutomation& Ready();
    static void MakeQueued(Calls& calls);

    Host& host_;
    std::shared_ptr<Calls> calls_;
};

}  // namespace pontara::mixw
