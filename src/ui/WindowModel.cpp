#include "ui/WindowModel.h"

#include <array>
#include <cassert>

#include "bridge/StatusTexts.h"
#include "mixw/MixWAutomation.h"

namespace pontara::window_model {

namespace {

// The field's link, from MixW's table of DDE items.
constexpr std::optional<DdeLink> LinkOf(Field field) {
    for (const mixw::DdeItem& item : mixw::DdeItems) {
        if (item.field == field) {
            return DdeLink{item.link, item.name};
        }
    }
    return std::nullopt;
}

constexpr Colour Yellow = colours::FieldBack;

// In the order of the Field enumeration, so that Of(Field) is an index.
constexpr std::array kFields{
    FieldModel{Field::Text1,
               u"Text1",
               status::WaitingForLogger32AndMixW,
               {120, 120, 3012, 375},
               Yellow,
               Font::BoldItalic,
               LinkOf(Field::Text1)},
    FieldModel{Field::Mode,
               u"Mode",
               u"Mode",
               {1080, 720, 1572, 372},
               Yellow,
               Font::Bold,
               LinkOf(Field::Mode)},
    FieldModel{Field::Freq,
               u"Freq",
               u"14075.45",
               {1080, 1200, 1575, 375},
               Yellow,
               Font::Bold,
               LinkOf(Field::Freq)},
    FieldModel{Field::Time,
               u"Time",
               u"Time",
               {1080, 1680, 1572, 372},
               Yellow,
               Font::Bold,
               LinkOf(Field::Time)},
    FieldModel{Field::Callsign,
               u"Callsign",
               u"Call",
               {1080, 2160, 1575, 375},
               Yellow,
               Font::Bold,
               LinkOf(Field::Callsign)},
    FieldModel{Field::HisName,
               u"HisName",
               u"Name",
               {1080, 2640, 1575, 375},
               Yellow,
               Font::Bold,
               LinkOf(Field::HisName)},
    FieldModel{Field::Qth,
               u"Qth",
               u"Qth",
               {1080, 3120, 1572, 372},
               Yellow,
               Font::Bold,
               LinkOf(Field::Qth)},
    FieldModel{Field::RSTr,
               u"RSTr",
               u"RSTr",
               {1080, 3600, 1575, 375},
               Yellow,
               Font::Bold,
               LinkOf(Field::RSTr)},
    FieldModel{Field::RSTs,
               u"RSTs",
               u"RSTs",
               {1080, 4080, 1575, 375},
               Yellow,
               Font::Bold,
               LinkOf(Field::RSTs)},
    FieldModel{Field::IOTA,
               u"IOTA",
               u"IOTA",
               {1080, 4560, 1575, 375},
               Yellow,
               Font::Bold,
               LinkOf(Field::IOTA)},
    FieldModel{Field::Locator,
               u"Locator",
               u"Locator",
               {1080, 5040, 1575, 375},
               Yellow,
               Font::Bold,
               LinkOf(Field::Locator)},
    FieldModel{Field::QslManag,
               u"QslManag",
               u"QslManager",
               {1080, 5520, 1575, 375},
               colours::ManagerBack,
               Font::Bold,
               LinkOf(Field::QslManag)},
    FieldModel{Field::Notes,
               u"Notes",
               u"Notes",
               {1080, 6000, 1575, 375},
               Yellow,
               Font::Bold,
               LinkOf(Field::Notes)},
    FieldModel{Field::TextCommand,
               u"TextCommand",
               u"Command",
               {1560, 8280, 1335, 375},
               std::nullopt,
               Font::Default,
               LinkOf(Field::TextCommand)},
    FieldModel{Field::Sent,
               u"Sent",
               u"Sent",
               {360, 8640, 2535, 375},
               std::nullopt,
               Font::Default,
               LinkOf(Field::Sent)},
    FieldModel{Field::Cluster,
               u"Cluster",
               u"Cluster",
               {360, 9120, 2532, 372},
               std::nullopt,
               Font::Default,
               LinkOf(Field::Cluster)},
    FieldModel{Field::Freq_logger32,
               u"Freq_logger32",
               u"Freq_Logger32",
               {360, 9600, 2532, 492},
               std::nullopt,
               Font::Default,
               LinkOf(Field::Freq_logger32)},
};

constexpr std::array kLabels{
    LabelModel{u"Label8", u"Mode", {120, 840, 732, 252}, Font::Bold},
    LabelModel{u"Label4", u"KHz", {120, 1320, 492, 252}, Font::Bold},
    LabelModel{u"Times", u"Time", {120, 1800, 732, 252}, Font::Bold},
    LabelModel{u"Label1", u"Callsign", {120, 2280, 732, 252}, Font::Bold},
    LabelModel{u"Label5", u"Name", {120, 2760, 492, 252}, Font::Bold},
    LabelModel{u"Label7", u"QTH", {120, 3240, 612, 252}, Font::Bold},
    LabelModel{u"Label2", u"RST rcvd", {120, 3720, 852, 252}, Font::Bold},
    LabelModel{u"Label3", u"RST snt", {120, 4200, 732, 252}, Font::Bold},
    LabelModel{u"Label11", u"IOTA", {120, 4680, 855, 375}, Font::Bold},
    LabelModel{u"Label12", u"Locator", {120, 5160, 975, 375}, Font::Bold},
    LabelModel{u"Manager", u"Manager", {120, 5640, 855, 375}, Font::Bold},
    LabelModel{u"Label9", u"Notes", {120, 6120, 855, 255}, Font::Bold},
    LabelModel{
        u"Label10", u"          Control  CAT,PTT,SoundCard", {720, 6600, 1935, 495}, Font::Bold},
    LabelModel{u"Label6", u"Command", {360, 8040, 855, 255}, Font::Default},
};

// In the order of the Button enumeration.
constexpr std::array kButtons{
    ButtonModel{Button::Command1,
                u"Command1",
                u"MixW2",
                {240, 7080, 975, 375},
                false,
                colours::ButtonFace,
                Font::Bold},
    ButtonModel{Button::Command2,
                u"Command2",
                u"Lg32",
                {1920, 7080, 1095, 375},
                false,
                colours::Menu,
                Font::Bold},
    ButtonModel{Button::Command3,
                u"Command3",
                u"PKT LSB",
                {1080, 7560, 1095, 375},
                true,
                colours::ButtonFace,
                Font::Bold},
    ButtonModel{Button::CommandSend,
                u"CommandSend",
                u"Send!",
                {720, 10800, 1575, 375},
                true,
                std::nullopt,
                Font::Default},
};

// In the order of the TimerId enumeration.
constexpr std::array kTimers{
    TimerModel{TimerId::Timer, u"Timer", 0, true},
    TimerModel{TimerId::Timer1, u"Timer1", SequencerDelay, false},
    TimerModel{TimerId::Timer2, u"Timer2", 300, false},
    TimerModel{TimerId::Timer3, u"Timer3", SpotInterval, true},
    TimerModel{TimerId::Timer4, u"Timer4", 3000, true},
    TimerModel{TimerId::Timer5, u"Timer5", 2000, false},
};

static_assert(kFields.size() == FieldCount);
static_assert(kButtons.size() == ButtonCount);
static_assert(kTimers.size() == TimerCount);

}  // namespace

std::span<const FieldModel> Fields() {
    return kFields;
}
std::span<const LabelModel> Labels() {
    return kLabels;
}
std::span<const ButtonModel> Buttons() {
    return kButtons;
}
std::span<const TimerModel> Timers() {
    return kTimers;
}

const FieldModel& Of(Field field) {
    const FieldModel& model = kFields[static_cast<std::size_t>(field)];
    assert(model.field == field && "kFields must follow the order of Field");
    return model;
}

const ButtonModel& Of(Button button) {
    const ButtonModel& model = kButtons[static_cast<std::size_t>(button)];
    assert(model.button == button && "kButtons must follow the order of Button");
    return model;
}

const TimerModel& Of(TimerId timer) {
    const TimerModel& model = kTimers[static_cast<std::size_t>(timer)];
    assert(model.timer == timer && "kTimers must follow the order of TimerId");
    return model;
}

}  // namespace pontara::window_model
