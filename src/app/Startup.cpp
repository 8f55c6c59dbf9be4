#include "app/Startup.h"

#include <functional>
#include <initializer_list>

#include "bridge/QsoForwarding.h"
#include "bridge/StatusTexts.h"
#include "mixw/DeferringMixW.h"
#include "platform/PlatformError.h"
#include "platform/Timers.h"
#include "ui/WindowModel.h"

namespace pontara {

namespace {
constexpr int LookInterval = 2000;
}  // namespace

void Startup::Load() {
    link_.State().MainWindow = host_.MainWindow();
    members_.LinksOpen = false;
    host_.ShowSplash();
    members_.MixWHasRig = false;
    members_.PacketUsb = false;
}

void Startup::Timer4Tick() {
    host_.SetInterval(TimerId::Timer, 0);
    host_.SetEnabled(TimerId::Timer4, false);
    host_.HideSplash();
    host_.ShowMainWindow();
    StartTimer(host_, TimerId::Timer1, window_model::SequencerDelay);
}

void Startup::Timer1Tick() {
    host_.MakeMainWindowTopmost();
    StopTimer(host_, TimerId::Timer1);
    link_.State().Logger32Message = host_.RegisterMessage(logger32::MessageNames[0]);
    if (!WaitForLogger32()) {
        return;
    }
    host_.SetEnabled(TimerId::Timer, false);
    link_.HookWindow();
    link_.ConnectLogger32();
    host_.SetFieldText(Field::Text1, Text(status::WaitingForMixW));
    if (!host_.WaitKeepingWindowAlive(PauseBeforeMixW) || !WaitForMixW()) {
        return;
    }
    StartBridge();
}

bool Startup::WaitForLogger32() {
    for (;;) {
        link_.State().Logger32Window = link_.FindLogger32();
        if (link_.State().Logger32Window != 0) {
            return true;
        }
        if (!host_.WaitKeepingWindowAlive(LookInterval)) {
            return false;
        }
    }
}

bool Startup::WaitForMixW() {
    for (;;) {
        members_.MixWIsLoaded = true;
        if (std::unique_ptr<MixWAutomation> mixw = host_.AttachMixW()) {
            auto deferring = std::make_unique<mixw::DeferringMixW>(host_, std::move(mixw), busy_);
            mixw_ = deferring.get();
            members_.MixWApp = std::move(deferring);
            return true;
        }
        members_.MixWIsLoaded = false;
        if (!host_.WaitKeepingWindowAlive(LookInterval)) {
            return false;
        }
    }
}

void Startup::StartBridge() {
    // From the attach on, a step that fails is skipped and the next one runs.
    std::initializer_list<std::function<void()>> steps{
        [this] { members_.MixWHasRig = true; },
        [this] { host_.SetFieldText(Field::Text1, Text(status::MixWControlActive)); },
        [this] { StartTimer(host_, TimerId::Timer3, window_model::SpotInterval); },
        [this] { bridge::StartForwarding(host_); },
        [this] { rig_.GiveRigToMixW(); },
        [this] { host_.SetEnabled(TimerId::Timer5, true); },
    };
    for (const std::function<void()>& step : steps) {
        try {
            step();
        } catch (const PlatformError&) {
        }
    }
}

void Startup::Unload() {
    // A close that another program sends (Task Manager's "End task" sends WM_CLOSE) arrives as
    // that program's message: MixW could not be called inside it, and calls put off until after
    // it would never be made, since the program ends first. The unload runs from a message posted
    // to the main window instead, whole and in its order.
    if (host_.InsideSentMessage()) {
        host_.PostToMainWindow([this] { Unload(); });
        return;
    }
    if (askingToClose_) {
        return;  // asked already: the box is open
    }
    if (leaving_) {
        // Closed again while a busy MixW has not yet taken its port toggles: the operator ends
        // Pontara now, and MixW's ports stay as they are.
        Leave();
        return;
    }
    if (!watch_.Held().empty()) {
        // While the box is open the bridge goes on: a Logger32 that comes back meanwhile gets the
        // held QSOs, and the box then names QSOs that are no longer lost.
        askingToClose_ = true;
        const bool close =
            host_.AskYesNo(bridge::CloseQuestion(watch_.Held()), Text(window_model::Caption));
        askingToClose_ = false;
        if (!close) {
            return;
        }
    }
    if (RigToHandBack()) {
        link_.PostCodes(logger32::MixWTakesRig);
    }
    // Without an attached MixW there are no ports to hand back and nothing to ask the operator.
    if (!members_.MixWHasRig && members_.MixWApp) {
        rig_.AskToCloseSoundcardWindows();
        rig_.ToggleMixWPorts();
    }
    LeaveAfterMixWCalls();
}

// A MixW busy in a dialog of its own takes the toggles only once the dialog closes; until then
// the program stays, its window answering, so that the rig does not end with nobody.
void Startup::LeaveAfterMixWCalls() {
    if (mixw_ == nullptr) {
        Leave();
        return;
    }
    leaving_ = true;
    mixw_->AfterQueued([this] { Leave(); });
}

// The rig goes back to a Logger32 that has it, and Logger32 is told that Pontara leaves; no box
// can be shown. The five codes are sent here, not posted: with no box between them and codes 4
// and 5, Logger32 would take the sent codes first, as a thread takes the messages sent to it
// before those posted, and hear that Pontara left before it gave the rig back. When the whole
// session ends MixW ends too, and its ports with it. When the Restart Manager closes Pontara
// alone (an installer, Windows Update), MixW goes on and its ports go back to it as at a close.
// Windows sends the session's end from another process, and COM refuses a call out of a handler
// of such a message (RPC_E_CANTCALLOUT_ININPUTSYNCCALL; under Wine it would go through), so the
// toggles are made from a thread of their own, and the session's end waits for them only so long.
// A close that waits for a busy MixW has handed the rig over and asked for the toggles already;
// the calls still put off are what the worker makes.
void Startup::EndSession(SessionEnd end) {
    if (!leaving_ && RigToHandBack()) {
        link_.SendCodes(logger32::MixWTakesRig);
    }
    if (end == SessionEnd::ThisProgram && mixw_ != nullptr) {
        if (!leaving_ && !members_.MixWHasRig) {
            rig_.ToggleMixWPorts();
        }
        if (std::function<void(MixWAutomation&)> queued = mixw_->TakeQueued()) {
            host_.CallMixWFromWorker(std::move(queued), MixWPortsAtSessionEnd);
        }
    }
    Leave();
}

bool Startup::RigToHandBack() const {
    // A Logger32 that has closed is told nothing.
    return members_.Logger32HasRig && link_.Logger32Present();
}

void Startup::Leave() {
    link_.UnhookWindow();
    if (link_.Logger32Present()) {
        link_.SendCode(logger32::Leaving, 0);
        link_.SendCode(logger32::Left, 0);
    }
    mixw_ = nullptr;
    members_.MixWApp.reset();
    host_.EndProgram();
}

}  // namespace pontara
