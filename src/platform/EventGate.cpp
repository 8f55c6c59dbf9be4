#include "platform/EventGate.h"

#include <utility>

namespace pontara {

EventGate::EventGate(std::function<void(const Event&)> run) : run_(std::move(run)) {}

void EventGate::Raise(Event event) {
    if (waits_ > 0) {
        waiting_.push_back(std::move(event));
        return;
    }
    RunHandler(event);
    RaiseWaiting();
}

void EventGate::RaiseAtOnce(const Event& event) {
    RunHandler(event);
}

void EventGate::TimerElapsed(TimerId timer, Event tick) {
    if (waits_ == 0 && calls_ == 0) {
        Raise(std::move(tick));
        return;
    }
    HeldTick& held = HeldTickOf(timer);
    if (held.held) {
        return;
    }
    held.held = true;
    waiting_.push_back([this, timer, generation = held.generation, tick = std::move(tick)] {
        HeldTick& now = HeldTickOf(timer);
        if (now.generation != generation) {
            return;
        }
        now.held = false;
        tick();
    });
}

void EventGate::TimerSet(TimerId timer) {
    HeldTick& held = HeldTickOf(timer);
    ++held.generation;
    held.held = false;
}

void EventGate::RunHandler(const Event& event) {
    Counted handler(handlers_);
    run_(event);
}

// Only once the outermost handler has returned: the handler that waited may still run below a
// nested one (a modal loop inside its call dispatched the nested one).
void EventGate::RaiseWaiting() {
    while (handlers_ == 0 && waits_ == 0 && !waiting_.empty()) {
        Event next = std::move(waiting_.front());
        waiting_.pop_front();
        RunHandler(next);
    }
}

}  // namespace pontara
