#pragma once
// A MixW busy in a dialog of its own, as the bridge meets it: the call is not waited for.
// Responsibilities: the failure of a call that MixW turned away as busy, told apart from every
// other failure of a call.
// Collaborations: raised by MixW's Win32 client (mixw/DispatchMixW_win.cpp) and by the simulated
// MixW (tests/sim); mixw/DeferringMixW.h puts the turned-away ExecuteMacros and SetQsoData off,
// bridge/QsoForwarding.h lets a Timer2 tick pass, bridge/MixWBusyWatch.h says so on the status
// line and tries the put-off calls again.
//
// While MixW shows a modal dialog (its settings, say, for as long as the operator keeps it open)
// it answers every incoming call "retry later" (SERVERCALL_RETRYLATER). Windows' COM then asks
// the caller's message filter whether to try again (IMessageFilter::RetryRejectedCall). A
// thread that tried again would stay inside the call for as long as the dialog stays open,
// taking no click and no close; the bridge's filter (mixw/MessageFilter_win.h) declines at
// once, the call fails with RPC_E_CALL_REJECTED, and the bridge goes on with the call put off.
// A MixW that has gone fails otherwise (RPC_E_DISCONNECTED, RPC_S_SERVER_UNAVAILABLE) and stays
// under the program-wide error rule. Wine 8 delivers a call to a busy server anyway.
//
// A thread of its own that calls MixW while the user-interface thread waits for it (the port
// toggles at a session's end, mixw/WorkerMixW_win.h) takes no input: its filter has COM try a
// turned-away call again every RetryBusyEvery (RetryRejectedCall's answer, in milliseconds) until
// its bound has passed.

#include "platform/PlatformError.h"

namespace pontara::mixw {

inline constexpr int RetryBusyEvery = 100;

class MixWBusy : public PlatformError {
  public:
    explicit MixWBusy(const PlatformError& error) : PlatformError(error) {}
};

}  // namespace pontara::mixw
