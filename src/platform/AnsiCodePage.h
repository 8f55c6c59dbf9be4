#pragma once
// Which flags a conversion between text and the system's ANSI code page gives Windows, chosen by
// the code page. Both hosts follow it: the Win32 host hands the flags to WideCharToMultiByte and
// MultiByteToWideChar, the simulated host's model of Windows checks them as Windows does.
//
// Windows (Microsoft's documentation of WideCharToMultiByte and MultiByteToWideChar) refuses,
// with ERROR_INVALID_FLAGS, every flag for the code pages 50220 to 50229, 57002 to 57011, 65000
// (UTF-7) and 42 (Symbol), and every flag but WC_ERR_INVALID_CHARS (MB_ERR_INVALID_CHARS the
// other way) for 65001 (UTF-8) and 54936 (GB18030). UTF-8 becomes the ANSI code page when
// "Beta: Use Unicode UTF-8 for worldwide language support" is on. Wine 8 takes
// WC_NO_BEST_FIT_CHARS for 65001 all the same and converts, so under Wine the refusal is not
// seen; the native tests show it on the simulated host.

#include <cstdint>

#include "platform/Text.h"

namespace pontara {

// WideCharToMultiByte's WC_NO_BEST_FIT_CHARS, by its value: a character the code page lacks
// becomes the code page's default character, never a look-alike ("L" for "Ł").
inline constexpr std::uint32_t NoBestFitChars = 0x400;
// WideCharToMultiByte's WC_ERR_INVALID_CHARS: a text that is not valid UTF-16 is refused.
inline constexpr std::uint32_t ErrInvalidChars = 0x80;

// Whether Windows' WideCharToMultiByte takes `flags` for `codePage`.
bool AcceptsToAnsiFlags(int codePage, std::uint32_t flags);

// The flags of a conversion to `codePage`: no best fit wherever Windows allows the flag, none
// where it does not. UTF-8 and GB18030 hold every character, so nothing is lost there.
std::uint32_t ToAnsiFlags(int codePage);

// The flags of a conversion from the ANSI code page: none, which every code page takes, and which
// gives precomposed characters wherever Windows knows the difference.
inline constexpr std::uint32_t FromAnsiFlags = 0;

// What a failed conversion says it attempted.
Text ConvertingToAnsi(int codePage);
Text ConvertingFromAnsi(int codePage);

}  // namespace pontara
