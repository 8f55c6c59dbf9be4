#pragma once
// The texts of the status line Text1, and the captions of the program's message boxes.

#include <string_view>

namespace pontara::status {

inline constexpr std::u16string_view WaitingForLogger32AndMixW =
    u"Waiting start Logger32 and MixW2";
inline constexpr std::u16string_view WaitingForMixW = u"Waiting start MixW.";
inline constexpr std::u16string_view MixWControlActive = u"            MixW2 control active !";
inline constexpr std::u16string_view Logger32ControlActive = u"         Logger32 control active !";
// Shown when a QSO was handed to Logger32 while Logger32 had named no text window, or that
// window was gone: the QSO did not reach Logger32's log.
inline constexpr std::u16string_view QsoNotLogged = u"QSO NOT LOGGED: no Logger32 text window !";

inline constexpr std::u16string_view ApplicationTitle = u"Pontara";
inline constexpr std::u16string_view CloseSoundcardWindows =
    u"Please close Souncard window and CW Mashine window Logger32 and after that press OK";

}  // namespace pontara::status
