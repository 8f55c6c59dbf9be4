#pragma once
// Logger32's registered-message protocol.
//
// Both programs register one of five message names, tried in order: "Logger32 1" ...
// "Logger32 5". Every message uses the id of the name in use; wParam carries a code, lParam a
// 32-bit value. "posted" is PostMessageA to Logger32's main window (the top-level window titled
// "Logger32"), "sent" is SendMessageA to it; codes "from Logger32" arrive at the bridge's main
// window.
//
//   code direction      lParam                               when
//   0    from Logger32  non-zero accepted, 0 rejected        answer to the connect request
//   1    posted         the bridge's main window             connect request
//   2    posted twice   0, then the window of field Sent     on each accepting answer
//   3    from Logger32  a window handle                      Logger32's text window
//   4    sent           0                                    shutdown, after unhooking
//   5    sent           0                                    shutdown, right after code 4
//   6    posted         0                                    Logger32 takes the rig (2nd of 5)
//   7    posted         0                                    MixW takes the rig (2nd of 5)
//   10   posted         the window of field Cluster          on every change of field Sent
//   11   posted         0                                    MixW takes the rig (3rd of 5)
//   12   posted         0                                    Logger32 takes the rig (3rd of 5)
//   13   posted         0                                    MixW takes the rig (4th of 5)
//   14   posted         0                                    Logger32 takes the rig (4th of 5)
//   15   posted         1                                    after a QSO was delivered for logging
//   16   posted         1                                    right after code 15
//   18   posted         1 MixW takes, 0 Logger32 takes       first of five
//   19   posted         0 MixW takes, 1 Logger32 takes       last of five
//   100  from Logger32  dial frequency in Hz (signed)        shown in Freq_logger32 as kHz "#.000"
//   102  from Logger32  a signed integer                     shown in Cluster as decimal text
//
// The two five-message sets, always in this order:
//   MixW takes the rig:     18 (1), 7 (0), 11 (0), 13 (0), 19 (0)
//   Logger32 takes the rig: 18 (0), 6 (0), 12 (0), 14 (0), 19 (1)
//
// Text commands travel beside these messages by WM_SETTEXT; their syntax is in
// logger32/TextCommands.h.

#include <array>
#include <cstdint>

namespace pontara::logger32 {

inline constexpr const char* WindowTitle = "Logger32";
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

}  // namespace pontara::logger32
