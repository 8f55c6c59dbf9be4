#include "app/Startup.h"

#include <functional>
#include <initializer_list>

#include "bridge/QsoForwarding.h"
#include "bridge/SpotClick.h"
#include "platform/PlatformError.h"
#include "ui/StatusLine.h"

namespace pontara {

namespace {
constexpr int LookInterval = 2000;
constexpr int PauseBeforeMixW = 1000;
constexpr int SequencerDelay = 1000;
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
    host_.SetInterval(TimerId::Timer1, SequencerDelay);
    host_.SetEnabled(TimerId::Timer1, true);
}

void Startup::Timer1Tick() {
    host_.MakeMainWindowTopmost();
    host_.SetInterval(TimerId::Timer1, 0);
    host_.SetEnabled(TimerId::Timer1, false);
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
            members_.MixWApp = std::move(mixw);
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
        [this] {
            host_.SetInterval(TimerId::Timer3, bridge::SpotInterval);
            host_.SetEnabled(TimerId::Timer3, true);
        },
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
    // A Logger32 that has closed is told nothing.
    if (members_.Logger32HasRig && link_.Logger32Present()) {
        link_.PostCodes(logger32::MixWTakesRig);
    }
    // Without an attached MixW there are no ports to hand back and nothing to ask the operator.
    if (!members_.MixWHasRig && members_.MixWApp) {
        rig_.AskToCloseSoundcardWindows();
        rig_.ToggleMixWPorts();
    }
    link_.UnhookWindow();
    if (link_.Logger32Present()) {
        link_.SendCode(logger32::Leaving, 0);
        link_.SendCode(logger32::Left, 0);
    }
    members_.MixWApp.reset();
    host_.EndProgram();
}

}  // namespace pontara
