#include "LoggedQso.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "support/ExpectedRecord.h"

namespace pontara::simulation {

namespace {

// clang-format off
struct ModeName {
    const char16_t* mixw;
    const char16_t* logger32;
};
constexpr std::array<ModeName, 6> ModeNames{{
    {u"BPSK31", u"PSK31"}, {u"BPSK63", u"PSK63"}, {u"BPSK62", u"PSK63"},
    {u"BPSK125", u"PSK125"}, {u"BPSK250", u"PSK250"}, {u"MFSK", u"MFSK16"},
}};
// clang-format on

Text ItemText(const MixWEntry& entry, std::string_view item, std::string_view placeholder) {
    auto found = entry.items.find(expected::Of<Text>(item));
    return found == entry.items.end() ? expected::Of<Text>(placeholder) : found->second;
}

}  // namespace

Text RecordOf(const MixWEntry& entry) {
    Text record;
    for (const expected::RecordToken& token : expected::RecordTokens) {
        const std::string_view tag = token.tag;
        if (tag == "GRIDSQUARE") {
            record += expected::Token(tag, entry.locator);
        } else if (tag == "STATE") {
            record += expected::Token(tag, entry.state);
        } else {
            record += expected::Token(tag, ItemText(entry, token.item, token.placeholder));
        }
    }
    return record;
}

Text Logger32Mode(const MixWEntry& entry) {
    const Text mode = ItemText(entry, "mode", "Mode");
    for (const ModeName& row : ModeNames) {
        if (mode == row.mixw) {
            return row.logger32;
        }
    }
    return mode;
}

Text Kilohertz(const MixWEntry& entry) {
    const Text mode = ItemText(entry, "mode", "Mode");
    const bool dialAsItIs = mode == u"SSB" || mode == u"CW" || mode == u"RTTY" || mode == u"SSTV";
    const double hertz = dialAsItIs        ? entry.fqA
                         : entry.packetUsb ? entry.fqA - entry.audioFq
                                           : entry.fqA + entry.audioFq;
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.15g", hertz / 1000);
    return AsciiText(text.data());
}

Text LogQsoAfter(TextView lastRecordText, TextView time) {
    return expected::LogQso(Text(lastRecordText) + expected::Times(Text(time)));
}

LoggingExpected HeldLogging(const MixWEntry& entry, TextView time, bool withDial) {
    LoggingExpected logging{
        expected::LogQso(RecordOf(entry) + expected::Times(Text(time))), {}, {}};
    if (withDial && entry.dialKnown) {
        logging.forceFrequency = expected::Token("APP_FORCE_FREQ", Kilohertz(entry));
    }
    if (withDial) {
        logging.forceMode = expected::Token("APP_FORCE_MODE", Logger32Mode(entry));
    }
    return logging;
}

}  // namespace pontara::simulation
