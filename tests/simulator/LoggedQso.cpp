#include "LoggedQso.h"

#include <array>
#include <cstdio>

namespace pontara::simulation {

namespace {

struct RecordToken {
    const char16_t* tag;
    const char16_t* item;  // the DDE item of topic QSO; none for the two QSO-data values
    const char16_t* placeholder;
};

// clang-format off
// The record's tokens in their order, with the item each takes its value from and the text its
// field shows before MixW has given the item a value.
constexpr std::array<RecordToken, 10> RecordTokens{{
    {u"CALL",       u"call",    u"Call"},
    {u"RST_RCVD",   u"rstrcv",  u"RST rcv"},
    {u"RST_SENT",   u"rstsnt",  u"RST snt"},
    {u"QTH",        u"qth",     u"Qth"},
    {u"NAME",       u"name",    u"Name"},
    {u"COMMENT",    u"notes",   u"Notes"},
    {u"GRIDSQUARE", nullptr,    nullptr},
    {u"IOTA",       u"iota",    u"IOTA"},
    {u"STATE",      nullptr,    nullptr},
    {u"QSL_VIA",    u"manager", u"Manager"},
}};

struct ModeName {
    const char16_t* mixw;
    const char16_t* logger32;
};
constexpr std::array<ModeName, 6> ModeNames{{
    {u"BPSK31", u"PSK31"}, {u"BPSK63", u"PSK63"}, {u"BPSK62", u"PSK63"},
    {u"BPSK125", u"PSK125"}, {u"BPSK250", u"PSK250"}, {u"MFSK", u"MFSK16"},
}};
// clang-format on

Text ItemText(const MixWEntry& entry, const Text& item, TextView placeholder) {
    auto found = entry.items.find(item);
    return found == entry.items.end() ? Text(placeholder) : found->second;
}

}  // namespace

Text Token(TextView tag, TextView value) {
    return u"<" + Text(tag) + u":" + AsciiText(std::to_string(value.size())) + u">" + Text(value);
}

Text RecordOf(const MixWEntry& entry) {
    Text record;
    for (const RecordToken& token : RecordTokens) {
        const TextView tag = token.tag;
        if (tag == u"GRIDSQUARE") {
            record += Token(tag, entry.locator);
        } else if (tag == u"STATE") {
            record += Token(tag, entry.state);
        } else {
            record += Token(tag, ItemText(entry, token.item, token.placeholder));
        }
    }
    return record;
}

Text TimeTokens(TextView time) {
    return Token(u"APP_TIME_ON", time) + Token(u"APP_TIME_OFF", time);
}

Text Logger32Mode(const MixWEntry& entry) {
    const Text mode = ItemText(entry, u"mode", u"Mode");
    for (const ModeName& row : ModeNames) {
        if (mode == row.mixw) {
            return row.logger32;
        }
    }
    return mode;
}

Text Kilohertz(const MixWEntry& entry) {
    const Text mode = ItemText(entry, u"mode", u"Mode");
    const bool dialAsItIs = mode == u"SSB" || mode == u"CW" || mode == u"RTTY" || mode == u"SSTV";
    const double hertz = dialAsItIs        ? entry.fqA
                         : entry.packetUsb ? entry.fqA - entry.audioFq
                                           : entry.fqA + entry.audioFq;
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.15g", hertz / 1000);
    return AsciiText(text.data());
}

Text LogQsoAfter(TextView lastRecordText, TextView time) {
    return Token(u"APP_LOGQSO", Text(lastRecordText) + TimeTokens(time));
}

LoggingExpected HeldLogging(const MixWEntry& entry, TextView time, bool withDial) {
    LoggingExpected expected{Token(u"APP_LOGQSO", RecordOf(entry) + TimeTokens(time)), {}, {}};
    if (withDial && entry.dialKnown) {
        expected.forceFrequency = Token(u"APP_FORCE_FREQ", Kilohertz(entry));
    }
    if (withDial) {
        expected.forceMode = Token(u"APP_FORCE_MODE", Logger32Mode(entry));
    }
    return expected;
}

}  // namespace pontara::simulation
