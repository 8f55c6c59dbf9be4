#include "platform/NumberText.h"

#include <cstdio>

namespace pontara {

Text SignificantDigitsText(double value, TextView decimalSeparator) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    Text text;
    for (const char* c = buffer; *c != '\0'; ++c) {
        if (*c == '.') {
            text += decimalSeparator;
        } else {
            text += static_cast<char16_t>(*c);
        }
    }
    return text;
}

}  // namespace pontara
