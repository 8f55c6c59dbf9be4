#pragma once
// Forwarding MixW's QSO to Logger32 while MixW owns the radio.
// Responsibilities: the Timer2 tick (ends the program when a peer is lost, opens the fields'
// DDE links on its first run) and ForwardQsoData, which sends Logger32 at most one command per
// tick: the frequency, else the mode, else the QSO record.
// Collaborations: MixW's automation object and the linked fields for the values; the text
// commands of logger32/TextCommands.h delivered to Logger32's text window.

#include <array>
#include <optional>

#include "bridge/MainWindowMembers.h"
#include "logger32/MessageLink.h"
#include "platform/Host.h"

namespace pontara::bridge {

// The interval of Timer2 while MixW owns the rig.
inline constexpr int ForwardingInterval = 800;

// Timer2 at ForwardingInterval, then enabled: forwarding runs, a full interval from now.
void StartForwarding(Host& host);
// Timer2 at interval 0, then disabled: forwarding stops.
void StopForwarding(Host& host);

// What QSO forwarding last sent, to tell a change.
struct Forwarded {
    Text frequency;                       // the megahertz text of FqA + AudioFq
    Text mode;                            // the Mode field, as read before the mode mapping
    std::array<Text, FieldCount> fields;  // the watched fields of the last record, by Field
    Text state;                           // MixW's QSO-data item 13

    // Makes the next ticks send the frequency, the mode and the record again.
    void Forget();
};

// MixW's QSO as forwarding hands it to Logger32: the values of its three commands.
struct QsoAsForwarded {
    Text frequency;  // the kilohertz of APP_FORCE_FREQ, in the user's locale
    Text mode;       // the mode of APP_FORCE_MODE, as Logger32 names it
    Text record;     // the QSO record: every forwarded field and the state
};

class QsoForwarding {
  public:
    QsoForwarding(Host& host, MainWindowMembers& members, logger32::MessageLink& link)
        : host_(host), members_(members), link_(link) {}

    void Timer2Tick();
    void ForwardQsoData();
    // When the rig changes hands or a new Logger32 has connected.
    void Forget() { last_.Forget(); }
    // MixW's QSO as it is now, read as ForwardQsoData reads it (the Locator field takes MixW's
    // item 19 first), whatever was forwarded before: what a QSO saved now must be logged with.
    // A MixW busy in a dialog of its own leaves the locator, the state and the dial it last
    // answered.
    QsoAsForwarded QsoNow();

  private:
    void OpenLinks();
    void ReadLocatorAndState(MixWAutomation& mixw);
    bool ForwardFrequency(MixWAutomation& mixw);
    // MixW's dial and audio offset, which a QSO held while MixW is busy keeps.
    struct Dial {
        double fqA;
        double audioFq;
    };
    Dial ReadDial(MixWAutomation& mixw);
    // The kilohertz Logger32 is told for a dial in the current mode, in the user's locale.
    Text FrequencyText(const Dial& dial) const;
    bool ForwardMode();
    void ForwardRecord(const Text& state);

    Host& host_;
    MainWindowMembers& members_;
    logger32::MessageLink& link_;
    Forwarded last_;
    // What MixW last answered of the locator, the state and the dial, for a QSO held while
    // MixW is busy.
    struct {
        Text locator;
        Text state;
        std::optional<Dial> dial;
    } heard_;
};

// The frequency Logger32 is told, in kilohertz: the dial alone in the voice, CW, RTTY and SSTV
// modes; otherwise the dial moved by the audio offset, down for upper-sideband packet.
double KilohertzToSend(TextView mode, bool packetUsb, double fqA, double audioFq);
// The mode as Logger32 names it: MixW's names that Logger32 knows by another are mapped.
Text Logger32ModeName(TextView mixwMode);

}  // namespace pontara::bridge
