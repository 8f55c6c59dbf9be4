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

Text QsoRecord(const QsoRecordValues& values) {
    return FormatTextToken(tags::Call, values.call) +
           FormatTextToken(tags::RstRcvd, values.rstReceived) +
           FormatTextToken(tags::RstSent, values.rstSent) + FormatTextToken(tags::Qth, values.qth) +
           FormatTextToken(tags::Name, values.name) +
           FormatTextToken(tags::Comment, values.comment) +
           FormatTextToken(tags::GridSquare, values.gridSquare) +
           FormatTextToken(tags::Iota, values.iota) + FormatTextToken(tags::State, values.state) +
           FormatTextToken(tags::QslVia, values.qslVia);
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
