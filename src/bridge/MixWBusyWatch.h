#pragma once
// A MixW busy in a dialog of its own, for as long as it stays busy.
// Responsibilities: saying so on the status line; trying the put-off calls again on Timer6 while
// any wait; putting the owner of the rig back on the status line once MixW answers.
// Collaborations: told by mixw::DeferringMixW, which holds the put-off calls; Logger32Watch names
// the owner. Nothing ends and nothing is lost meanwhile: reads wait for the next Timer2 tick,
// and every macro and SetQsoData is made, in order, when MixW takes calls again.

#include <functional>

#include "bridge/Logger32Watch.h"
#include "mixw/DeferringMixW.h"
#include "platform/Host.h"

namespace pontara::bridge {

class MixWBusyWatch final : public mixw::BusyListener {
  public:
    MixWBusyWatch(Host& host, Logger32Watch& watch) : host_(host), watch_(watch) {}

    void MixWBusy(std::function<bool()> tryAgain) override;
    void MixWAnswers() override;
    void Timer6Tick();

  private:
    Host& host_;
    Logger32Watch& watch_;
    std::function<bool()> tryAgain_;
};

}  // namespace pontara::bridge
