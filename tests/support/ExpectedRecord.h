#pragma once
// Logger32's QSO record as the tests expect it, written out once from Logger32's protocol for
// the native tests, the station simulator's oracle and the tests under Wine: the record's tokens
// in their order, each "<TAG:length>value" with the length in characters, and the commands
// around it. A test names the values it expects by tag; the others are empty. A token added to
// the record is one row of `RecordTokens`. Nothing here is taken from the bridge's own tables.

#include <array>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>

namespace pontara::expected {

struct RecordToken {
    const char* tag;
    const char* item;         // MixW's DDE item of topic QSO; none for the QSO-data values
    const char* placeholder;  // what the bridge's field shows before MixW gave the item a value
};

// clang-format off
inline constexpr std::array<RecordToken, 10> RecordTokens{{
    {"CALL",       "call",    "Call"},
    {"RST_RCVD",   "rstrcv",  "RST rcv"},
    {"RST_SENT",   "rstsnt",  "RST snt"},
    {"QTH",        "qth",     "Qth"},
    {"NAME",       "name",    "Name"},
    {"COMMENT",    "notes",   "Notes"},
    {"GRIDSQUARE", nullptr,   nullptr},   // MixW's QSO data 19
    {"IOTA",       "iota",    "IOTA"},
    {"STATE",      nullptr,   nullptr},   // MixW's QSO data 13
    {"QSL_VIA",    "manager", "Manager"},
}};
// clang-format on

// A text of the string type the test compares with (UTF-16 natively, ANSI bytes under Wine).
template <typename String>
String Of(std::string_view ascii) {
    return String(ascii.begin(), ascii.end());
}

// "<TAG:length>value"; the length is given where the value's bytes are not its characters.
template <typename String>
String Token(std::string_view tag, const String& value, std::size_t characters) {
    return Of<String>("<") + Of<String>(tag) + Of<String>(":") +
           Of<String>(std::to_string(characters)) + Of<String>(">") + value;
}
template <typename String>
String Token(std::string_view tag, const String& value) {
    return Token(tag, value, value.size());
}

// The value of a token, by its tag; `characters` where the value's bytes are not its characters
// (ANSI bytes of a multibyte code page).
template <typename String>
struct Value {
    std::string_view tag;
    String text;
    std::size_t characters = String::npos;
};
template <typename String>
using Values = std::initializer_list<Value<String>>;

// The whole record. The tokens without a value are empty, or, `withPlaceholders`, show what the
// bridge's fields show before MixW has given their items a value. A tag the record does not
// have is the test's own mistake, and ends it at once.
template <typename String>
String Record(Values<String> values, bool withPlaceholders = false) {
    String record;
    std::size_t used = 0;
    for (const RecordToken& token : RecordTokens) {
        Value<String> value{token.tag, withPlaceholders && token.placeholder != nullptr
                                           ? Of<String>(token.placeholder)
                                           : String()};
        for (const Value<String>& given : values) {
            if (given.tag == token.tag) {
                value = given;
                ++used;
            }
        }
        const bool counted = value.characters != String::npos;
        record += Token(token.tag, value.text, counted ? value.characters : value.text.size());
    }
    if (used != values.size()) {
        std::abort();
    }
    return record;
}
template <typename String>
String RecordWithPlaceholders(Values<String> values) {
    return Record(values, true);
}

// The two time tokens a logging adds to the record.
template <typename String>
String Times(const String& time) {
    return Token("APP_TIME_ON", time) + Token("APP_TIME_OFF", time);
}

// The logging command: "<APP_LOGQSO:length>" and what it carries.
template <typename String>
String LogQso(const String& payload) {
    return Token("APP_LOGQSO", payload);
}

}  // namespace pontara::expected
