// When the bridge's events run: at once, queued behind a sequencer wait, held inside a call,
// dropped when stale, and never raised below a handler that still runs.

#include "platform/EventGate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pontara {
namespace {

using ::testing::ElementsAre;

class Gate : public ::testing::Test {
  protected:
    EventGate::Event Log(std::string what) {
        return [this, what] { log.push_back(what); };
    }

    std::vector<std::string> log;
    EventGate gate{[](const EventGate::Event& event) { event(); }};
};

TEST_F(Gate, AnEventOutsideAnyWaitRunsInsideTheRaise) {
    gate.Raise(Log("click"));
    EXPECT_THAT(log, ElementsAre("click"));
    gate.TimerElapsed(TimerId::Timer2, Log("Timer2"));
    EXPECT_THAT(log, ElementsAre("click", "Timer2"));
}

TEST_F(Gate, EventsDuringASequencerWaitRunAfterItsHandlerInArrivalOrder) {
    gate.Raise([this] {
        log.push_back("Timer1 waits");
        {
            EventGate::SequencerWait wait(gate);
            gate.Raise(Log("field"));
            gate.TimerElapsed(TimerId::Timer3, Log("Timer3"));
            gate.TimerElapsed(TimerId::Timer3, Log("Timer3 again"));
            gate.Raise(Log("message"));
            log.push_back("wait over");
        }
        log.push_back("Timer1 returns");
    });
    EXPECT_THAT(log, ElementsAre("Timer1 waits", "wait over", "Timer1 returns", "field", "Timer3",
                                 "message"));
}

TEST_F(Gate, ATickInsideACallIsHeldOncePerTimerAndRaisedAfterTheOutermostHandler) {
    gate.Raise([this] {
        EventGate::Call call(gate);
        gate.TimerElapsed(TimerId::Timer2, Log("Timer2"));
        gate.TimerElapsed(TimerId::Timer3, Log("Timer3"));
        gate.TimerElapsed(TimerId::Timer2, Log("Timer2 again"));
        // The call's modal loop dispatches a click: it runs at once, and its return raises
        // nothing while the handler below it still waits.
        gate.Raise([this] {
            log.push_back("click");
            gate.TimerElapsed(TimerId::Timer3, Log("Timer3 inside the click"));
        });
        log.push_back("call returns");
    });
    EXPECT_THAT(log, ElementsAre("click", "call returns", "Timer2", "Timer3"));
}

TEST_F(Gate, AHeldTickIsDroppedWhenItsTimerIsSetAgainAndTheNextOneIsHeldAfresh) {
    gate.Raise([this] {
        EventGate::Call call(gate);
        gate.TimerElapsed(TimerId::Timer2, Log("Timer2 before"));
        gate.TimerElapsed(TimerId::Timer3, Log("Timer3 before"));
        gate.TimerSet(TimerId::Timer2);  // restarted
        gate.TimerSet(TimerId::Timer3);  // stopped
        gate.TimerElapsed(TimerId::Timer2, Log("Timer2 after"));
        gate.TimerElapsed(TimerId::Timer2, Log("Timer2 after, again"));
    });
    EXPECT_THAT(log, ElementsAre("Timer2 after"));
}

TEST_F(Gate, TheSessionEndRunsAtOnceInsideASequencerWaitAndRaisesNothingThatWaits) {
    EventGate::SequencerWait wait(gate);
    gate.Raise(Log("click"));
    gate.RaiseAtOnce([this] {
        log.push_back("session ends");
        gate.Raise(Log("raised by the session's end"));
    });
    EXPECT_THAT(log, ElementsAre("session ends"));
}

TEST_F(Gate, AHandlerThatWaitsInsideANestedOneIsFollowedByItsQueueOnlyAtTheOutermostReturn) {
    gate.Raise([this] {
        log.push_back("box opens");
        // The box's modal loop dispatches a tick whose handler waits for the sequencer.
        gate.Raise([this] {
            EventGate::SequencerWait wait(gate);
            gate.Raise(Log("message during the wait"));
        });
        EXPECT_THAT(log, ElementsAre("box opens"));
        log.push_back("box closes");
    });
    EXPECT_THAT(log, ElementsAre("box opens", "box closes", "message during the wait"));
}

TEST_F(Gate, EveryEventRunsThroughTheHostsRunner) {
    std::vector<std::string> ran;
    EventGate counted{[&](const EventGate::Event& event) {
        ran.push_back("run");
        event();
    }};
    counted.Raise([&] {
        EventGate::Call call(counted);
        counted.TimerElapsed(TimerId::Timer, [&] { ran.push_back("Timer"); });
    });
    EXPECT_THAT(ran, ElementsAre("run", "run", "Timer"));
}

}  // namespace
}  // namespace pontara
