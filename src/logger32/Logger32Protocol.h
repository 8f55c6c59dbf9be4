#pragma once
// Logger32's registered-message protocol.
//
// Both programs register one of five message names, tried in order: "Logger32 1" ...
// "Logger32 5". Every message uses the id of the name in use; wParam carries a code, lParam a
// 32-bit value. "posted" is PostMessageA to Logger32's main window (the top-level window titled
// "Logger32" that is of none of the classes of NotMainWindowClasses, below), "sent" is
// SendMessageA to it;
// codes "from Logger32" arrive at the bridge's main window.
//
// The codes, their direction and the meaning of lParam are in the table Codes below.
//
// A handover of the rig posts one of the two five-message sets MixWTakesRig and
// Logger32TakesRig below, always in their order.
//
// Text commands travel beside these messages by WM_SETTEXT; their syntax is in
// logger32/TextCommands.h. Logger32 writes its own texts (logger32/SentTexts.h), by WM_SETTEXT,
// into the window that code 2 hands it; the window of code 10 is only named to it (the bridge
// itself writes code 102's value there).

#include <array>
#include <cstdint>
#include <optional>

#include "platform/WindowControls.h"

namespace pontara::logger32 {

inline constexpr const char* WindowTitle = "Logger32";
// Windows titled "Logger32" that are not Logger32's main window, by class. Logger32 lives in a
// folder often named "Logger32", and Explorer titles a window showing a folder with the folder's
// name: "CabinetWClass", and "ExploreWClass" for one opened in Explore mode (/e), which Explorer
// keeps apart for older programs that look for it. Logger32's own message boxes carry its title
// too and stand above its main window while they are open: "#32770", Windows' class of every
// dialog box.
inline constexpr std::array<const char*, 3> NotMainWindowClasses{"CabinetWClass", "ExploreWClass",
                                                                 "#32770"};
inline constexpr std::array<const char*, 5> MessageNames{"Logger32 1", "Logger32 2", "Logger32 3",
                                                         "Logger32 4", "Logger32 5"};

enum Code : std::uint32_t {
    ConnectAnswer = 0,
    ConnectRequest = 1,
    SentWindow = 2,
    TextWindow = 3,
    Leaving = 4,
    Left = 5,
    Logger32TakesRig2 = 6,
    MixWTakesRig2 = 7,
    ClusterWindow = 10,
    MixWTakesRig3 = 11,
    Logger32TakesRig3 = 12,
    MixWTakesRig4 = 13,
    Logger32TakesRig4 = 14,
    QsoLogged = 15,
    QsoLoggedFollowUp = 16,
    RigHandoverFirst = 18,
    RigHandoverLast = 19,
    DialFrequency = 100,
    ClusterValue = 102,
};

enum class Direction {
    FromLogger32,  // arrives at the bridge's main window
    Posted,        // PostMessageA to Logger32's main window
    Sent,          // SendMessageA to Logger32's main window
};

// How a code's lParam is written into the field it fills.
enum class Written {
    Kilohertz,  // hertz as kilohertz, "#.000" in the user's locale: 14075450 -> "14075.450"
    Decimal,    // a signed decimal integer: -3 -> "-3"
};

// The field a code from Logger32 fills with its lParam, if any.
struct FieldFilled {
    std::optional<Field> field;
    Written written;
};
inline constexpr FieldFilled NoField{std::nullopt, Written::Decimal};

struct CodeInfo {
    Code code;
    Direction direction;
    bool carriesWindow;        // a non-zero lParam is a window handle
    FieldFilled fills;         // the field a code from Logger32 writes its lParam into
    const char* name;          // for people: transcripts and the demo
    const char* nameWithZero;  // the name when lParam is 0, where it differs
};

// clang-format off
// Every code of the link. The comment after each row says what lParam carries and when.
inline constexpr std::array Codes{
    //       code               direction              window  fills                                        name                                nameWithZero
    CodeInfo{ConnectAnswer,     Direction::FromLogger32, false, NoField,                                     "connect answer: accepted",        "connect answer: rejected"},        // non-zero accepted, 0 rejected; the answer to the connect request
    CodeInfo{ConnectRequest,    Direction::Posted,       true,  NoField,                                     "connect request",                 nullptr},                           // the bridge's main window
    CodeInfo{SentWindow,        Direction::Posted,       true,  NoField,                                     "the Sent field",                  "Sent field follows"},              // posted twice on each accepting answer: 0, then the window of field Sent
    CodeInfo{TextWindow,        Direction::FromLogger32, true,  NoField,                                     "text window",                     nullptr},                           // Logger32's text window
    CodeInfo{Leaving,           Direction::Sent,         false, NoField,                                     "leaving",                         nullptr},                           // 0; shutdown, after unhooking
    CodeInfo{Left,              Direction::Sent,         false, NoField,                                     "left",                            nullptr},                           // 0; shutdown, right after code 4
    CodeInfo{Logger32TakesRig2, Direction::Posted,       false, NoField,                                     "Logger32 takes the rig, 2 of 5",  nullptr},                           // 0
    CodeInfo{MixWTakesRig2,     Direction::Posted,       false, NoField,                                     "MixW takes the rig, 2 of 5",      nullptr},                           // 0
    CodeInfo{ClusterWindow,     Direction::Posted,       true,  NoField,                                     "Sent changed; the Cluster field", nullptr},                           // the window of field Cluster; on every change of field Sent
    CodeInfo{MixWTakesRig3,     Direction::Posted,       false, NoField,                                     "MixW takes the rig, 3 of 5",      nullptr},                           // 0
    CodeInfo{Logger32TakesRig3, Direction::Posted,       false, NoField,                                     "Logger32 takes the rig, 3 of 5",  nullptr},                           // 0
    CodeInfo{MixWTakesRig4,     Direction::Posted,       false, NoField,                                     "MixW takes the rig, 4 of 5",      nullptr},                           // 0
    CodeInfo{Logger32TakesRig4, Direction::Posted,       false, NoField,                                     "Logger32 takes the rig, 4 of 5",  nullptr},                           // 0
    CodeInfo{QsoLogged,         Direction::Posted,       false, NoField,                                     "QSO logged",                      nullptr},                           // 1; after a QSO was delivered for logging
    CodeInfo{QsoLoggedFollowUp, Direction::Posted,       false, NoField,                                     "QSO logged, second notice",       nullptr},                           // 1; right after code 15
    CodeInfo{RigHandoverFirst,  Direction::Posted,       false, NoField,                                     "MixW takes the rig, 1 of 5",      "Logger32 takes the rig, 1 of 5"},  // 1 MixW takes, 0 Logger32 takes; first of five
    CodeInfo{RigHandoverLast,   Direction::Posted,       false, NoField,                                     "Logger32 takes the rig, 5 of 5",  "MixW takes the rig, 5 of 5"},      // 0 MixW takes, 1 Logger32 takes; last of five
    CodeInfo{DialFrequency,     Direction::FromLogger32, false, {Field::Freq_logger32, Written::Kilohertz},  "dial frequency",                  nullptr},                           // dial frequency in Hz (signed), shown in Freq_logger32 as kHz "#.000"
    CodeInfo{ClusterValue,      Direction::FromLogger32, false, {Field::Cluster, Written::Decimal},          "cluster value",                   nullptr},                           // a signed integer, shown in Cluster as decimal text
};
// clang-format on

// Each code's row by its number, found once: every code of the link is below 128, and Logger32's
// dial arrives many times a second while the operator tunes.
inline constexpr std::array<const CodeInfo*, 128> RowsByCode = [] {
    std::array<const CodeInfo*, 128> rows{};
    for (const CodeInfo& info : Codes) {
        rows.at(info.code) = &info;
    }
    return rows;
}();

// The row of a code; none for a code the link does not know.
constexpr const CodeInfo* FindCode(std::uint32_t code) {
    return code < RowsByCode.size() ? RowsByCode[code] : nullptr;
}

// The name of a code with its lParam, for people; "unknown code" for a code not in the table.
constexpr const char* CodeName(std::uint32_t code, std::int32_t lParam) {
    const CodeInfo* info = FindCode(code);
    if (info == nullptr) {
        return "unknown code";
    }
    return lParam == 0 && info->nameWithZero != nullptr ? info->nameWithZero : info->name;
}

struct CodeWithParameter {
    std::uint32_t code;
    std::int32_t lParam;
};

inline constexpr std::array<CodeWithParameter, 5> MixWTakesRig{{{RigHandoverFirst, 1},
                                                                {MixWTakesRig2, 0},
                                                                {MixWTakesRig3, 0},
                                                                {MixWTakesRig4, 0},
                                                                {RigHandoverLast, 0}}};
inline constexpr std::array<CodeWithParameter, 5> Logger32TakesRig{{{RigHandoverFirst, 0},
                                                                    {Logger32TakesRig2, 0},
                                                                    {Logger32TakesRig3, 0},
                                                                    {Logger32TakesRig4, 0},
                                                                    {RigHandoverLast, 1}}};

// Whether a code belongs to a handover of the rig (either five-message set).
constexpr bool IsRigCode(std::uint32_t code) {
    for (const auto* set : {&MixWTakesRig, &Logger32TakesRig}) {
        for (const CodeWithParameter& item : *set) {
            if (item.code == code) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace pontara::logger32
