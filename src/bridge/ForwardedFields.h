#pragma once
// The QSO values that forwarding carries from MixW to Logger32, one row each, in the order in
// which the fields' links open. A row gives the main window's field that mirrors the value, the
// placeholder written into the field just before its link opens, the field's DDE link to MixW,
// MixW's QSO-data index of the same entry field where MixW has one, whether a change sends the
// record again, whether a hand-over of the rig forgets the value last sent, and Logger32's tag
// with its place in the QSO record.
// Forwarding (which opens the window's links), the record, the spot click's QSO mirroring and
// the simulated and stand-in MixW's DDE items all derive from this table.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "mixw/MixWAutomation.h"
#include "platform/WindowControls.h"

namespace pontara::bridge {

struct ForwardedField {
    Field field;
    std::u16string_view placeholder;
    mixw::DdeLink link;
    std::optional<mixw::QsoDataIndex> index;  // GetQsoData and SetQsoData reach the same value
    bool watched;                             // a change sends the record again
    bool forgotten;                           // a hand-over makes the next ticks send it again
    std::u16string_view tag;                  // Logger32's tag in the record; empty: not in it
    int place;                                // the token's place in the record, from 1
};

inline constexpr std::nullopt_t NoIndex = std::nullopt;

// The QSO entry's state, MixW's QSO-data item 13, has no field: it is read on every run,
// watched, kept on a hand-over and sent as this token.
struct StateToken {
    std::u16string_view tag;
    int place;
};
inline constexpr StateToken State{u"STATE", 9};

// "Time" names its service in capitals, as the window has always stored it. Mode is sent by a
// command of its own (ForceModeCommand), never in the record.
// clang-format off
inline constexpr std::array ForwardedFields{
    //             field                 placeholder    link                       index                     watched forgotten tag            place
    ForwardedField{Field::Callsign,    u"Call",      {u"MixW|QSO", u"Call"},    mixw::CallIndex,          true,   false,    u"CALL",       1},
    ForwardedField{Field::RSTr,        u"RST rcv",   {u"MixW|QSO", u"RstRcv"},  mixw::RstReceivedIndex,   true,   true,     u"RST_RCVD",   2},
    ForwardedField{Field::RSTs,        u"RST snt",   {u"MixW|QSO", u"RstSnt"},  mixw::RstSentIndex,       false,  false,    u"RST_SENT",   3},
    ForwardedField{Field::Freq,        u"Frequency", {u"MixW|CAT", u"khz"},     NoIndex,                  false,  false,    u"",           0},
    ForwardedField{Field::HisName,     u"Name",      {u"MixW|QSO", u"Name"},    mixw::NameIndex,          true,   true,     u"NAME",       5},
    ForwardedField{Field::TextCommand, u"Command",   {u"MixW|QSO", u"Command"}, NoIndex,                  false,  false,    u"",           0},
    ForwardedField{Field::Mode,        u"Mode",      {u"MixW|QSO", u"Mode"},    NoIndex,                  false,  false,    u"",           0},
    ForwardedField{Field::Qth,         u"Qth",       {u"MixW|QSO", u"qth"},     NoIndex,                  true,   true,     u"QTH",        4},
    ForwardedField{Field::Time,        u"Time",      {u"MIXW|QSO", u"time"},    NoIndex,                  false,  false,    u"",           0},
    ForwardedField{Field::IOTA,        u"IOTA",      {u"MixW|QSO", u"IOTA"},    NoIndex,                  true,   false,    u"IOTA",       8},
    ForwardedField{Field::Locator,     u"Loc",       {u"MixW|QSO", u"Loc"},     NoIndex,                  true,   false,    u"GRIDSQUARE", 7},
    ForwardedField{Field::QslManag,    u"Manager",   {u"MixW|QSO", u"Manager"}, NoIndex,                  true,   false,    u"QSL_VIA",    10},
    ForwardedField{Field::Notes,       u"Notes",     {u"MixW|QSO", u"Notes"},   NoIndex,                  true,   true,     u"COMMENT",    6},
};
// clang-format on

// The number of tokens in the record: the fields' and the state's.
inline constexpr int RecordLength = [] {
    int count = 1;
    for (const ForwardedField& row : ForwardedFields) {
        count += row.place != 0 ? 1 : 0;
    }
    return count;
}();

// The rows in the order of their places in the record; none at the state's place.
inline constexpr std::array<const ForwardedField*, RecordLength> RecordOrder = [] {
    std::array<const ForwardedField*, RecordLength> order{};
    for (const ForwardedField& row : ForwardedFields) {
        if (row.place != 0) {
            order[static_cast<std::size_t>(row.place - 1)] = &row;
        }
    }
    return order;
}();

constexpr bool IsForwarded(Field field) {
    for (const ForwardedField& row : ForwardedFields) {
        if (row.field == field) {
            return true;
        }
    }
    return false;
}

// The row of a forwarded field; only for a field in the table.
constexpr const ForwardedField& ForwardedOf(Field field) {
    for (const ForwardedField& row : ForwardedFields) {
        if (row.field == field) {
            return row;
        }
    }
    throw "not a forwarded field";  // a compile-time error where the field is a constant
}

// Every place of the record is taken by exactly one token, the state's included.
static_assert([] {
    for (int place = 1; place <= RecordLength; ++place) {
        int holders = State.place == place ? 1 : 0;
        for (const ForwardedField& row : ForwardedFields) {
            holders += row.place == place ? 1 : 0;
        }
        if (holders != 1) {
            return false;
        }
    }
    return true;
}());

}  // namespace pontara::bridge
