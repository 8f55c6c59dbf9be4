#include "station/Traffic.h"

#include <algorithm>
#include <cstdio>

#include "Logger32StandIn.h"
#include "MixWStandIn.h"
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

bool IsPoll(const Event& event) {
    if (event.kind == Kind::Get) {
        return event.member == RecordedName(mixw::Member::FqA) ||
               event.member == RecordedName(mixw::Member::AudioFq);
    }
    return event.kind == Kind::Call && event.member == RecordedName(mixw::Member::GetQsoData) &&
           event.arguments.size() == 1 &&
           (event.arguments[0] == std::to_string(mixw::LocatorIndex) ||
            event.arguments[0] == std::to_string(mixw::StateIndex));
}

Event Logger32Event(const standin::Record& record) {
    Event event;
    event.from = Party::Logger32;
    if (const auto* message = std::get_if<standin::LinkMessage>(&record.content)) {
        const bool received = record.event == standin::logger32_events::Received;
        event.kind = received ? Kind::Code : Kind::Answer;
        event.from = received ? Party::Pontara : Party::Logger32;
        event.to = received ? Party::Logger32 : Party::Pontara;
        event.message = *message;
        event.account = "code " + std::to_string(message->code) + " (" +
                        logger32::CodeName(message->code, message->lParam) +
                        ") lParam=" + ParameterText(message->code, message->lParam);
        if (message->name > 1) {
            event.account += "  [\"Logger32 " + std::to_string(message->name) + "\"]";
        }
        if (message->sent) {
            event.account += "  (sent: Pontara waits for the answer)";
        }
    } else if (const auto* text = std::get_if<standin::LinkText>(&record.content)) {
        event.text = text->ansi;
        if (record.event == standin::logger32_events::TextCommand) {
            event.kind = Kind::Text;
            event.from = Party::Pontara;
            event.to = Party::Logger32;
            event.account = "text " + event.text;
        } else {
            event.kind = Kind::WriteSent;
            event.to = Party::Pontara;
            event.account = "Sent := " + event.text;
            if (text->nested) {
                event.account += "  (from inside its handling of Pontara's text)";
            }
        }
    } else {
        event.failed = record.event.ends_with("failed");
        event.account = "stand-in " + record.What();
    }
    return event;
}

// "QSO|Call": the names of a transaction, as far as it has them.
std::string NamesOf(const standin::DdeTransaction& transaction) {
    std::string names = standin::Utf8Of(transaction.service.value_or(transaction.topic));
    if (transaction.service) {
        names += "|" + standin::Utf8Of(transaction.topic);
    }
    if (transaction.item) {
        names += "|" + standin::Utf8Of(*transaction.item);
    }
    return names;
}

// How a DDE transaction Pontara made reads in the traffic, before its names.
struct DdeAccount {
    std::string_view event;
    const char* account;
};
constexpr DdeAccount DdeAccounts[] = {
    {standin::mixw_events::DdeConnect, "DDE connect "},
    {standin::mixw_events::DdeRequest, "DDE request "},
    {standin::mixw_events::DdeAdviseStart, "DDE advise link "},
    {standin::mixw_events::DdeAdviseStop, "DDE advise link ended "},
    {standin::mixw_events::DdeDisconnect, "DDE disconnect "},
};

Event MixWEvent(const standin::Record& record) {
    Event event;
    event.from = Party::Pontara;
    event.to = Party::MixW;
    if (const auto* call = std::get_if<standin::AutomationCall>(&record.content)) {
        event.kind = record.event == standin::mixw_events::Get ? Kind::Get : Kind::Call;
        event.member = call->member;
        event.failed = call->refusedWith != 0 || call->raised.has_value();
        event.account = event.member;
        if (call->listed) {
            event.account += "(";
            for (const standin::CallArgument& argument : call->arguments) {
                const std::string value = standin::Utf8Of(argument.value.value_or(Text{}));
                event.account += event.arguments.empty() ? "" : ", ";
                event.account += argument.text ? "\"" + value + "\"" : value;
                event.arguments.push_back(value);
            }
            event.account += ")";
        }
        if (call->refusedWith != 0) {
            event.account += "  -> refused " + Hex(static_cast<std::int32_t>(call->refusedWith));
        }
        if (call->raised) {
            event.account += "  -> raised \"" + standin::Utf8Of(*call->raised) + "\"";
        }
        event.poll = IsPoll(event);
        return event;
    }
    if (const auto* transaction = std::get_if<standin::DdeTransaction>(&record.content)) {
        event.kind = Kind::Dde;
        event.member = record.event;
        event.failed = transaction->refused;
        const auto account =
            std::find_if(std::begin(DdeAccounts), std::end(DdeAccounts),
                         [&](const DdeAccount& known) { return known.event == record.event; });
        if (account != std::end(DdeAccounts)) {
            event.account = std::string(account->account) + NamesOf(*transaction);
        } else {
            event.from = Party::MixW;
            event.to = Party::Station;
            event.account = record.What();
        }
        if (event.failed) {
            event.account += "  -> refused";
        }
        return event;
    }
    event.kind = Kind::Note;
    event.from = Party::MixW;
    event.to = Party::Station;
    event.account = record.What();
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
    return [code](const Event& event) {
        return event.kind == Kind::Code && event.message.code == code;
    };
}

std::string RecordedName(mixw::Member member) {
    return AsciiOf(mixw::MemberName(member));
}

Match CallIs(mixw::Member member, std::vector<std::string> arguments) {
    return [name = RecordedName(member), arguments = std::move(arguments)](const Event& event) {
        return event.kind == Kind::Call && event.member == name && event.arguments == arguments;
    };
}

bool ChangesMixW(const Event& event) {
    return event.kind == Kind::Call && (event.member == RecordedName(mixw::Member::ExecuteMacros) ||
                                        event.member == RecordedName(mixw::Member::SetQsoData));
}

bool IsRigCode(const Event& event) {
    return event.kind == Kind::Code && logger32::IsRigCode(event.message.code);
}

std::string Accounts(const std::vector<const Event*>& events) {
    std::string text;
    for (const Event* event : events) {
        text += (text.empty() ? "" : ", ") + event->account;
    }
    return text.empty() ? "nothing" : text;
}

std::string Codes(const std::vector<const Event*>& events) {
    std::string text;
    for (const Event* event : events) {
        text += (text.empty() ? "" : " ") + std::to_string(event->message.code) + "(" +
                std::to_string(event->message.lParam) + ")";
    }
    return text.empty() ? "none" : text;
}

bool IsTickStart(const Event& event) {
    return event.kind == Kind::Call && event.member == RecordedName(mixw::Member::GetQsoData) &&
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

void Traffic::Poll() {
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
    if (pending.source == Party::Logger32 &&
        pending.record.event == standin::logger32_events::WriteSentDone) {
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
