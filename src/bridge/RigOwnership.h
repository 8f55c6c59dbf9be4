#pragma once
// Which program owns the radio's CAT and PTT ports and the sound card, and the handovers.
// Responsibilities: the actions of Command1 (MixW takes the rig), Command2 (Logger32 takes it)
// and Command3 (packet sideband), and tuning MixW to Logger32's dial while Logger32 owns it.
// Collaborations: MessageLink posts the handover codes; MixW toggles its ports by macro; QSO
// forwarding (Timer2) runs only while MixW owns the rig.

#include "bridge/MainWindowMembers.h"
#include "bridge/QsoForwarding.h"
#include "logger32/MessageLink.h"
#include "platform/Host.h"

namespace pontara::bridge {

// MixW opens or closes its CAT and PTT ports, through `mixw`.
void ToggleMixWPorts(MixWAutomation& mixw);

class RigOwnership {
  public:
    RigOwnership(Host& host, MainWindowMembers& members, logger32::MessageLink& link,
                 QsoForwarding& forwarding)
        : host_(host), members_(members), link_(link), forwarding_(forwarding) {}

    void GiveRigToMixW();             // the action of Command1
    void GiveRigToLogger32();         // the action of Command2
    void TogglePacketSideband();      // the action of Command3
    void Logger32FrequencyChanged();  // change of Freq_logger32

    // The box that asks the operator to free the sound card before MixW takes it.
    void AskToCloseSoundcardWindows();
    // MixW opens or closes its CAT and PTT ports.
    void ToggleMixWPorts();

  private:
    Host& host_;
    MainWindowMembers& members_;
    logger32::MessageLink& link_;
    QsoForwarding& forwarding_;
};

}  // namespace pontara::bridge
