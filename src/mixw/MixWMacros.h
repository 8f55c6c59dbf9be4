#pragma once
// The macro texts the bridge hands to MixW's ExecuteMacros (see mixw/MixWAutomation.h).

#include <string_view>

namespace pontara::macros {

inline constexpr std::u16string_view ToggleCatPort = u"<TOGGLECATPORT>";
inline constexpr std::u16string_view TogglePttPort = u"<TOGGLEPTTPORT>";
inline constexpr std::u16string_view TuneOpen = u"<ZFQ:";  // + kilohertz + ">"
inline constexpr std::u16string_view TuneClose = u">";
inline constexpr std::u16string_view ModeCw = u"<MODE:CW>";
inline constexpr std::u16string_view ModeSsb = u"<MODE:SSB>";
inline constexpr std::u16string_view ModeRtty = u"<MODE:RTTY>";
inline constexpr std::u16string_view ModeBpsk31 = u"<MODE:BPSK31>";
inline constexpr std::u16string_view Baudrate63 = u"<BAUDRATE:63>";
inline constexpr std::u16string_view Baudrate125 = u"<BAUDRATE:125>";
inline constexpr std::u16string_view ModeMfsk = u"<MODE:MFSK>";
inline constexpr std::u16string_view ClearQso = u"<CLEARQSO>";
inline constexpr std::u16string_view FixStartTime = u"<FIXSTARTTIME>";
inline constexpr std::u16string_view SaveQso = u"<SAVEQSO>";

}  // namespace pontara::macros
