#pragma once
// The texts the bridge shows: on the status line Text1, and in its message box to the operator.
// The caption of the main window and of every message box is window_model::Caption.

#include <string_view>

namespace pontara::status {

// Text1 holds window_model::StatusAtCreation from the window's creation until Logger32 is found.
inline constexpr std::u16string_view WaitingForMixW = u"Waiting start MixW.";
inline constexpr std::u16string_view MixWControlActive = u"            MixW2 control active !";
inline constexpr std::u16string_view Logger32ControlActive = u"         Logger32 control active !";
// Shown when a QSO was handed to Logger32 while Logger32 had named no text window, or that
// window was gone: the QSO did not reach Logger32's log.
inline constexpr std::u16string_view QsoNotLogged = u"QSO NOT LOGGED: no Logger32 text window !";
// Logger32's window is gone: forwarding pauses until a new Logger32 has connected.
inline constexpr std::u16string_view Logger32Closed = u" Logger32 closed, waiting for it !";
// While Logger32 is away, with the number of saved QSOs held for it between the two parts.
inline constexpr std::u16string_view QsosWaitingBefore = u" Logger32 closed, QSOs waiting: ";
// Once the new Logger32 has taken them, with their number between the two parts.
inline constexpr std::u16string_view QsosLoggedBefore = u"       Waiting QSOs logged: ";
inline constexpr std::u16string_view NumberAfter = u" !";
// MixW turns calls away while a dialog of its own is open: what it is asked waits for it.
inline constexpr std::u16string_view MixWBusy = u"      MixW busy, waiting for it !";
// A window titled "Logger32" does not answer the connect request while Pontara runs without
// administrator rights: Windows drops messages to a program started as administrator.
inline constexpr std::u16string_view Logger32Silent = u"Logger32 silent: all as admin or none !";

// The box that asks the operator to free the sound card before MixW takes it.
inline constexpr std::u16string_view CloseSoundcardWindows =
    u"Please close Souncard window and CW Mashine window Logger32 and after that press OK";

}  // namespace pontara::status
