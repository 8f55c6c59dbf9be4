#pragma once
// MixW's object as the bridge holds it: calls that cannot be made now are put off and made
// later, in the order the bridge asked for them.
// Responsibilities: keeping MixW's calls out of other programs' sent messages, and out of a
// MixW busy in a dialog of its own; making every put-off call once, in order.
// Collaborations: wraps the object Host::AttachMixW gives (app/Startup.cpp); asks the host
// whether the current event runs inside a sent message and posts the put-off calls to the main
// window (platform/Host.h); tells a BusyListener (bridge/MixWBusyWatch.h) when MixW turns a call
// away and when it answers again.
//
// Windows refuses an outgoing COM call while the thread handles a message that another thread
// or process sent (RPC_E_CANTCALLOUT_ININPUTSYNCCALL): Logger32 may send its dial report
// (code 100), whose field change tunes MixW. Wine lets such a call through. ExecuteMacros and
// SetQsoData give nothing the bridge uses, so inside a sent message they are queued and made
// from a message posted to the main window, right after. A call MixW turns away as busy
// (mixw/MixWBusy.h) goes back to the head of the queue, and the calls after it wait behind it
// until the listener tries again. Any later call, made where calls are allowed, first makes the
// queued ones, so MixW receives every call in the order it was made; a read that finds calls
// still waiting fails as busy itself, without calling MixW.

#include <deque>
#include <functional>
#include <memory>

#include "mixw/MixWAutomation.h"
#include "platform/Host.h"

namespace pontara::mixw {

class BusyListener {
  public:
    virtual ~BusyListener() = default;
    // MixW turned a call away. `tryAgain` makes the put-off calls now, as far as MixW takes them,
    // and returns whether calls still wait; it may be called after the object has gone.
    virtual void MixWBusy(std::function<bool()> tryAgain) = 0;
    // A call went through after MixW had turned one away.
    virtual void MixWAnswers() = 0;
};

class DeferringMixW final : public MixWAutomation {
  public:
    DeferringMixW(Host& host, std::unique_ptr<MixWAutomation> mixw, BusyListener& listener);
    ~DeferringMixW() override;
    DeferringMixW(const DeferringMixW&) = delete;
    DeferringMixW& operator=(const DeferringMixW&) = delete;

    Text GetQsoData(std::int16_t index) override;
    // Put off, the call keeps its own copy of the text; MixW's changes to it are not handed back.
    void SetQsoData(std::int16_t index, Text& value) override;
    void ExecuteMacros(const Text& macro) override;
    double FqA() override;
    double AudioFq() override;

    // Runs `then` once no put-off call waits: at once when none does, or else from a message
    // posted to the main window after MixW has taken the last of them.
    void AfterQueued(std::function<void()> then);
    // The calls still put off, taken out of the queue, as one that makes them in order on another
    // object (MixW's object on another thread, say); none when no call waits.
    std::function<void(MixWAutomation&)> TakeQueued();

  private:
    using PutOff = std::function<void(MixWAutomation&)>;
    // Shared with the posted message and the listener, which may call after the object has gone.
    struct Calls {
        Host& host;
        std::unique_ptr<MixWAutomation> mixw;
        BusyListener& listener;
        std::deque<PutOff> queued;
        std::function<void()> afterQueued;
        bool posted = false;
        bool busy = false;  // MixW turned the last call away
    };

    void Call(PutOff call);
    // Makes the queued calls, then `call`, through the listener's eyes.
    template <typename Result>
    Result Read(const std::function<Result(MixWAutomation&)>& read);
    // Makes the queued calls; throws MixWBusy, with the refused call back at the head, when MixW
    // turns one away.
    static void MakeQueued(const std::shared_ptr<Calls>& calls);
    // Makes the queued calls as far as MixW takes them; whether calls still wait.
    static bool TryQueued(const std::shared_ptr<Calls>& calls);
    // Makes one call, telling the listener whether MixW turned it away or answered again.
    static void Made(const std::shared_ptr<Calls>& calls, const PutOff& call);

    std::shared_ptr<Calls> calls_;
};

}  // namespace pontara::mixw
