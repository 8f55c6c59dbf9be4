#pragma once
// Text as the Windows user interface holds it: UTF-16 code units. Lengths that travel in
// Logger32's tokens count these units, so every text of the bridge is kept in this form and
// only the host converts to or from ANSI.

#include <cstdint>
#include <string>
#include <string_view>

namespace pontara {

using Text = std::u16string;
using TextView = std::u16string_view;

// Widens a plain ASCII text (protocol names, digits) to Text.
Text AsciiText(std::string_view ascii);

// Narrows a Text for diagnostics and transcripts: ASCII kept, every other unit shown as '?'.
std::string AsciiOf(TextView text);

// The text with ASCII capitals made small, as DDE compares its names.
Text LowerAscii(TextView text);

// Decimal digits of a count: no sign, no blank, no leading zero ("0" for zero).
Text DecimalDigits(std::size_t count);

}  // namespace pontara
