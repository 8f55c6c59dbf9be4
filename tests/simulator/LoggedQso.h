#pragma once
// The station simulator's own knowledge of what Logger32 must receive for a QSO, written from
// the protocol as designed and never taken from the bridge: the QSO record and the logging
// (written out in support/ExpectedRecord.h), the kilohertz and the mode name a held QSO is
// delivered on. The simulator fills in
// MixW's entry as the operator left it; the bridge's tables are not read here, so a wrong row
// there cannot agree with itself.

#include <map>
#include <optional>
#include <string>

#include "platform/Text.h"

namespace pontara::simulation {

// MixW's entry and dial at one moment, as the simulated MixW holds them.
struct MixWEntry {
    // The DDE items of topic QSO by lower-case name, as the operator typed them; an item never
    // typed leaves its field showing the placeholder written before its link opened.
    std::map<Text, Text> items;
    Text locator;            // QSO-data item 19
    Text state;              // QSO-data item 13
    bool dialKnown = false;  // MixW has answered its dial and audio offset
    double fqA = 0;
    double audioFq = 0;
    bool packetUsb = false;
};

// The QSO record of `entry`: its tokens, in the order the protocol gives them.
Text RecordOf(const MixWEntry& entry);

// The mode text of `entry` as Logger32 is told it, and the kilohertz of its dial in that mode
// and sideband, with "." as the decimal separator.
Text Logger32Mode(const MixWEntry& entry);
Text Kilohertz(const MixWEntry& entry);

// What Logger32 must receive for one logging: the APP_LOGQSO text, and for a QSO held while
// Logger32 was away, the frequency and mode texts that come right before it.
struct LoggingExpected {
    Text logQso;
    std::optional<Text> forceFrequency;
    std::optional<Text> forceMode;
};

// A logging delivered at once: the record last sent (with the time tokens of the loggings
// since), then this one's time tokens.
Text LogQsoAfter(TextView lastRecordText, TextView time);
// A QSO held while Logger32 is away: its own record and time tokens, and, when it was saved
// while MixW owned the rig, its own frequency (when MixW had told it) and mode.
LoggingExpected HeldLogging(const MixWEntry& entry, TextView time, bool withDial);

}  // namespace pontara::simulation
