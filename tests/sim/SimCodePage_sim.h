#pragma once
// Windows' WideCharToMultiByte as the simulated host delivers texts with it, on the C library's
// iconv: the code pages 1252, 1251, 932 (double-byte) and 65001 (UTF-8), and the flags Windows
// refuses for a code page (platform/AnsiCodePage.h) refused the same way.

#include <cstdint>
#include <string>

#include "platform/Text.h"

namespace pontara::sim {

// Windows' ERROR_INVALID_FLAGS and ERROR_INVALID_PARAMETER (a code page it does not know).
inline constexpr std::uint32_t ErrorInvalidFlags = 1004;
inline constexpr std::uint32_t ErrorInvalidParameter = 87;

// The bytes of `text` in `codePage`, as WideCharToMultiByte writes them with `flags`. With
// NoBestFitChars a character the code page lacks, or has only as a look-alike, becomes '?'; in
// UTF-8 an unpaired surrogate becomes U+FFFD. (Without the flag Windows writes look-alikes from
// its best-fit tables; the model has none of those, so it serves the conversions Pontara makes.)
// Throws PlatformError with Windows' code when Windows refuses the flags or the code page.
std::string ToCodePage(int codePage, std::uint32_t flags, TextView text);
// Throws as ToCodePage does when Windows refuses the flags or the code page, converting nothing.
void RefuseAsWindows(int codePage, std::uint32_t flags);

}  // namespace pontara::sim
