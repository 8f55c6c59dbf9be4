#include "platform/NumberText.h"

#include <array>
#include <charconv>

namespace pontara {

Text SignificantDigitsText(double value, TextView decimalSeparator) {
    // As printf's "%.15G" writes it, whatever the C locale.
    constexpr int Significant = 15;
    std::array<char, 40> buffer{};
    const char* end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::general, Significant)
                          .ptr;
    Text text;
    for (const char* c = buffer.data(); c != end; ++c) {
        if (*c == '.') {
            text += decimalSeparator;
        } else {
            const bool lower = *c >= 'a' && *c <= 'z';  // the exponent, "inf", "nan"
            text += static_cast<char16_t>(lower ? *c - 'a' + 'A' : *c);
        }
    }
    return text;
}

}  // namespace pontara
