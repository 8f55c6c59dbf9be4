#include "bridge/QsoForwarding.h"

#include <array>

#include "logger32/TextCommands.h"
#include "platform/NumberText.h"
#include "platform/PlatformError.h"
#include "ui/WindowModel.h"

namespace pontara::bridge {

namespace {

constexpr std::int16_t LocatorItem = 19;
constexpr std::int16_t StateItem = 13;

struct LinkedField {
    Field field;
    TextView placeholder;
};

// In the order the links are opened.
constexpr std::array<LinkedField, 13> LinkedFields{{
    {Field::Callsign, u"Call"},
    {Field::RSTr, u"RST rcv"},
    {Field::RSTs, u"RST snt"},
    {Field::Freq, u"Frequency"},
    {Field::HisName, u"Name"},
    {Field::TextCommand, u"Command"},
    {Field::Mode, u"Mode"},
    {Field::Qth, u"Qth"},
    {Field::Time, u"Time"},
    {Field::IOTA, u"IOTA"},
    {Field::Locator, u"Loc"},
    {Field::QslManag, u"Manager"},
    {Field::Notes, u"Notes"},
}};

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

Text MegahertzKey(MixWAutomation& mixw) {
    return SignificantDigitsText((mixw.FqA() + mixw.AudioFq()) / 1000000, u".");
}

}  // namespace

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
        members_.LastCall = u"ru";
        members_.LinksOpen = true;
    }
    ForwardQsoData();
}

void QsoForwarding::OpenLinks() {
    for (const LinkedField& linked : LinkedFields) {
        host_.SetFieldText(linked.field, Text(linked.placeholder));
        try {
            host_.OpenLink(linked.field);
        } catch (const PlatformError& error) {
            const FieldModel& model = window_model::Of(linked.field);
            throw PlatformError(u"Opening the DDE link of field " + Text(model.name) + u" to " +
                                    Text(model.link->topic) + u" item " + Text(model.link->item),
                                error.Code(), error.SystemMessage());
        }
    }
}

void QsoForwarding::ForwardQsoData() {
    MixWAutomation& mixw = members_.MixW();
    host_.SetFieldText(Field::Locator, mixw.GetQsoData(LocatorItem));
    Text state = mixw.GetQsoData(StateItem);
    if (ForwardFrequency(mixw) || ForwardMode()) {
        return;
    }
    ForwardRecord(state);
}

bool QsoForwarding::ForwardFrequency(MixWAutomation& mixw) {
    if (MegahertzKey(mixw) == members_.LastFrequency) {
        return false;
    }
    members_.LastFrequency = MegahertzKey(mixw);
    double kilohertz = KilohertzToSend(host_.FieldText(Field::Mode), members_.PacketUsb, mixw.FqA(),
                                       mixw.AudioFq());
    link_.SendTextCommand(logger32::ForceFrequencyCommand(host_.FormatDouble(kilohertz)));
    return true;
}

bool QsoForwarding::ForwardMode() {
    if (host_.FieldText(Field::Mode) == members_.LastMode) {
        return false;
    }
    members_.LastMode = host_.FieldText(Field::Mode);
    for (const ModeName& row : ModeMapping) {
        if (host_.FieldText(Field::Mode) == row.mixw) {
            host_.SetFieldText(Field::Mode, Text(row.logger32));
        }
    }
    link_.SendTextCommand(logger32::ForceModeCommand(host_.FieldText(Field::Mode)));
    return true;
}

void QsoForwarding::ForwardRecord(const Text& state) {
    if (host_.FieldText(Field::Callsign).empty()) {
        return;
    }
    struct Watched {
        Text& last;
        Text current;
    };
    std::array<Watched, 9> watched{{
        {members_.LastCall, host_.FieldText(Field::Callsign)},
        {members_.LastRstRcvd, host_.FieldText(Field::RSTr)},
        {members_.LastQth, host_.FieldText(Field::Qth)},
        {members_.LastName, host_.FieldText(Field::HisName)},
        {members_.LastNotes, host_.FieldText(Field::Notes)},
        {members_.LastIota, host_.FieldText(Field::IOTA)},
        {members_.LastLocator, host_.FieldText(Field::Locator)},
        {members_.LastQslVia, host_.FieldText(Field::QslManag)},
        {members_.LastState, state},
    }};
    bool changed = false;
    for (Watched& value : watched) {
        if (value.last != value.current) {
            value.last = value.current;
            changed = true;
        }
    }
    if (!changed) {
        return;
    }
    members_.QsoRecordText = logger32::QsoRecord({
        .call = host_.FieldText(Field::Callsign),
        .rstReceived = host_.FieldText(Field::RSTr),
        .rstSent = host_.FieldText(Field::RSTs),
        .qth = host_.FieldText(Field::Qth),
        .name = host_.FieldText(Field::HisName),
        .comment = host_.FieldText(Field::Notes),
        .gridSquare = host_.FieldText(Field::Locator),
        .iota = host_.FieldText(Field::IOTA),
        .state = state,
        .qslVia = host_.FieldText(Field::QslManag),
    });
    link_.SendTextCommand(members_.QsoRecordText);
    host_.SetFieldText(Field::TextCommand, u" ");
}

}  // namespace pontara::bridge
