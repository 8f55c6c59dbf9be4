#pragma once
// Logger32's text commands: what the bridge writes into Logger32's text window.
//
// A token is, with nothing between the pieces:
//   "<"  TAG  ":"  LENGTH  ">"  VALUE
// TAG is upper-case letters and underscores; LENGTH is the number of characters of VALUE
// (UTF-16 units, counted before the ANSI conversion of delivery) in decimal digits, no sign,
// no leading zero, "0" for an empty value; VALUE is exactly that many characters, never quoted
// or escaped. No closing mark: the next token follows the value at once. A marker is a bare tag
// in angle brackets: "<EOR>", "<EOF>".
//
// Commands to Logger32, each delivered whole by one WM_SETTEXT:
//   <APP_FORCE_FREQ:n>kHz            MixW's frequency in kilohertz, in the user's locale
//   <APP_FORCE_MODE:n>MODE           the mode as Logger32 names it ("PSK31", "RTTY", "SSB")
//   QSO record                       one token per value, no verb (bridge/ForwardedFields.h)
//   <APP_LOGQSO:n>PAYLOAD            PAYLOAD: the last QSO record, then <APP_TIME_ON:n>TIME and
//                                    <APP_TIME_OFF:n>TIME; n counts every character of PAYLOAD
//   <EOR>                            clear the QSO entry
//
// What Logger32 writes back into the bridge's Sent field is read by logger32/SentTexts.h.

#include "platform/Text.h"

namespace pontara::logger32 {

// The tags of the commands the bridge writes, and of those it reads in Sent (logger32/SentTexts.h).
// The QSO record's tags are those of the forwarded fields (bridge/ForwardedFields.h).
namespace tags {
// clang-format off
inline constexpr TextView AppForceFreq     = u"APP_FORCE_FREQ";
inline constexpr TextView AppForceMode     = u"APP_FORCE_MODE";
inline constexpr TextView AppLogQso        = u"APP_LOGQSO";
inline constexpr TextView AppTimeOn        = u"APP_TIME_ON";
inline constexpr TextView AppTimeOff       = u"APP_TIME_OFF";
inline constexpr TextView AppDxSpotClicked = u"APP_DXSPOT_CLICKED";
inline constexpr TextView Mode             = u"MODE";
// clang-format on
}  // namespace tags

inline constexpr TextView EndOfRecord = u"<EOR>";
inline constexpr TextView EndOfFile = u"<EOF>";

// "<" + tag + ":" + length of value + ">" + value.
Text FormatTextToken(TextView tag, TextView value);

Text ForceFrequencyCommand(TextView kilohertz);
Text ForceModeCommand(TextView mode);

Text TimeOnToken(TextView time);
Text TimeOffToken(TextView time);
Text LogQsoCommand(TextView payload);

}  // namespace pontara::logger32
