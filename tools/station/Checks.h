#pragma once
// What a station program checked: each check printed as it is made, PASS or FAIL with what was
// seen, and listed again at the end, closing with "N passed, N failed". Collaborations: Traffic
// (where the lines are printed).

#include <cstdio>
#include <string>
#include <vector>

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

    // A text read from the station (a field, a caption, a command Logger32 received, a list
    // of events) against the one written out; shows the text read.
    bool ExpectText(const std::string& seen, const std::string& expected, const std::string& what) {
        return Expect(seen == expected, what, "reads \"" + seen + "\"");
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

inline std::string SecondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", seconds);
    return text;
}

}  // namespace pontara::station
