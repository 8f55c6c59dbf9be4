#include "Transcript.h"

#include <cstdio>
#include <fstream>

namespace pontara::standin {

namespace {

// One code point as UTF-8.
void AppendUtf8(std::string& out, char32_t point) {
    if (point < 0x80) {
        out += static_cast<char>(point);
    } else if (point < 0x800) {
        out += static_cast<char>(0xC0 | (point >> 6));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        out += static_cast<char>(0xE0 | (point >> 12));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (point >> 18));
        out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    }
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
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

Record Transcript::Add(std::string_view event, std::string_view details, Content content) {
    Record record;
    record.at = std::chrono::steady_clock::now();
    record.milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(record.at - start_).count();
    record.event = event;
    record.details = details;
    record.content = std::move(content);
    if (auto* message = std::get_if<LinkMessage>(&record.content)) {
        message->time = record.milliseconds;
    }
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

std::string Utf8Of(TextView text) {
    std::string utf8;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at];
        if (IsHighSurrogate(unit) && at + 1 < text.size() && IsLowSurrogate(text[at + 1])) {
            AppendUtf8(utf8, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[++at] - 0xDC00));
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(utf8, U'\uFFFD');  // a surrogate without its pair
        } else {
            AppendUtf8(utf8, unit);
        }
    }
    return utf8;
}

std::string EscapedOf(TextView text) {
    std::string escaped;
    for (char16_t unit : text) {
        if (unit < 0x80) {
            escaped += static_cast<char>(unit);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(unit));
            escaped += escape;
        }
    }
    return escaped;
}

}  // namespace pontara::standin
