#include "platform/AnsiCodePage.h"

namespace pontara {

namespace {

bool TakesNoFlags(int codePage) {
    return (codePage >= 50220 && codePage <= 50229) || (codePage >= 57002 && codePage <= 57011) ||
           codePage == 65000 || codePage == 42;
}

bool TakesOnlyInvalidCharacterFlag(int codePage) {
    return codePage == 65001 || codePage == 54936;
}

}  // namespace

bool AcceptsToAnsiFlags(int codePage, std::uint32_t flags) {
    if (TakesNoFlags(codePage)) {
        return flags == 0;
    }
    if (TakesOnlyInvalidCharacterFlag(codePage)) {
        return (flags & ~ErrInvalidChars) == 0;
    }
    return true;
}

std::uint32_t ToAnsiFlags(int codePage) {
    return AcceptsToAnsiFlags(codePage, NoBestFitChars) ? NoBestFitChars : 0;
}

Text ConvertingToAnsi(int codePage) {
    return u"Converting a text to the ANSI code page " +
           DecimalDigits(static_cast<std::size_t>(codePage));
}

Text ConvertingFromAnsi(int codePage) {
    return u"Converting a text from the ANSI code page " +
           DecimalDigits(static_cast<std::size_t>(codePage));
}

}  // namespace pontara
