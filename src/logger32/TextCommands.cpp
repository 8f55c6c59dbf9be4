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
    return FormatTextToken(u"APP_FORCE_FREQ", kilohertz);
}

Text ForceModeCommand(TextView mode) {
    return FormatTextToken(u"APP_FORCE_MODE", mode);
}

Text TimeOnToken(TextView time) {
    return FormatTextToken(u"APP_TIME_ON", time);
}
Text TimeOffToken(TextView time) {
    return FormatTextToken(u"APP_TIME_OFF", time);
}
Text LogQsoCommand(TextView payload) {
    return FormatTextToken(u"APP_LOGQSO", payload);
}

}  // namespace pontara::logger32
