#include "mixw/DeferringMixW.h"

#include <utility>

#include "mixw/MixWBusy.h"

namespace pontara::mixw {

DeferringMixW::DeferringMixW(Host& host, std::unique_ptr<MixWAutomation> mixw,
                             BusyListener& listener)
    : calls_(std::make_shared<Calls>(Calls{host, std::move(mixw), listener, {}, {}})) {}

DeferringMixW::~DeferringMixW() = default;

Text DeferringMixW::GetQsoData(std::int16_t index) {
    return Read<Text>([index](MixWAutomation& mixw) { return mixw.GetQsoData(index); });
}

void DeferringMixW::SetQsoData(std::int16_t index, Text& value) {
    Call([index, value](MixWAutomation& mixw) mutable { mixw.SetQsoData(index, value); });
}

void DeferringMixW::ExecuteMacros(const Text& macro) {
    Call([macro](MixWAutomation& mixw) { mixw.ExecuteMacros(macro); });
}

double DeferringMixW::FqA() {
    return Read<double>([](MixWAutomation& mixw) { return mixw.FqA(); });
}

double DeferringMixW::AudioFq() {
    return Read<double>([](MixWAutomation& mixw) { return mixw.AudioFq(); });
}

void DeferringMixW::AfterQueued(std::function<void()> then) {
    if (calls_->queued.empty()) {
        then();
        return;
    }
    calls_->afterQueued = std::move(then);
}

std::function<void(MixWAutomation&)> DeferringMixW::TakeQueued() {
    if (calls_->queued.empty()) {
        return {};
    }
    return [queued = std::exchange(calls_->queued, {})](MixWAutomation& mixw) {
        for (const PutOff& call : queued) {
            call(mixw);
        }
    };
}

void DeferringMixW::Call(PutOff call) {
    calls_->queued.push_back(std::move(call));
    if (!calls_->host.InsideSentMessage()) {
        TryQueued(calls_);
        return;
    }
    if (std::exchange(calls_->posted, true)) {
        return;
    }
    // A posted message is dispatched only by a message loop, and the bridge opens none inside a
    // sent message but the error box, behind which nothing of the bridge runs: the posted calls
    // are made after the sent message has been answered.
    calls_->host.PostToMainWindow([weak = std::weak_ptr<Calls>(calls_)] {
        if (std::shared_ptr<Calls> calls = weak.lock()) {
            calls->posted = false;
            TryQueued(calls);
        }
    });
}

template <typename Result>
Result DeferringMixW::Read(const std::function<Result(MixWAutomation&)>& read) {
    MakeQueued(calls_);
    Result result{};
    Made(calls_, [&](MixWAutomation& mixw) { result = read(mixw); });
    return result;
}

// Each call leaves the queue before it is made: a call that waits lets other events run, and
// those may queue or make calls of their own.
void DeferringMixW::MakeQueued(const std::shared_ptr<Calls>& calls) {
    while (!calls->queued.empty()) {
        PutOff next = std::move(calls->queued.front());
        calls->queued.pop_front();
        try {
            Made(calls, next);
        } catch (const MixWBusy&) {
            calls->queued.push_front(std::move(next));
            throw;
        }
    }
    // Posted, not run here: the last call may have been made inside another handler (a Timer2
    // read), which goes on after it returns.
    if (calls->afterQueued) {
        calls->host.PostToMainWindow(std::exchange(calls->afterQueued, {}));
    }
}

bool DeferringMixW::TryQueued(const std::shared_ptr<Calls>& calls) {
    try {
        MakeQueued(calls);
    } catch (const MixWBusy&) {
        return true;  // made when MixW answers again
    }
    return false;
}

void DeferringMixW::Made(const std::shared_ptr<Calls>& calls, const PutOff& call) {
    try {
        call(*calls->mixw);
    } catch (const MixWBusy&) {
        calls->busy = true;
        calls->listener.MixWBusy([weak = std::weak_ptr<Calls>(calls)] {
            std::shared_ptr<Calls> held = weak.lock();
            return held && TryQueued(held);
        });
        throw;
    }
    if (std::exchange(calls->busy, false)) {
        calls->listener.MixWAnswers();
    }
}

}  // namespace pontara::mixw
