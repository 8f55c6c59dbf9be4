#include "Transcript.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace pontara::standin {

namespace {

void AppendUtf8(std::string& out, unsigned unit) {
    if (unit < 0x80) {
        out += static_cast<char>(unit);
    } else if (unit < 0x800) {
        out += static_cast<char>(0xC0 | (unit >> 6));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (unit >> 12));
        out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    }
}

unsigned long Hexadecimal(std::string_view digits) {
    return std::strtoul(std::string(digits).c_str(), nullptr, 16);
}

}  // namespace

std::string Record::What() const {
    return details.empty() ? event : event + " " + details;
}

std::string Record::Line() const {
    return std::to_string(milliseconds) + " " + What();
}

Transcript::Transcript(std::filesystem::path file)
    : start_(std::chrono::steady_clock::now()), file_(std::move(file)) {}

Record Transcript::Add(std::string_view event, std::string_view details) {
    Record record;
    record.at = std::chrono::steady_clock::now();
    record.milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(record.at - start_).count();
    record.event = event;
    record.details = details;
    std::lock_guard lock(mutex_);
    records_.push_back(record);
    if (!file_.empty()) {
        // Opened for each line, so that a reader sees every line as soon as it is written.
        std::ofstream out(file_, std::ios::app | std::ios::binary);
        out << record.Line() << '\n';
    }
    return record;
}

std::size_t Transcript::Size() const {
    std::lock_guard lock(mutex_);
    return records_.size();
}

std::vector<Record> Transcript::RecordsFrom(std::size_t first) const {
    std::lock_guard lock(mutex_);
    if (first >= records_.size()) {
        return {};
    }
    return {records_.begin() + static_cast<std::ptrdiff_t>(first), records_.end()};
}

std::vector<std::string> Transcript::Lines() const {
    std::vector<std::string> lines;
    for (const Record& record : RecordsFrom(0)) {
        lines.push_back(record.Line());
    }
    return lines;
}

std::vector<std::string> Transcript::Events() const {
    std::vector<std::string> events;
    for (const Record& record : RecordsFrom(0)) {
        events.push_back(record.What());
    }
    return events;
}

std::optional<Record> ReadLine(std::string_view line, std::chrono::steady_clock::time_point start) {
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos || space == 0) {
        return std::nullopt;
    }
    const std::string digits(line.substr(0, space));
    char* end = nullptr;
    const long long milliseconds = std::strtoll(digits.c_str(), &end, 10);
    if (end != digits.c_str() + digits.size()) {
        return std::nullopt;
    }
    Record record;
    record.milliseconds = milliseconds;
    record.at = start + std::chrono::milliseconds(milliseconds);
    const std::string_view what = line.substr(space + 1);
    const std::size_t split = what.find(' ');
    record.event = what.substr(0, split);
    if (split != std::string_view::npos) {
        record.details = what.substr(split + 1);
    }
    return record;
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

std::string QuotedBytes(std::string_view bytes) {
    std::string quoted = "\"";
    for (unsigned char byte : bytes) {
        if (byte == '"' || byte == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(byte);
        } else if (byte < 0x20 || byte > 0x7E) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            quoted += escape;
        } else {
            quoted += static_cast<char>(byte);
        }
    }
    return quoted + "\"";
}

std::string Unquoted(std::string_view line, std::size_t& position, WideUnits wide) {
    std::string text;
    std::size_t at = position + 1;
    while (at < line.size() && line[at] != '"') {
        if (line[at] == '\\' && at + 1 < line.size()) {
            const char escaped = line[at + 1];
            if (escaped == 'x' && at + 3 < line.size()) {
                text += static_cast<char>(Hexadecimal(line.substr(at + 2, 2)));
                at += 4;
            } else if (escaped == 'u' && at + 5 < line.size()) {
                const unsigned long unit = Hexadecimal(line.substr(at + 2, 4));
                if (unit < 0x80 || wide == WideUnits::Utf8) {
                    AppendUtf8(text, static_cast<unsigned>(unit));
                } else {
                    text += line.substr(at, 6);
                }
                at += 6;
            } else {
                text += escaped;
                at += 2;
            }
        } else {
            text += line[at++];
        }
    }
    position = at < line.size() ? at + 1 : at;
    return text;
}

}  // namespace pontara::standin
