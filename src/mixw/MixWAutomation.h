#pragma once
// MixW's protocol: its automation object (attached to the running MixW of class ProgId, never
// started anew, and called by member name), its QSO-data indices and its DDE items; the macros
// are in mixw/MixWMacros.h.
// Responsibilities: the calls the bridge makes on MixW, in the bridge's own types.
// Collaborations: obtained from Host::AttachMixW; every failure is a PlatformError.

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/Text.h"
#include "platform/WindowControls.h"

namespace pontara {

namespace mixw {
// The class under which MixW registers its running automation object.
inline constexpr std::u16string_view ProgId = u"MixW2.Application";
}  // namespace mixw

class MixWAutomation {
  public:
    virtual ~MixWAutomation() = default;

    virtual Text GetQsoData(std::int16_t index) = 0;
    virtual void SetQsoData(std::int16_t index, Text& value) = 0;
    virtual void ExecuteMacros(const Text& macro) = 0;
    // Properties of MixW, in hertz: the dial frequency and the audio offset.
    virtual double FqA() = 0;
    virtual double AudioFq() = 0;
};

namespace mixw {

// The indices of GetQsoData and SetQsoData that the bridge and its stand-ins use.
enum QsoDataIndex : std::int16_t {
    CallIndex = 0,
    NameIndex = 1,
    RstReceivedIndex = 2,
    RstSentIndex = 5,
    StateIndex = 13,
    LocatorIndex = 19,
};

// A QSO-data index that is a field of MixW's QSO entry, and so also a DDE item in topic "QSO"
// with the same value.
struct QsoEntryField {
    QsoDataIndex index;
    std::u16string_view item;
};

// The service name of MixW's DDE server.
inline constexpr std::u16string_view DdeService = u"MixW";

// A DDE item of MixW and the main window's field linked to it.
struct DdeItem {
    std::u16string_view link;  // "service|topic" as the field stores it
    std::u16string_view name;
    Field field;
    std::u16string_view placeholder;  // the field's text just before its link opens
    bool watched;                     // a change makes QSO forwarding send the record again
};

// clang-format off
inline constexpr std::array QsoEntryFields{
    QsoEntryField{CallIndex,        u"Call"},
    QsoEntryField{NameIndex,        u"Name"},
    QsoEntryField{RstReceivedIndex, u"RstRcv"},
    QsoEntryField{RstSentIndex,     u"RstSnt"},
};

// In the order the bridge opens the links. The field linked to "time" names its service in
// capitals, as the window has always stored it.
inline constexpr std::array DdeItems{
    //      link          name        field               placeholder   watched
    DdeItem{u"MixW|QSO", u"Call",    Field::Callsign,    u"Call",      true},
    DdeItem{u"MixW|QSO", u"RstRcv",  Field::RSTr,        u"RST rcv",   true},
    DdeItem{u"MixW|QSO", u"RstSnt",  Field::RSTs,        u"RST snt",   false},
    DdeItem{u"MixW|CAT", u"khz",     Field::Freq,        u"Frequency", false},
    DdeItem{u"MixW|QSO", u"Name",    Field::HisName,     u"Name",      true},
    DdeItem{u"MixW|QSO", u"Command", Field::TextCommand, u"Command",   false},
    DdeItem{u"MixW|QSO", u"Mode",    Field::Mode,        u"Mode",      false},
    DdeItem{u"MixW|QSO", u"qth",     Field::Qth,         u"Qth",       true},
    DdeItem{u"MIXW|QSO", u"time",    Field::Time,        u"Time",      false},
    DdeItem{u"MixW|QSO", u"IOTA",    Field::IOTA,        u"IOTA",      true},
    DdeItem{u"MixW|QSO", u"Loc",     Field::Locator,     u"Loc",       true},
    DdeItem{u"MixW|QSO", u"Manager", Field::QslManag,    u"Manager",   true},
    DdeItem{u"MixW|QSO", u"Notes",   Field::Notes,       u"Notes",     true},
};
// clang-format on

// The topic of a link ("QSO" of "MixW|QSO").
constexpr std::u16string_view TopicOf(const DdeItem& item) {
    return item.link.substr(item.link.find(u'|') + 1);
}

}  // namespace mixw

}  // namespace pontara
