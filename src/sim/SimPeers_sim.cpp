#include "sim/SimPeers_sim.h"

#include <array>
#include <optional>

#include "logger32/Logger32Protocol.h"
#include "mixw/MixWAutomation.h"
#include "sim/SimHost_sim.h"

namespace pontara::sim {

std::vector<std::uint32_t> SimLogger32::Codes() const {
    std::vector<std::uint32_t> codes;
    for (const Message& message : received) {
        codes.push_back(message.code);
    }
    return codes;
}

void SimLogger32::StartAgain() {
    constexpr WindowHandle NextWindows = 0x100;
    running = true;
    mainWindow += NextWindows;
    textWindow += NextWindows;
    sentWindow = 0;
}

void SimLogger32::Receive(SimHost& host, int nameNumber, std::uint32_t code, std::int32_t lParam,
                          bool sent) {
    received.push_back({host.Now(), nameNumber, code, lParam, sent});
    if (code == logger32::SentWindow && lParam != 0) {
        sentWindow = static_cast<WindowHandle>(lParam);
    }
    if (code != logger32::ConnectRequest || !answersConnect) {
        return;
    }
    bool accepted = !rejectedNames.contains(nameNumber);
    host.PostFromLogger32(logger32::ConnectAnswer, accepted ? 1 : 0, nameNumber);
    if (accepted && namesTextWindow) {
        host.PostFromLogger32(logger32::TextWindow, static_cast<std::int32_t>(textWindow),
                              nameNumber);
    }
}

SimMixW::SimMixW() {
    for (const mixw::DdeItem& item : mixw::DdeItems) {
        items[LowerAscii(mixw::TopicOf(item)) + u"|" + LowerAscii(item.name)] = std::nullopt;
    }
}

bool SimMixW::BusyAt(int time) const {
    for (const BusySpell& spell : busySpells) {
        if (time >= spell.from && time < spell.until) {
            return true;
        }
    }
    return false;
}

void SimMixW::SetItem(SimHost& host, TextView topic, TextView item, const Text& value) {
    std::u16string key = LowerAscii(topic) + u"|" + LowerAscii(item);
    items[key] = value;
    host.AdviseItem(key, value);
}

std::vector<Text> SimMixW::Macros() const {
    std::vector<Text> macros;
    for (const Call& call : calls) {
        if (call.member == "ExecuteMacros") {
            macros.push_back(call.argument);
        }
    }
    return macros;
}

namespace {

// clang-format off
// Windows-1252's bytes 0x80 to 0x9F; 0 where the byte stands for the C1 character itself.
constexpr std::array<char16_t, 32> Cp1252High{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};
// Windows-1251's bytes 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F.
constexpr std::array<char16_t, 64> Cp1251High{
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0,      0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};
// clang-format on

constexpr char DefaultChar = '?';

// The byte of a character in a table of the bytes from `first` on; a 0 entry stands for the
// C1 character of the byte itself.
std::optional<char> ByteIn(char16_t unit, const char16_t* table, std::size_t size, int first) {
    for (std::size_t i = 0; i < size; ++i) {
        char16_t character = table[i] != 0 ? table[i] : static_cast<char16_t>(first + i);
        if (character == unit) {
            return static_cast<char>(first + static_cast<int>(i));
        }
    }
    return std::nullopt;
}

char Cp1252Byte(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
        return static_cast<char>(unit);
    }
    return ByteIn(unit, Cp1252High.data(), Cp1252High.size(), 0x80).value_or(DefaultChar);
}

char Cp1251Byte(char16_t unit) {
    if (unit < 0x80) {
        return static_cast<char>(unit);
    }
    if (unit >= 0x0410 && unit <= 0x044F) {
        return static_cast<char>(0xC0 + (unit - 0x0410));
    }
    return ByteIn(unit, Cp1251High.data(), Cp1251High.size(), 0x80).value_or(DefaultChar);
}

}  // namespace

std::string ToAnsi(TextView text, int codePage) {
    std::string ansi;
    for (char16_t unit : text) {
        ansi.push_back(codePage == 1251 ? Cp1251Byte(unit) : Cp1252Byte(unit));
    }
    return ansi;
}

}  // namespace pontara::sim
