#include "sim/SimCodePage_sim.h"

#include <iconv.h>

#include <array>
#include <map>
#include <optional>
#include <string_view>

#include "platform/AnsiCodePage.h"
#include "platform/PlatformError.h"

namespace pontara::sim {

namespace {

constexpr int Utf8 = 65001;

struct C1Byte {
    int codePage;
    char16_t character;
};
// clang-format off
// Bytes that Windows' 1252 and 1251 leave undefined and map to the C1 control of the same number,
// both ways; glibc's CP1252 and CP1251 have no character for them.
constexpr std::array<C1Byte, 6> WindowsC1Bytes{{
    {1252, 0x81}, {1252, 0x8D}, {1252, 0x8F}, {1252, 0x90}, {1252, 0x9D}, {1251, 0x98},
}};
// clang-format on

bool IsWindowsC1Byte(int codePage, TextView character) {
    for (const C1Byte& known : WindowsC1Bytes) {
        if (known.codePage == codePage && character == TextView(&known.character, 1)) {
            return true;
        }
    }
    return false;
}

// One character's conversion at a time, so that one the code page lacks (iconv's EILSEQ) can
// be given the default character and the rest still converted.
class Converter {
  public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() {
        if (Opened()) {
            iconv_close(handle_);
        }
    }

    bool Opened() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // The bytes of `input` converted whole; none when a character has no equivalent.
    std::optional<std::string> Convert(std::string input) {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        std::array<char, 16> output{};
        char* in = input.data();
        std::size_t inLeft = input.size();
        char* out = output.data();
        std::size_t outLeft = output.size();
        if (iconv(handle_, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) ||
            inLeft != 0) {
            return std::nullopt;
        }
        return std::string(output.data(), out);
    }

  private:
    iconv_t handle_;
};

std::string LittleEndianUnits(TextView units) {
    std::string bytes;
    for (char16_t unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

// A code page's two converters, to it and back, opened on its first use and kept open, and
// whether it writes each ASCII character as its own byte and reads it back (as every ANSI code
// page of Windows does), found once through the converters themselves: opening converters and
// converting one character at a time cost far more than the bridge's own work, and Windows'
// WideCharToMultiByte pays neither. The simulated host runs on one thread, so one table of
// these serves it.
struct CodePageConverters {
    explicit CodePageConverters(const std::string& name)
        : to(name.c_str(), "UTF-16LE"), back("UTF-16LE", name.c_str()) {
        asciiAsItself = to.Opened() && back.Opened();
        for (char16_t unit = 0; unit < 0x80 && asciiAsItself; ++unit) {
            const std::string units = LittleEndianUnits(TextView(&unit, 1));
            const std::optional<std::string> converted = to.Convert(units);
            asciiAsItself = converted == std::string(1, static_cast<char>(unit)) &&
                            back.Convert(*converted) == units;
        }
    }
    Converter to;
    Converter back;
    bool asciiAsItself = false;
};

CodePageConverters& ConvertersOf(int codePage) {
    static std::map<int, CodePageConverters> opened;
    auto found = opened.find(codePage);
    if (found == opened.end()) {
        const std::string name = codePage == Utf8 ? "UTF-8" : "CP" + std::to_string(codePage);
        found = opened.try_emplace(codePage, name).first;
    }
    return found->second;
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

void RefuseAsWindows(int codePage, std::uint32_t flags) {
    if (!AcceptsToAnsiFlags(codePage, flags)) {
        throw PlatformError(ConvertingToAnsi(codePage), ErrorInvalidFlags, u"Invalid flags");
    }
    const CodePageConverters& converters = ConvertersOf(codePage);
    if (!converters.to.Opened() || !converters.back.Opened()) {
        throw PlatformError(ConvertingToAnsi(codePage), ErrorInvalidParameter,
                            u"The parameter is incorrect");
    }
}

std::string ToCodePage(int codePage, std::uint32_t flags, TextView text) {
    RefuseAsWindows(codePage, flags);
    auto& [to, back, asciiAsItself] = ConvertersOf(codePage);
    const std::string defaultCharacter = codePage == Utf8 ? "\xEF\xBF\xBD" : "?";
    std::string bytes;
    for (std::size_t at = 0; at < text.size();) {
        if (asciiAsItself && text[at] < 0x80) {
            bytes.push_back(static_cast<char>(text[at++]));
            continue;
        }
        const bool pair =
            IsHighSurrogate(text[at]) && at + 1 < text.size() && IsLowSurrogate(text[at + 1]);
        const TextView character = text.substr(at, pair ? 2 : 1);
        at += character.size();
        if (IsWindowsC1Byte(codePage, character)) {
            bytes.push_back(static_cast<char>(character[0]));
            continue;
        }
        // No best fit: a character whose bytes do not convert back to it is one the code page
        // has only as a look-alike (932's "\" for "¥").
        const std::string units = LittleEndianUnits(character);
        std::optional<std::string> converted = to.Convert(units);
        if (converted && (flags & NoBestFitChars) != 0 && back.Convert(*converted) != units) {
            converted.reset();
        }
        bytes += converted.value_or(defaultCharacter);
    }
    return bytes;
}

}  // namespace pontara::sim
