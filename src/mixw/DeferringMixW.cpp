#include "mixw/DeferringMixW.h"

#include <utility>

namespace pontara::mixw {

DeferringMixW::DeferringMixW(Host& host, std::unique_ptr<MixWAutomation> mixw)
    : host_(host), calls_(std::make_shared<Calls>()) {
    calls_->mixw = std::move(mixw);
}

DeferringMixW::~DeferringMixW() = default;

Text DeferringMixW::GetQsoData(std::int16_t index) {
    return Ready().GetQsoData(index);
}

void DeferringMixW::SetQsoData(std::int16_t index, Text& value) {
    Call([index, value](MixWAutomation& mixw) mutable { mixw.SetQsoData(index, value); });
}

void DeferringMixW::ExecuteMacros(const Text& macro) {
    Call([macro](MixWAutomation& mixw) { mixw.ExecuteMacros(macro); });
}

double DeferringMixW::FqA() {
    return Ready().FqA();
}

double DeferringMixW::AudioFq() {
    return Ready().AudioFq();
}

void DeferringMixW::Call(std::function<void(MixWAutomation&)> call) {
    if (!host_.InsideSentMessage()) {
        call(Ready());
        return;
    }
    calls_->queued.push_back(std::move(call));
    if (std::exchange(calls_->posted, true)) {
        return;
    }
    // A posted message is dispatched only by a message loop, and the bridge opens none inside a
    // sent message but the error box, behind which nothing of the bridge runs: the posted calls
    // are made after the sent message has been answered.
    host_.PostToMainWindow([weak = std::weak_ptr<Calls>(calls_)] {
        if (std::shared_ptr<Calls> calls = weak.lock()) {
            calls->posted = false;
            MakeQueued(*calls);
        }
    });
}

MixWAutomation& DeferringMixW::Ready() {
    MakeQueued(*calls_);
    return *calls_->mixw;
}

// Each call leaves the queue before it is made: a call that waits lets other events run, and
// those may queue or make calls of their own.
void DeferringMixW::MakeQueued(Calls& calls) {
    while (!calls.queued.empty()) {
        std::function<void(MixWAutomation&)> next = std::move(calls.queued.front());
        calls.queued.pop_front();
        next(*calls.mixw);
    }
}

}  // namespace pontara::mixw
