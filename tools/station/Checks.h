#pragma once
// What a station program checked: each check printed as it is made, PASS or FAIL with what was
// seen, and listed again at the end, closing with "N passed, N failed". Collaborations: Traffic
// (where the lines are printed), logger32/TextCommands.h (the tokens the checks expect).

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "logger32/TextCommands.h"
#include "platform/Text.h"
#include "station/Traffic.h"

namespace pontara::station {

class Checks {
  public:
    explicit Checks(Traffic& traffic) : traffic_(traffic) {}

    // Records and prints one check; returns `passed`.
    bool Expect(bool passed, const std::string& what, const std::string& seen = {}) {
        traffic_.Poll();
        Line line{passed, what, seen};
        traffic_.Print(Format(line, "            "));
        lines_.push_back(std::move(line));
        return passed;
    }

    // Prints every check again; the number that failed.
    int Summary(const std::string& title) const {
        int failed = 0;
        traffic_.Print("");
        traffic_.Print("  == " + title + " ==");
        for (const Line& line : lines_) {
            traffic_.Print(Format(line, "  "));
            failed += line.passed ? 0 : 1;
        }
        traffic_.Print("");
        traffic_.Print("  " + std::to_string(lines_.size() - static_cast<std::size_t>(failed)) +
                       " passed, " + std::to_string(failed) + " failed");
        return failed;
    }

  private:
    struct Line {
        bool passed;
        std::string what;
        std::string seen;
    };

    static std::string Format(const Line& line, const std::string& indent) {
        std::string text = indent + (line.passed ? "PASS  " : "FAIL  ") + line.what;
        if (!line.seen.empty()) {
            text += "  [" + line.seen + "]";
        }
        return text;
    }

    Traffic& traffic_;
    std::vector<Line> lines_;
};

// "<TAG:length>value", the token of Logger32's text commands, of the ASCII texts of the station
// programs' scripts.
inline std::string Token(std::string_view tag, std::string_view value) {
    return AsciiOf(logger32::FormatTextToken(AsciiText(tag), AsciiText(value)));
}

inline std::string SecondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", seconds);
    return text;
}

}  // namespace pontara::station
