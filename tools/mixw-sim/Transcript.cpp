#include "Transcript.h"

#include <cstdio>
#include <fstream>

namespace pontara::standin {

Transcript::Transcript(std::filesystem::path file)
    : start_(std::chrono::steady_clock::now()), file_(std::move(file)) {}

void Transcript::Add(std::string_view event, std::string_view details) {
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start_);
    std::string line = std::to_string(elapsed.count());
    line += ' ';
    line += event;
    if (!details.empty()) {
        line += ' ';
        line += details;
    }
    std::lock_guard lock(mutex_);
    lines_.push_back(line);
    if (!file_.empty()) {
        // Opened for each line, so that a reader sees every line as soon as it is written.
        std::ofstream out(file_, std::ios::app | std::ios::binary);
        out << line << '\n';
    }
}

std::vector<std::string> Transcript::Lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::vector<std::string> Transcript::LinesFrom(std::size_t first) const {
    std::lock_guard lock(mutex_);
    if (first >= lines_.size()) {
        return {};
    }
    return {lines_.begin() + static_cast<std::ptrdiff_t>(first), lines_.end()};
}

std::vector<std::string> Transcript::Events() const {
    std::vector<std::string> events = Lines();
    for (std::string& line : events) {
        line.erase(0, line.find(' ') + 1);
    }
    return events;
}

std::string Quoted(TextView text) {
    std::string quoted = "\"";
    for (char16_t unit : text) {
        if (unit == u'"' || unit == u'\\') {
            quoted += '\\';
            quoted += static_cast<char>(unit);
        } else if (unit >= 0x20 && unit < 0x7F) {
            quoted += static_cast<char>(unit);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(unit));
            quoted += escape;
        }
    }
    quoted += '"';
    return quoted;
}

}  // namespace pontara::standin
