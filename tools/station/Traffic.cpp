#include "station/Traffic.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "Logger32StandIn.h"
#include "Transcript.h"
#include "logger32/Logger32Protocol.h"
#include "mixw/MixWAutomation.h"

namespace pontara::station {

namespace {

using namespace logger32;

std::string Hex(std::int32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(value));
    return buffer;
}

// "key=value" from a transcript line's details; empty when absent.
std::string ValueOf(std::string_view details, std::string_view key) {
    const std::string wanted = std::string(key) + "=";
    std::size_t at = 0;
    while ((at = details.find(wanted, at)) != std::string_view::npos) {
        if (at == 0 || details[at - 1] == ' ') {
            const std::size_t start = at + wanted.size();
            const std::size_t end = details.find(' ', start);
            return std::string(details.substr(
                start, end == std::string_view::npos ? std::string_view::npos : end - start));
        }
        at += wanted.size();
    }
    return {};
}

long long Number(const std::string& text) {
    return std::strtoll(text.c_str(), nullptr, 10);
}

bool CarriesWindow(std::uint32_t code) {
    const logger32::CodeInfo* info = logger32::FindCode(code);
    return info != nullptr && info->carriesWindow;
}

std::string ParameterText(std::uint32_t code, std::int32_t lParam) {
    if (CarriesWindow(code) && lParam != 0) {
        return Hex(lParam);
    }
    if (code == DialFrequency) {
        return std::to_string(lParam) + " Hz";
    }
    return std::to_string(lParam);
}

// The quoted texts of a line's details, in order.
std::vector<std::string> QuotedTexts(std::string_view details) {
    std::vector<std::string> texts;
    std::size_t at = 0;
    while ((at = details.find('"', at)) != std::string_view::npos) {
        texts.push_back(standin::Unquoted(details, at, standin::WideUnits::Utf8));
    }
    return texts;
}

// The first quoted text of a line's details; empty when it has none.
std::string FirstQuotedText(std::string_view details) {
    std::size_t at = details.find('"');
    return at == std::string_view::npos ? std::string{}
                                        : standin::Unquoted(details, at, standin::WideUnits::Utf8);
}

// "I2 19, BSTR|BYREF \"Q1ABC\"": the values, texts unquoted; `quoted` tells which were texts.
std::vector<std::string> Arguments(std::string_view list, std::vector<bool>& quoted) {
    std::vector<std::string> values;
    std::size_t at = 0;
    while (at < list.size()) {
        while (at < list.size() && (list[at] == ' ' || list[at] == ',')) {
            ++at;
        }
        const std::size_t typeEnd = list.find_first_of(" ,", at);
        if (typeEnd == std::string_view::npos || list[typeEnd] == ',') {
            values.emplace_back();  // a type with no value (EMPTY, NULL)
            quoted.push_back(false);
            at = typeEnd == std::string_view::npos ? list.size() : typeEnd;
            continue;
        }
        at = typeEnd + 1;
        if (at < list.size() && list[at] == '"') {
            values.push_back(standin::Unquoted(list, at, standin::WideUnits::Utf8));
            quoted.push_back(true);
        } else {
            const std::size_t end = list.find(',', at);
            values.emplace_back(
                list.substr(at, end == std::string_view::npos ? list.size() - at : end - at));
            quoted.push_back(false);
            at = end == std::string_view::npos ? list.size() : end;
        }
    }
    return values;
}

bool IsPoll(const Event& event) {
    if (event.kind == Kind::Get) {
        return event.member == "FqA" || event.member == "AudioFq";
    }
    return event.kind == Kind::Call && event.member == "GetQsoData" &&
           event.arguments.size() == 1 &&
           (event.arguments[0] == std::to_string(mixw::LocatorIndex) ||
            event.arguments[0] == std::to_string(mixw::StateIndex));
}

Event Logger32Event(const standin::Record& record) {
    const std::string_view verb = record.event;
    const std::string_view details = record.details;
    const std::string line = record.What();
    Event event;
    if (verb == "received" || verb == "post") {
        const bool received = verb == "received";
        event.kind = received ? Kind::Code : Kind::Answer;
        event.from = received ? Party::Pontara : Party::Logger32;
        event.to = received ? Party::Logger32 : Party::Pontara;
        event.name = static_cast<int>(Number(ValueOf(details, "name")));
        event.code = static_cast<std::uint32_t>(Number(ValueOf(details, "code")));
        event.lParam = static_cast<std::int32_t>(Number(ValueOf(details, "lparam")));
        event.sent = details.ends_with(" sent");
        event.account = "code " + std::to_string(event.code) + " (" +
                        logger32::CodeName(event.code, event.lParam) +
                        ") lParam=" + ParameterText(event.code, event.lParam);
        if (event.name > 1) {
            event.account += "  [\"Logger32 " + std::to_string(event.name) + "\"]";
        }
        if (event.sent) {
            event.account += "  (sent: Pontara waits for the answer)";
        }
    } else if (verb == "text") {
        event.kind = Kind::Text;
        event.from = Party::Pontara;
        event.to = Party::Logger32;
        event.text = FirstQuotedText(details);
        event.account = "text " + event.text;
    } else if (verb == "write-sent") {
        event.kind = Kind::WriteSent;
        event.from = Party::Logger32;
        event.to = Party::Pontara;
        event.text = FirstQuotedText(details);
        event.account = "Sent := " + event.text;
        if (details.ends_with(" nested")) {
            event.account += "  (from inside its handling of Pontara's text)";
        }
    } else if (verb == "start") {
        event.from = Party::Logger32;
        event.account = "stand-in up: window " + ValueOf(details, "window") + ", text window " +
                        ValueOf(details, "text-window");
    } else {
        event.from = Party::Logger32;
        event.failed = verb.ends_with("failed");
        event.account = std::string(line);
    }
    return event;
}

Event MixWEvent(const standin::Record& record) {
    const std::string_view verb = record.event;
    const std::string_view details = record.details;
    const std::string line = record.What();
    Event event;
    event.from = Party::Pontara;
    event.to = Party::MixW;
    event.failed = details.find(" refused") != std::string_view::npos ||
                   details.find(" raised \"") != std::string_view::npos;
    if (verb == "call" || verb == "get") {
        event.kind = verb == "call" ? Kind::Call : Kind::Get;
        const std::size_t open = details.find('(');
        const std::size_t nameEnd = details.find_first_of(" (");
        event.member = std::string(details.substr(0, nameEnd));
        event.account = event.member;
        if (open != std::string_view::npos && open == nameEnd) {
            // The argument list ends at the last ")" before any " refused" or " raised".
            std::size_t close = details.rfind(')');
            const std::size_t outcome = details.find(") re");
            if (outcome != std::string_view::npos) {
                close = outcome;
            }
            std::vector<bool> quoted;
            event.arguments = Arguments(details.substr(open + 1, close - open - 1), quoted);
            event.account += "(";
            for (std::size_t index = 0; index < event.arguments.size(); ++index) {
                event.account += index > 0 ? ", " : "";
                event.account +=
                    quoted[index] ? "\"" + event.arguments[index] + "\"" : event.arguments[index];
            }
            event.account += ")";
        }
        if (event.failed) {
            // "... raised \"<description>\"" or "... refused 0x<HRESULT>"
            std::size_t outcome = details.find(" raised");
            if (outcome == std::string_view::npos) {
                outcome = details.find(" refused");
            }
            event.account += "  -> " + std::string(details.substr(outcome + 1));
        }
        event.poll = IsPoll(event);
        return event;
    }
    if (verb.starts_with("dde-")) {
        event.kind = Kind::Dde;
        event.member = std::string(verb);
        event.arguments = QuotedTexts(details);
        const std::string names = event.arguments.size() >= 2
                                      ? event.arguments[0] + "|" + event.arguments[1]
                                      : (event.arguments.empty() ? "" : event.arguments[0]);
        if (verb == "dde-connect") {
            event.account = "DDE connect " + names;
        } else if (verb == "dde-request") {
            event.account = "DDE request " + names;
        } else if (verb == "dde-advstart") {
            event.account = "DDE advise link " + names;
        } else if (verb == "dde-advstop") {
            event.account = "DDE advise link ended " + names;
        } else if (verb == "dde-disconnect") {
            event.account = "DDE disconnect " + names;
        } else {
            event.from = Party::MixW;
            event.to = Party::Station;
            event.account = std::string(line);
        }
        if (event.failed) {
            event.account += "  -> refused";
        }
        return event;
    }
    event.kind = Kind::Note;
    event.from = Party::MixW;
    event.to = Party::Station;
    event.account = std::string(line);
    return event;
}

}  // namespace

Match TextIs(std::string text) {
    return [text = std::move(text)](const Event& event) {
        return event.kind == Kind::Text && event.text == text;
    };
}

Match TextStartsWith(std::string start) {
    return [start = std::move(start)](const Event& event) {
        return event.kind == Kind::Text && event.text.starts_with(start);
    };
}

Match TextContains(std::string part) {
    return [part = std::move(part)](const Event& event) {
        return event.kind == Kind::Text && event.text.find(part) != std::string::npos;
    };
}

Match CodeIs(std::uint32_t code) {
    return [code](const Event& event) { return event.kind == Kind::Code && event.code == code; };
}

bool IsTickStart(const Event& event) {
    return event.kind == Kind::Call && event.member == "GetQsoData" &&
           event.arguments == std::vector<std::string>{std::to_string(mixw::LocatorIndex)};
}

const char* NameOf(Party party) {
    switch (party) {
        case Party::Pontara:
            return "Pontara";
        case Party::Logger32:
            return "Logger32";
        case Party::MixW:
            return "MixW";
        case Party::Station:
            break;
    }
    return "Station";
}

Traffic::Traffic(Options options) : options_(options), zero_(Clock::now()) {}

void Traffic::SetZero(Clock::time_point zero) {
    zero_ = zero;
    zeroSet_ = true;
}

double Traffic::Seconds(Clock::time_point at) const {
    return std::chrono::duration<double>(at - zero_).count();
}

double Traffic::Now() const {
    return Seconds(Clock::now());
}

void Traffic::FollowLogger32(standin::Logger32StandIn& logger32) {
    // What it recorded before it was followed, then every record as it is made.
    for (const standin::Record& record : logger32.Log().RecordsFrom(0)) {
        AddLogger32Record(record);
    }
    logger32.OnRecord([this](const standin::Record& record) { AddLogger32Record(record); });
}

void Traffic::AddLogger32Record(const standin::Record& record) {
    std::lock_guard lock(mutex_);
    incoming_.push_back({Party::Logger32, record});
}

void Traffic::FollowMixW(std::shared_ptr<standin::Transcript> transcript) {
    mixw_ = std::move(transcript);
    mixwRecordsRead_ = 0;
}

void Traffic::FollowLogger32File(const std::string& path, Clock::time_point startedAt) {
    files_.push_back({path, startedAt, 0, {}});
}

void Traffic::ReadFollowedFiles() {
    for (FollowedFile& file : files_) {
        HANDLE handle = CreateFileA(file.path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            continue;
        }
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(file.offset);
        SetFilePointerEx(handle, position, nullptr, FILE_BEGIN);
        char buffer[8192];
        DWORD read = 0;
        while (ReadFile(handle, buffer, sizeof buffer, &read, nullptr) && read > 0) {
            file.offset += read;
            file.partial.append(buffer, read);
        }
        CloseHandle(handle);
        std::size_t end;
        while ((end = file.partial.find('\n')) != std::string::npos) {
            std::string line = file.partial.substr(0, end);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            file.partial.erase(0, end + 1);
            if (std::optional<standin::Record> record = standin::ReadLine(line, file.startedAt)) {
                AddLogger32Record(*record);
            }
        }
    }
}

void Traffic::Poll() {
    ReadFollowedFiles();
    std::vector<Pending> batch;
    {
        std::lock_guard lock(mutex_);
        batch.assign(incoming_.begin(), incoming_.end());
        incoming_.clear();
    }
    if (mixw_) {
        for (standin::Record& record : mixw_->RecordsFrom(mixwRecordsRead_)) {
            ++mixwRecordsRead_;
            batch.push_back({Party::MixW, std::move(record)});
        }
    }
    std::stable_sort(batch.begin(), batch.end(),
                     [](const Pending& a, const Pending& b) { return a.record.at < b.record.at; });
    for (Pending& pending : batch) {
        Take(std::move(pending));
    }
}

void Traffic::Take(Pending pending) {
    if (pending.source == Party::Logger32 && pending.record.event == "write-sent-done") {
        return;  // the write's own line says enough
    }
    Event event = pending.source == Party::Logger32 ? Logger32Event(pending.record)
                                                    : MixWEvent(pending.record);
    event.seconds = Seconds(pending.record.at);
    Keep(std::move(event));
}

void Traffic::Keep(Event event) {
    if (event.poll) {
        ++polls_;
    }
    if (options_.print) {
        // The reads of the first tick are shown; from the next other event on they are counted.
        if (!event.poll && polls_ > 0 && !pollsExplained_ && !options_.showPolls) {
            pollsExplained_ = true;
            Print(
                "             (Pontara reads FqA, AudioFq and QSO-data items 19 and 13 on every "
                "Timer2 tick; from here on these reads are counted, not shown)");
        }
        if (!event.poll || options_.showPolls || !pollsExplained_) {
            char head[64];
            if (zeroSet_) {
                std::snprintf(head, sizeof head, "%9.3f s  ", event.seconds);
            } else {
                std::snprintf(head, sizeof head, "%11s  ", "before");
            }
            std::string line = head;
            char who[40];
            if (event.from == Party::Station || event.to == Party::Station) {
                std::snprintf(who, sizeof who, "%-22s", NameOf(event.from));
            } else {
                std::snprintf(who, sizeof who, "%-8s -> %-8s    ", NameOf(event.from),
                              NameOf(event.to));
            }
            Print(line + who + event.account);
        }
    }
    events_.push_back(std::move(event));
}

void Traffic::Note(const std::string& account) {
    Poll();
    Event event;
    event.seconds = Now();
    event.account = account;
    Keep(std::move(event));
}

void Traffic::Script(Party from, Party to, const std::string& account) {
    Poll();
    Event event;
    event.seconds = Now();
    event.from = from;
    event.to = to;
    event.kind = Kind::Script;
    event.account = account;
    Keep(std::move(event));
}

void Traffic::Heading(const std::string& title) {
    Poll();
    Print("");
    Print("  == " + title + " ==");
}

void Traffic::Print(const std::string& line) const {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

const Event* Traffic::Find(std::size_t from, const std::function<bool(const Event&)>& match) const {
    for (std::size_t index = from; index < events_.size(); ++index) {
        if (match(events_[index])) {
            return &events_[index];
        }
    }
    return nullptr;
}

std::vector<const Event*> Traffic::FindAll(std::size_t from,
                                           const std::function<bool(const Event&)>& match) const {
    std::vector<const Event*> found;
    for (std::size_t index = from; index < events_.size(); ++index) {
        if (match(events_[index])) {
            found.push_back(&events_[index]);
        }
    }
    return found;
}

std::size_t Traffic::Count(std::size_t from, const std::function<bool(const Event&)>& match) const {
    return FindAll(from, match).size();
}

}  // namespace pontara::station
