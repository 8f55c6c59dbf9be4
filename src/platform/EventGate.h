#pragma once
// When the bridge's events run, for both hosts alike: at once, queued behind a wait of the
// start-up sequencer, or, for a timer's tick, held while a handler waits inside a DDE
// transaction or a MixW call.
// Responsibilities: counting the handlers that run (nested ones included), the sequencer's waits
// and the calls; the queue of what waits, in arrival order; one held tick per timer, dropped
// when its timer is set again; raising what waited once the outermost handler has returned.
// Collaborations: driven by the Win32 host (win32host/Win32Host_win.h) and the simulated host
// (tests/sim), which turn their messages and virtual time into events and run each handler.
//
// The rules (docs/ARCHITECTURE.md, "Rules the hosts share"): outside a sequencer wait an event
// runs at once, nested below a running handler if a modal loop brought it there. While the
// sequencer waits, nothing of the bridge runs: every event is queued. While a handler waits
// inside a call, other events still run nested, but a tick is held, once per timer. What was
// queued or held is raised, in arrival order, when no handler runs and no wait is on.

#include <array>
#include <cstddef>
#include <deque>
#include <functional>

#include "platform/WindowControls.h"

namespace pontara {

class EventGate {
    // One of the gate's counts is one up while this lasts.
    class Counted {
      public:
        explicit Counted(int& count) : count_(count) { ++count_; }
        ~Counted() { --count_; }
        Counted(const Counted&) = delete;
        Counted& operator=(const Counted&) = delete;

      private:
        int& count_;
    };

  public:
    using Event = std::function<void()>;

    // `run` runs one handler as its host does (the Win32 host catches what escapes it; both
    // drop an event once the program has ended).
    explicit EventGate(std::function<void(const Event&)> run);
    EventGate(const EventGate&) = delete;
    EventGate& operator=(const EventGate&) = delete;

    // Runs `event`, or queues it while the sequencer waits.
    void Raise(Event event);
    // Runs `event` at once, even while the sequencer waits, and raises nothing that waited: the
    // end of the session, after which Windows may end the process.
    void RaiseAtOnce(const Event& event);

    // A tick of a running timer: raised, or held while the sequencer waits or a call is on.
    void TimerElapsed(TimerId timer, Event tick);
    // The timer's interval or state was set: a tick held for it is dropped.
    void TimerSet(TimerId timer);

    bool SequencerWaits() const { return waits_ > 0; }
    bool InsideCall() const { return calls_ > 0; }

    // A wait of the start-up sequencer, while it lasts.
    class SequencerWait : Counted {
      public:
        explicit SequencerWait(EventGate& gate) : Counted(gate.waits_) {}
    };
    // A handler waiting inside a DDE transaction or a MixW call, while it lasts.
    class Call : Counted {
      public:
        explicit Call(EventGate& gate) : Counted(gate.calls_) {}
    };

  private:
    struct HeldTick {
        unsigned generation = 0;  // counts the timer's settings; a tick of an older one is dropped
        bool held = false;
    };

    void RunHandler(const Event& event);
    void RaiseWaiting();
    HeldTick& HeldTickOf(TimerId timer) { return heldTicks_[static_cast<std::size_t>(timer)]; }

    std::function<void(const Event&)> run_;
    std::deque<Event> waiting_;
    std::array<HeldTick, TimerCount> heldTicks_{};
    int handlers_ = 0;
    int waits_ = 0;
    int calls_ = 0;
};

}  // namespace pontara
