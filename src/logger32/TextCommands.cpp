#include "logger32/TextCommands.h"

namespace pontara::logger32 {

Text FormatTextToken(TextView tag, TextView value) {
    Text token;
    token.reserve(tag.size() + value.size() + 8);
    token += u'<';
    token += tag;
    token += u':';
    token += DecimalDigits(value.size());
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
