#include "bridge/QsoForwarding.h"

#include <array>
#include <utility>

#include "bridge/ForwardedFields.h"
#include "logger32/TextCommands.h"
#include "mixw/MixWBusy.h"
#include "platform/NumberText.h"
#include "platform/PlatformError.h"
#include "platform/Timers.h"
#include "ui/WindowModel.h"

namespace pontara::bridge {

void StartForwarding(Host& host) {
    StartTimer(host, TimerId::Timer2, ForwardingInterval);
}

void StopForwarding(Host& host) {
    StopTimer(host, TimerId::Timer2);
}

namespace {

// Not empty: a reset makes the next tick forward again even when the fields are empty.
constexpr TextView Forgotten = u"False";
// Any real call differs from it, so the first record after the links open is forwarded.
constexpr TextView NoCallYet = u"ru";

struct ModeName {
    TextView mixw;
    TextView logger32;
};

// MixW's names that Logger32 knows by another; every other mode text passes unchanged.
constexpr std::array<ModeName, 6> ModeMapping{{
    {u"BPSK31", u"PSK31"},
    {u"BPSK63", u"PSK63"},
    {u"BPSK62", u"PSK63"},
    {u"BPSK125", u"PSK125"},
    {u"BPSK250", u"PSK250"},
    {u"MFSK", u"MFSK16"},
}};

Text MegahertzKey(double fqA, double audioFq) {
    return SignificantDigitsText((fqA + audioFq) / 1000000, u".");
}

// Every token of the record in its place: the forwarded fields' texts and the state.
Text QsoRecord(const Host& host, TextView state) {
    Text record;
    for (const ForwardedField* row : RecordOrder) {
        record += row == nullptr ? logger32::FormatTextToken(State.tag, state)
                                 : logger32::FormatTextToken(row->tag, host.FieldText(row->field));
    }
    return record;
}

}  // namespace

void Forwarded::Forget() {
    frequency = Forgotten;
    mode = Forgotten;
    for (const ForwardedField& row : ForwardedFields) {
        if (row.forgotten) {
            fields[static_cast<std::size_t>(row.field)] = Forgotten;
        }
    }
}

Text Logger32ModeName(TextView mixwMode) {
    for (const ModeName& row : ModeMapping) {
        if (mixwMode == row.mixw) {
            return Text(row.logger32);
        }
    }
    return Text(mixwMode);
}

double KilohertzToSend(TextView mode, bool packetUsb, double fqA, double audioFq) {
    if (mode == u"SSB" || mode == u"CW" || mode == u"RTTY" || mode == u"SSTV") {
        return fqA / 1000;
    }
    return (packetUsb ? fqA - audioFq : fqA + audioFq) / 1000;
}

void QsoForwarding::Timer2Tick() {
    if (!members_.MixWIsLoaded || link_.State().Logger32Window == 0) {
        host_.EndProgram();
        return;
    }
    if (!members_.LinksOpen) {
        OpenLinks();
        last_.fields[static_cast<std::size_t>(Field::Callsign)] = NoCallYet;
        members_.LinksOpen = true;
        // On Windows the links' DDE transactions wait in a modal loop that takes the operator's
        // clicks: "Lg32" may have handed the rig over while they opened, and Logger32 then gets
        // nothing of this tick.
        if (members_.Logger32HasRig) {
            return;
        }
    }
    try {
        ForwardQsoData();
    } catch (const mixw::MixWBusy&) {
        // MixW's dialog is open: nothing this tick. Nothing was remembered before a read was
        // answered, so a later tick forwards whatever is current then.
    }
}

void QsoForwarding::OpenLinks() {
    for (const ForwardedField& linked : ForwardedFields) {
        host_.SetFieldText(linked.field, Text(linked.placeholder));
        try {
            host_.OpenLink(linked.field, linked.link);
        } catch (const PlatformError& error) {
            throw PlatformError(u"Opening the DDE link of field " +
                                    Text(window_model::Of(linked.field).name) + u" to " +
                                    Text(linked.link.topic) + u" item " + Text(linked.link.item),
                                error.Code(), error.SystemMessage());
        }
    }
}

QsoAsForwarded QsoForwarding::QsoNow() {
    MixWAutomation& mixw = members_.MixW();
    try {
        ReadLocatorAndState(mixw);
        ReadDial(mixw);
    } catch (const mixw::MixWBusy&) {
        // MixW's dialog is open: the QSO keeps the locator, state and dial MixW last told, in
        // the mode and sideband of now, and the fields its links keep up to date. Locator shows
        // MixW's item 19, whatever its link delivered since.
        host_.SetFieldText(Field::Locator, heard_.locator);
    }
    return {heard_.dial ? FrequencyText(*heard_.dial) : Text(),
            Logger32ModeName(host_.FieldText(Field::Mode)), QsoRecord(host_, heard_.state)};
}

void QsoForwarding::ForwardQsoData() {
    MixWAutomation& mixw = members_.MixW();
    ReadLocatorAndState(mixw);
    if (ForwardFrequency(mixw) || ForwardMode()) {
        return;
    }
    ForwardRecord(heard_.state);
}

void QsoForwarding::ReadLocatorAndState(MixWAutomation& mixw) {
    heard_.locator = mixw.GetQsoData(mixw::LocatorIndex);
    host_.SetFieldText(Field::Locator, heard_.locator);
    heard_.state = mixw.GetQsoData(mixw::StateIndex);
}

bool QsoForwarding::ForwardFrequency(MixWAutomation& mixw) {
    // Every dial MixW answers is kept, for a QSO held while MixW is busy.
    Dial dial = ReadDial(mixw);
    if (MegahertzKey(dial.fqA, dial.audioFq) == last_.frequency) {
        return false;
    }
    dial = ReadDial(mixw);
    Text megahertz = MegahertzKey(dial.fqA, dial.audioFq);
    Text kilohertz = FrequencyText(ReadDial(mixw));
    // Remembered once MixW has answered every read: a frequency it turned away is not lost.
    last_.frequency = std::move(megahertz);
    link_.SendTextCommand(logger32::ForceFrequencyCommand(kilohertz));
    return true;
}

QsoForwarding::Dial QsoForwarding::ReadDial(MixWAutomation& mixw) {
    Dial dial{mixw.FqA(), mixw.AudioFq()};
    heard_.dial = dial;
    return dial;
}

Text QsoForwarding::FrequencyText(const Dial& dial) const {
    return host_.FormatDouble(
        KilohertzToSend(host_.FieldText(Field::Mode), members_.PacketUsb, dial.fqA, dial.audioFq));
}

bool QsoForwarding::ForwardMode() {
    if (host_.FieldText(Field::Mode) == last_.mode) {
        return false;
    }
    last_.mode = host_.FieldText(Field::Mode);
    // The field shows the name Logger32 is sent; no mapped name is mapped again.
    host_.SetFieldText(Field::Mode, Logger32ModeName(last_.mode));
    link_.SendTextCommand(logger32::ForceModeCommand(host_.FieldText(Field::Mode)));
    return true;
}

void QsoForwarding::ForwardRecord(const Text& state) {
    if (host_.FieldText(Field::Callsign).empty()) {
        return;
    }
    bool changed = false;
    auto remember = [&changed](Text& last, const Text& current) {
        if (last != current) {
            last = current;
            changed = true;
        }
    };
    for (const ForwardedField& row : ForwardedFields) {
        if (row.watched) {
            remember(last_.fields[static_cast<std::size_t>(row.field)], host_.FieldText(row.field));
        }
    }
    remember(last_.state, state);
    if (!changed) {
        return;
    }
    members_.QsoRecordText = QsoRecord(host_, state);
    link_.SendTextCommand(members_.QsoRecordText);
    host_.SetFieldText(Field::TextCommand, u" ");
}

}  // namespace pontara::bridge
