#pragma once
// Carrying Logger32's spot clicks, and its QSO entry while it owns the radio, into MixW.
// Responsibilities: the change of Sent (records a spot click, tells Logger32 the Cluster field,
// arms Timer3) and the one-shot tick of Timer3 that tunes MixW, fills its call and sets its
// mode, and mirrors and saves Logger32's QSO fields.
// Collaborations: the readers of logger32/SentTexts.h; MixW's ExecuteMacros and SetQsoData.

#include "bridge/MainWindowMembers.h"
#include "logger32/MessageLink.h"
#include "platform/Host.h"

namespace pontara::bridge {

class SpotClick {
  public:
    SpotClick(Host& host, MainWindowMembers& members, logger32::MessageLink& link)
        : host_(host), members_(members), link_(link) {}

    void SentChanged();
    void Timer3Tick();

  private:
    void TuneToSpot(const Text& spotText);
    void MirrorLogger32Qso();
    // The macros of a mode; USB and LSB are known only in Logger32's QSO entry.
    void SetMode(const Text& mode, bool fromQsoEntry);

    Host& host_;
    MainWindowMembers& members_;
    logger32::MessageLink& link_;
};

}  // namespace pontara::bridge
