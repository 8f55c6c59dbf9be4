// Composing Logger32's text commands: token lengths at their digit boundaries, characters
// outside ASCII and the nesting of the logging command.

#include "logger32/TextCommands.h"

#include <gtest/gtest.h>

namespace pontara::logger32 {
namespace {

struct TokenCase {
    std::size_t valueLength;
    const char16_t* lengthDigits;
};

class TokenLength : public ::testing::TestWithParam<TokenCase> {};

TEST_P(TokenLength, CountsTheValueInPlainDecimalDigits) {
    Text value(GetParam().valueLength, u'x');
    EXPECT_EQ(FormatTextToken(u"NAME", value),
              u"<NAME:" + Text(GetParam().lengthDigits) + u">" + value);
}

INSTANTIATE_TEST_SUITE_P(DigitBoundaries, TokenLength,
                         ::testing::Values(TokenCase{0, u"0"}, TokenCase{1, u"1"},
                                           TokenCase{9, u"9"}, TokenCase{10, u"10"},
                                           TokenCase{99, u"99"}, TokenCase{100, u"100"},
                                           TokenCase{1000, u"1000"}));

TEST(TextToken, LengthCountsCharactersNotAnsiBytes) {
    // Cyrillic, a euro sign and a character outside the basic plane (two UTF-16 units).
    EXPECT_EQ(FormatTextToken(u"NAME", u"Юрий"), u"<NAME:4>Юрий");
    EXPECT_EQ(FormatTextToken(u"QTH", u"€uro"), u"<QTH:4>€uro");
    EXPECT_EQ(FormatTextToken(u"COMMENT", u"\U0001F4FB"), u"<COMMENT:2>\U0001F4FB");
}

TEST(TextToken, ValuesAreNeverEscaped) {
    EXPECT_EQ(FormatTextToken(u"COMMENT", u"<a:1>|b"), u"<COMMENT:7><a:1>|b");
}

TEST(LogQso, LengthCoversTheNestedTimeTokens) {
    Text payload = TimeOnToken(u"1234") + TimeOffToken(u"1234");
    EXPECT_EQ(payload, u"<APP_TIME_ON:4>1234<APP_TIME_OFF:4>1234");
    EXPECT_EQ(payload.size(), 39u);
    EXPECT_EQ(LogQsoCommand(payload), u"<APP_LOGQSO:39>" + payload);
}

TEST(ForceCommands, CarryTheValueAsOneToken) {
    EXPECT_EQ(ForceModeCommand(u"PSK31"), u"<APP_FORCE_MODE:5>PSK31");
    EXPECT_EQ(ForceFrequencyCommand(u"14071,5"), u"<APP_FORCE_FREQ:7>14071,5");
}

}  // namespace
}  // namespace pontara::logger32
