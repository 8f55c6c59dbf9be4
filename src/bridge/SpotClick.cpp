#include "bridge/SpotClick.h"

#include <array>

#include "bridge/ForwardedFields.h"
#include "logger32/SentTexts.h"
#include "logger32/TextCommands.h"
#include "mixw/MixWMacros.h"
#include "platform/Timers.h"
#include "ui/WindowModel.h"

namespace pontara::bridge {

namespace {

// Replaces the handled QSO entry in Sent, so that the next tick finds no token in it.
constexpr TextView Saved = u"SAVE";

struct ModeMacros {
    TextView mode;
    bool inSpots;
    std::array<TextView, 2> macros;  // the second may be empty
};

constexpr std::array<ModeMacros, 9> ModeTable{{
    {u"CW", true, {macros::ModeCw, {}}},
    {u"USB", false, {macros::ModeSsb, {}}},
    {u"LSB", false, {macros::ModeSsb, {}}},
    {u"SSB", true, {macros::ModeSsb, {}}},
    {u"RTTY", true, {macros::ModeRtty, {}}},
    {u"PSK31", true, {macros::ModeBpsk31, {}}},
    {u"PSK63", true, {macros::ModeBpsk31, macros::Baudrate63}},
    {u"PSK125", true, {macros::ModeBpsk31, macros::Baudrate125}},
    {u"MFSK16", true, {macros::ModeMfsk, {}}},
}};

// The QSO values Logger32's entry carries into MixW's, by the record's tag and MixW's QSO-data
// index: the call always, the others only when the text names a mode, in this order.
constexpr const ForwardedField& Call = ForwardedOf(Field::Callsign);
constexpr std::array<const ForwardedField*, 3> FieldsAfterMode{
    &ForwardedOf(Field::RSTs),
    &ForwardedOf(Field::RSTr),
    &ForwardedOf(Field::HisName),
};
static_assert(Call.index && FieldsAfterMode[0]->index && FieldsAfterMode[1]->index &&
              FieldsAfterMode[2]->index);

bool Contains(TextView text, TextView word) {
    return text.find(word) != TextView::npos;
}

}  // namespace

void SpotClick::SentChanged() {
    members_.DX_SPOT = host_.FieldText(Field::Sent);
    members_.DX_SPOT = Text(logger32::SpotClickMark(members_.DX_SPOT));
    if (members_.DX_SPOT == logger32::tags::AppDxSpotClicked) {
        members_.DX_SPOT = host_.FieldText(Field::Sent);
        members_.DX_SPOT1 = members_.DX_SPOT;
    }
    link_.PostCode(logger32::ClusterWindow,
                   static_cast<std::int32_t>(host_.FieldWindow(Field::Cluster)));
    StartTimer(host_, TimerId::Timer3, window_model::SpotInterval);
}

void SpotClick::Timer3Tick() {
    StopTimer(host_, TimerId::Timer3);
    Text spotText = members_.DX_SPOT1;
    // Shortening the pending text means each spot click is acted on by one tick only.
    members_.DX_SPOT1 = Text(logger32::SpotClickMark(members_.DX_SPOT1));
    if (members_.MixWIsLoaded && members_.DX_SPOT1 == logger32::tags::AppDxSpotClicked) {
        TuneToSpot(spotText);
    }
    if (!members_.Logger32HasRig) {
        return;
    }
    MirrorLogger32Qso();
}

void SpotClick::TuneToSpot(const Text& spotText) {
    std::optional<logger32::SpotClick> spot = logger32::ReadSpotClick(spotText);
    if (!spot || !members_.MixWApp) {
        return;
    }
    MixWAutomation& mixw = *members_.MixWApp;
    mixw.ExecuteMacros(Text(macros::TuneOpen) + spot->frequency + Text(macros::TuneClose));
    mixw.SetQsoData(mixw::CallIndex, spot->call);
    SetMode(spot->mode, false);
}

void SpotClick::MirrorLogger32Qso() {
    if (!members_.MixWApp) {
        return;
    }
    MixWAutomation& mixw = *members_.MixWApp;
    auto sent = [this] { return host_.FieldText(Field::Sent); };
    if (Contains(sent(), logger32::EndOfRecord)) {
        mixw.ExecuteMacros(Text(macros::ClearQso));
    }
    if (std::optional<Text> call = logger32::ReadTokenValue(sent(), Call.tag)) {
        mixw.SetQsoData(*Call.index, *call);
    }
    if (Contains(sent(), logger32::tags::Mode)) {
        if (std::optional<Text> mode = logger32::ReadTokenValue(sent(), logger32::tags::Mode)) {
            SetMode(*mode, true);
        }
        for (const ForwardedField* field : FieldsAfterMode) {
            if (std::optional<Text> value = logger32::ReadTokenValue(sent(), field->tag)) {
                mixw.SetQsoData(*field->index, *value);
            }
        }
    }
    if (Contains(sent(), logger32::EndOfFile)) {
        mixw.ExecuteMacros(Text(macros::FixStartTime));
        mixw.ExecuteMacros(Text(macros::SaveQso));
        mixw.ExecuteMacros(Text(macros::ClearQso));
        host_.SetFieldText(Field::Sent, Text(Saved));
    }
}

void SpotClick::SetMode(const Text& mode, bool fromQsoEntry) {
    for (const ModeMacros& row : ModeTable) {
        if (mode != row.mode || !(row.inSpots || fromQsoEntry)) {
            continue;
        }
        for (TextView macro : row.macros) {
            if (!macro.empty()) {
                members_.MixW().ExecuteMacros(Text(macro));
            }
        }
    }
}

}  // namespace pontara::bridge
