#pragma once
// MixW's protocol: its automation object (attached to the running MixW of class ProgId, never
// started anew, and called by the names of the table Members below), its QSO-data indices and
// its DDE service; the macros are in mixw/MixWMacros.h, the DDE items that the fields link to
// in bridge/ForwardedFields.h.
// Responsibilities: the calls the bridge makes on MixW, in the bridge's own types.
// Collaborations: obtained from Host::AttachMixW; every failure is a PlatformError.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/Text.h"

namespace pontara {

namespace mixw {
// The class under which MixW registers its running automation object.
inline constexpr std::u16string_view ProgId = u"MixW2.Application";

// The members of MixW's automation object that the bridge calls, as MixW's type library
// declares them. A client looks each one up by name (GetIDsOfNames, without regard to case).
enum class Member { GetQsoData, SetQsoData, ExecuteMacros, FqA, AudioFq };

enum class MemberKind { Method, PropertyGet };

struct MemberInfo {
    Member member;
    std::u16string_view name;
    MemberKind kind;
    unsigned argumentCount;
};

// clang-format off
// In the order of Member. The comment after each row says what the member takes and gives.
inline constexpr std::array Members{
    //         member                 name               kind                     arguments
    MemberInfo{Member::GetQsoData,    u"GetQsoData",    MemberKind::Method,      1},  // (index): the QSO-data item's value
    MemberInfo{Member::SetQsoData,    u"SetQsoData",    MemberKind::Method,      2},  // (index, text by reference): stores the text
    MemberInfo{Member::ExecuteMacros, u"ExecuteMacros", MemberKind::Method,      1},  // (macro text): runs the macros (mixw/MixWMacros.h)
    MemberInfo{Member::FqA,           u"FqA",           MemberKind::PropertyGet, 0},  // the dial frequency, in hertz
    MemberInfo{Member::AudioFq,       u"AudioFq",       MemberKind::PropertyGet, 0},  // the audio offset, in hertz
};
// clang-format on

constexpr const MemberInfo& InfoOf(Member member) {
    return Members[static_cast<std::size_t>(member)];
}

constexpr std::u16string_view MemberName(Member member) {
    return InfoOf(member).name;
}

static_assert(
    [] {
        for (std::size_t position = 0; position < Members.size(); ++position) {
            if (static_cast<std::size_t>(Members[position].member) != position) {
                return false;
            }
        }
        return true;
    }(),
    "mixw::Members lists the members in the order of mixw::Member");

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

// The service name of MixW's DDE server.
inline constexpr std::u16string_view DdeService = u"MixW";

// A field's DDE link to one of MixW's items, as the window stores it: "service|topic" and the
// item. Opening it makes an automatic (advise) link in text format.
struct DdeLink {
    std::u16string_view topic;  // "MixW|QSO", "MIXW|QSO" or "MixW|CAT"
    std::u16string_view item;

    constexpr std::u16string_view Service() const { return topic.substr(0, topic.find(u'|')); }
    constexpr std::u16string_view Topic() const { return topic.substr(topic.find(u'|') + 1); }
};

}  // namespace mixw

}  // namespace pontara
