#pragma once
// The traffic between Pontara, Logger32 and MixW on one timeline, as the stand-ins record it.
// Responsibilities: following both stand-ins' transcripts while the station runs, turning each
// record into an event with its parties and a readable account, timing it from Pontara's launch,
// printing it as it comes, and keeping it for the checks. Events are made from the records'
// typed content; their details are for people. Collaborations: Logger32StandIn (its record
// observer, on any thread), the MixW stand-in's Transcript (read on from where it was left),
// WineStation (which polls while it waits).
//
// A printed line: "<seconds since launch> s  <from> -> <to>  <account>", for example
//    4.012 s  Pontara  -> Logger32  code 1 (connect request) lParam=0x00010066
//    9.612 s  Pontara  -> MixW      ExecuteMacros("<ZFQ:14070.0>")
// Pontara's reads on every Timer2 tick (FqA, AudioFq, QSO-data items 19 and 13) are "polls":
// shown for the first tick only unless asked for, and counted.

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "Transcript.h"
#include "mixw/MixWAutomation.h"

namespace pontara::standin {
class Logger32StandIn;
}  // namespace pontara::standin

namespace pontara::station {

using Clock = std::chrono::steady_clock;

enum class Party { Station, Pontara, Logger32, MixW };
const char* NameOf(Party party);

enum class Kind {
    Code,       // Pontara -> Logger32: a registered message (code, lParam, posted or sent)
    Answer,     // Logger32 -> Pontara: a registered message
    Text,       // Pontara -> Logger32: a text command (WM_SETTEXT to its text window)
    WriteSent,  // Logger32 -> Pontara: a text written into the Sent field
    Call,       // Pontara -> MixW: an automation method
    Get,        // Pontara -> MixW: an automation property read
    Dde,        // Pontara -> MixW: a DDE transaction
    Script,     // the station changed a peer (a MixW item, the dial)
    Note,       // anything else worth a line: a stand-in's start, a failure, a step
};

struct Event {
    double seconds = 0;  // since Pontara's launch; negative before it
    Party from = Party::Station;
    Party to = Party::Station;
    Kind kind = Kind::Note;
    std::string account;  // the printed line after the parties
    bool poll = false;    // one of the reads of every Timer2 tick
    bool failed = false;  // refused, raised, or not delivered

    // Kind::Code and Kind::Answer: the message as the Logger32 stand-in recorded it.
    standin::LinkMessage message;

    // Kind::Text, Kind::WriteSent: the text; Kind::Call, Kind::Get, Kind::Dde: the member or
    // transaction and its arguments (texts unquoted).
    std::string text;
    std::string member;
    std::vector<std::string> arguments;
};

// Matchers for Traffic::Find and WineStation::WaitForEvent.
using Match = std::function<bool(const Event&)>;
Match TextIs(std::string text);  // a text command Logger32 received, whole
Match TextStartsWith(std::string start);
Match TextContains(std::string part);
Match CodeIs(std::uint32_t code);  // a code Pontara sent Logger32
// A member of MixW's automation object by the name the MixW stand-in records it under
// (Event::member, standin::AutomationCall::member): its name in mixw::Members.
std::string RecordedName(mixw::Member member);
// A call of MixW's automation object with exactly these arguments (texts unquoted).
Match CallIs(mixw::Member member, std::vector<std::string> arguments);
// A call that changes MixW: a macro (ExecuteMacros) or SetQsoData.
bool ChangesMixW(const Event& event);
// A code of the rig's hand-over (Logger32Protocol.h's rig codes).
bool IsRigCode(const Event& event);
// The start of a Timer2 tick: ForwardQsoData's first call, reading MixW's QSO-data item 19.
bool IsTickStart(const Event& event);

// For what a check saw: the events' accounts, ", " between them ("nothing" for none), and the
// codes as "<code>(<lParam>)", " " between them ("none" for none).
std::string Accounts(const std::vector<const Event*>& events);
std::string Codes(const std::vector<const Event*>& events);

class Traffic {
  public:
    struct Options {
        bool print = false;  // each event as it comes, on standard output
        bool showPolls = false;
    };

    explicit Traffic(Options options);
    Traffic(const Traffic&) = delete;
    Traffic& operator=(const Traffic&) = delete;

    // Time zero is Pontara's launch; until it is set, the traffic's own creation.
    void SetZero(Clock::time_point zero);
    double Seconds(Clock::time_point at) const;
    double Now() const;

    // The stand-ins' records, each at the moment it was made.
    void FollowLogger32(standin::Logger32StandIn& logger32);
    void FollowMixW(std::shared_ptr<standin::Transcript> transcript);
    // Takes in what the stand-ins recorded since the last poll, prints it and keeps it. Call
    // it on the thread that reads the events.
    void Poll();

    // What the station itself did or saw.
    void Note(const std::string& account);
    void Script(Party from, Party to, const std::string& account);
    void Heading(const std::string& title);
    void Print(const std::string& line) const;

    // A deque, so that the events found below stay where they are while more arrive.
    const std::deque<Event>& Events() const { return events_; }
    std::size_t Mark() const { return events_.size(); }
    // The first event at or after `from` that satisfies `match`, or null.
    const Event* Find(std::size_t from, const std::function<bool(const Event&)>& match) const;
    std::vector<const Event*> FindAll(std::size_t from,
                                      const std::function<bool(const Event&)>& match) const;
    std::size_t Count(std::size_t from, const std::function<bool(const Event&)>& match) const;
    std::size_t PollCount() const { return polls_; }

    // While false, events are kept and counted but nothing is printed (a flood).
    void SetPrinting(bool print) { options_.print = print; }

  private:
    struct Pending {
        Party source;
        standin::Record record;
    };

    void AddLogger32Record(const standin::Record& record);
    void Take(Pending pending);
    void Keep(Event event);

    Options options_;
    Clock::time_point zero_;
    bool zeroSet_ = false;  // until Pontara's launch, times print as "before"
    bool pollsExplained_ = false;
    std::size_t polls_ = 0;
    std::deque<Event> events_;

    std::mutex mutex_;  // guards incoming_, filled by the Logger32 stand-in's observer
    std::deque<Pending> incoming_;

    std::shared_ptr<standin::Transcript> mixw_;
    std::size_t mixwRecordsRead_ = 0;
};

}  // namespace pontara::station
