#include "logger32/TextCommands.h"

#include <array>
#include <charconv>

namespace pontara::logger32 {

Text FormatTextToken(TextView tag, TextView value) {
    Text token;
    token.reserve(tag.size() + value.size() + 8);
    token += u'<';
    token += tag;
    token += u':';
    // The digits written in place: a record's ten tokens would otherwise make ten texts more.
    std::array<char, 20> digits{};
    const char* end = std::to_chars(digits.data(), digits.data() + digits.size(), value.size()).ptr;
    token.append(static_cast<const char*>(digits.data()), end);
    token += u'>';
    token += value;
    return token;
}

Text ForceFrequencyCommand(TextView kilohertz) {
    return FormatTextToken(tags::AppForceFreq, kilohertz);
}

Text ForceModeCommand(TextView mode) {
    return FormatTextToken(tags::AppForceMode, mode);
}

Text TimeOnToken(TextView time) {
    return FormatTextToken(tags::AppTimeOn, time);
}
Text TimeOffToken(TextView time) {
    return FormatTextToken(tags::AppTimeOff, time);
}
Text LogQsoCommand(TextView payload) {
    return FormatTextToken(tags::AppLogQso, payload);
}

}  // namespace pontara::logger32
