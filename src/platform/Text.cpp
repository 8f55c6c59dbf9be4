#include "platform/Text.h"

namespace pontara {

Text AsciiText(std::string_view ascii) {
    return Text(ascii.begin(), ascii.end());
}

std::string AsciiOf(TextView text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (char16_t unit : text) {
        narrow.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
    return narrow;
}

Text LowerAscii(TextView text) {
    Text lower(text);
    for (char16_t& unit : lower) {
        if (unit >= u'A' && unit <= u'Z') {
            unit = static_cast<char16_t>(unit - u'A' + u'a');
        }
    }
    return lower;
}

Text DecimalDigits(std::size_t count) {
    return AsciiText(std::to_string(count));
}

}  // namespace pontara
