#include "ui/WindowModel.h"

#include <array>

#include "bridge/ForwardedFields.h"
#include "bridge/StatusTexts.h"

namespace pontara::window_model {

namespace {

// The field's link, from the table of forwarded fields.
constexpr std::optional<DdeLink> LinkOf(Field field) {
    if (bridge::IsForwarded(field)) {
        return bridge::ForwardedOf(field).link;
    }
    return std::nullopt;
}

constexpr Colour Yellow = colours::FieldBack;

// A QSO field of the visible column and the caption to its left. Row n, from the top, puts its
// field at FirstRowTop + n * RowPitch and its caption CaptionDrop lower.
struct QsoRow {
    Field field;
    std::u16string_view name;
    std::u16string_view textAtCreation;
    int width;
    int height;
    Colour back;
    std::u16string_view label;
    std::u16string_view caption;
    int captionWidth;
    int captionHeight;
};

constexpr int FieldLeft = 1080;
constexpr int CaptionLeft = 120;
constexpr int FirstRowTop = 720;
constexpr int RowPitch = 480;
constexpr int CaptionDrop = 120;

// Top to bottom, in the order of the Field enumeration.
// clang-format off
constexpr std::array kQsoRows{
    //     field             name         text at creation  width  height back                  caption     text         width  height
    QsoRow{Field::Mode,     u"Mode",     u"Mode",          1572,  372,   Yellow,               u"Label8",  u"Mode",     732,   252},
    QsoRow{Field::Freq,     u"Freq",     u"14075.45",      1575,  375,   Yellow,               u"Label4",  u"KHz",      492,   252},
    QsoRow{Field::Time,     u"Time",     u"Time",          1572,  372,   Yellow,               u"Times",   u"Time",     732,   252},
    QsoRow{Field::Callsign, u"Callsign", u"Call",          1575,  375,   Yellow,               u"Label1",  u"Callsign", 732,   252},
    QsoRow{Field::HisName,  u"HisName",  u"Name",          1575,  375,   Yellow,               u"Label5",  u"Name",     492,   252},
    QsoRow{Field::Qth,      u"Qth",      u"Qth",           1572,  372,   Yellow,               u"Label7",  u"QTH",      612,   252},
    QsoRow{Field::RSTr,     u"RSTr",     u"RSTr",          1575,  375,   Yellow,               u"Label2",  u"RST rcvd", 852,   252},
    QsoRow{Field::RSTs,     u"RSTs",     u"RSTs",          1575,  375,   Yellow,               u"Label3",  u"RST snt",  732,   252},
    QsoRow{Field::IOTA,     u"IOTA",     u"IOTA",          1575,  375,   Yellow,               u"Label11", u"IOTA",     855,   375},
    QsoRow{Field::Locator,  u"Locator",  u"Locator",       1575,  375,   Yellow,               u"Label12", u"Locator",  975,   375},
    QsoRow{Field::QslManag, u"QslManag", u"QslManager",    1575,  375,   colours::ManagerBack, u"Manager", u"Manager",  855,   375},
    QsoRow{Field::Notes,    u"Notes",    u"Notes",         1575,  375,   Yellow,               u"Label9",  u"Notes",    855,   255},
};
// clang-format on

constexpr int RowTop(std::size_t row) {
    return FirstRowTop + RowPitch * static_cast<int>(row);
}

// What lies under the QSO column is placed from the column's foot, so that a new row moves it
// down: the rig buttons, the client area's bottom edge, and below that the hidden fields.
constexpr int ColumnFoot = RowTop(kQsoRows.size());
constexpr int Below(int twips) {
    return ColumnFoot + twips;
}
constexpr int ClientHeight = Below(1560);

// clang-format off
constexpr FieldModel StatusLine{Field::Text1, u"Text1", status::WaitingForLogger32AndMixW, {120, 120, 3012, 375}, Yellow, Font::BoldItalic, std::nullopt};

// Below the visible part of the client area, in the order of the Field enumeration.
constexpr std::array kFieldsBelow{
    FieldModel{Field::TextCommand,   u"TextCommand",   u"Command",       {1560, Below(1800), 1335, 375}, std::nullopt, Font::Default, LinkOf(Field::TextCommand)},
    FieldModel{Field::Sent,          u"Sent",          u"Sent",          {360,  Below(2160), 2535, 375}, std::nullopt, Font::Default, std::nullopt},
    FieldModel{Field::Cluster,       u"Cluster",       u"Cluster",       {360,  Below(2640), 2532, 372}, std::nullopt, Font::Default, std::nullopt},
    FieldModel{Field::Freq_logger32, u"Freq_logger32", u"Freq_Logger32", {360,  Below(3120), 2532, 492}, std::nullopt, Font::Default, std::nullopt},
};

constexpr std::array kLabelsBelow{
    LabelModel{u"Label10", u"          Control  CAT,PTT,SoundCard", {720, Below(120),  1935, 495}, Font::Bold},
    LabelModel{u"Label6",  u"Command",                              {360, ClientHeight, 855,  255}, Font::Default},
};

// In the order of the Button enumeration.
constexpr std::array kButtons{
    ButtonModel{Button::Command1,    u"Command1",    u"MixW2",   {240,  Below(600),  975,  375}, false, colours::ButtonFace, Font::Bold},
    ButtonModel{Button::Command2,    u"Command2",    u"Lg32",    {1920, Below(600),  1095, 375}, false, colours::Menu,       Font::Bold},
    ButtonModel{Button::Command3,    u"Command3",    u"PKT LSB", {1080, Below(1080), 1095, 375}, true,  colours::ButtonFace, Font::Bold},
    ButtonModel{Button::CommandSend, u"CommandSend", u"Send!",   {720,  Below(4320), 1575, 375}, true,  std::nullopt,        Font::Default},
};
// clang-format on

// In the order of the Field enumeration, so that Of(Field) is an index.
constexpr std::array kFields = [] {
    std::array<FieldModel, FieldCount> fields{};
    std::size_t next = 0;
    fields[next++] = StatusLine;
    for (std::size_t row = 0; row < kQsoRows.size(); ++row) {
        const QsoRow& qso = kQsoRows[row];
        fields[next++] =
            FieldModel{qso.field,          qso.name,
                       qso.textAtCreation, {FieldLeft, RowTop(row), qso.width, qso.height},
                       qso.back,           Font::Bold,
                       LinkOf(qso.field)};
    }
    for (const FieldModel& below : kFieldsBelow) {
        fields[next++] = below;
    }
    return fields;
}();

constexpr std::array kLabels = [] {
    std::array<LabelModel, kQsoRows.size() + kLabelsBelow.size()> labels{};
    std::size_t next = 0;
    for (std::size_t row = 0; row < kQsoRows.size(); ++row) {
        const QsoRow& qso = kQsoRows[row];
        labels[next++] = LabelModel{
            qso.label,
            qso.caption,
            {CaptionLeft, RowTop(row) + CaptionDrop, qso.captionWidth, qso.captionHeight},
            Font::Bold};
    }
    for (const LabelModel& below : kLabelsBelow) {
        labels[next++] = below;
    }
    return labels;
}();

// In the order of the TimerId enumeration.
constexpr std::array kTimers{
    TimerModel{TimerId::Timer, u"Timer", 0, true},
    TimerModel{TimerId::Timer1, u"Timer1", SequencerDelay, false},
    TimerModel{TimerId::Timer2, u"Timer2", 300, false},
    TimerModel{TimerId::Timer3, u"Timer3", SpotInterval, true},
    TimerModel{TimerId::Timer4, u"Timer4", 3000, true},
    TimerModel{TimerId::Timer5, u"Timer5", 2000, false},
};

// Whether a table has one row for each value of its enumeration, in its order, so that Of() is
// an index.
template <typename Table, typename Key>
constexpr bool InOrderOf(const Table& table, Key(Table::value_type::*key), int count) {
    if (static_cast<int>(table.size()) != count) {
        return false;
    }
    for (std::size_t index = 0; index < table.size(); ++index) {
        if (table[index].*key != static_cast<Key>(index)) {
            return false;
        }
    }
    return true;
}
static_assert(InOrderOf(kFields, &FieldModel::field, FieldCount));
static_assert(InOrderOf(kButtons, &ButtonModel::button, ButtonCount));
static_assert(InOrderOf(kTimers, &TimerModel::timer, TimerCount));

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
    return kFields[static_cast<std::size_t>(field)];
}

const ButtonModel& Of(Button button) {
    return kButtons[static_cast<std::size_t>(button)];
}

int ClientHeightTwips() {
    return ClientHeight;
}

const TimerModel& Of(TimerId timer) {
    return kTimers[static_cast<std::size_t>(timer)];
}

}  // namespace pontara::window_model
