#pragma once
// What a stand-in received, one record per event, kept in memory and optionally appended to a
// file as it happens, so that a test or the station can read it during or after a run.
// Collaborations: written by MixWStandIn (on its thread) and Logger32StandIn (on its windows'
// thread), read by tests and the station (on any thread).
//
// Each record keeps the moment it was made and what it carries as typed content (a code, a
// text, a call with its arguments, a DDE transaction), so that readers put the stand-ins on one
// timeline and read their fields from the records themselves. The details are the same for
// people: in the file and in Lines(), a record is one line, "<milliseconds since the transcript
// started> <event> <details>". Texts in the details are in double quotes, with \" and \\ for a
// quote and a backslash, \uXXXX for every UTF-16 unit outside printable ASCII (Quoted) and \xNN
// for every byte outside it (QuotedBytes), so a line is always plain ASCII. MixWStandIn.h and
// Logger32StandIn.h list their events and which content each carries.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "LinkMessage.h"
#include "platform/Text.h"

namespace pontara::standin {

// A text between the bridge and Logger32, as the bytes went: a text command Logger32 received,
// or a text Logger32 wrote into the bridge's Sent field.
struct LinkText {
    std::string ansi;
    bool sent = false;    // a text command that came by SendMessage from another thread
    bool nested = false;  // a write into Sent from inside Logger32's handling of a text command
};

// One argument of an automation call: its VARIANT type by name without "VT_" ("I2",
// "BSTR|BYREF") and its value, a text as it came and any other value as the invariant locale
// writes it; none for EMPTY and NULL.
struct CallArgument {
    std::string type;
    std::optional<Text> value;
    bool text = false;  // a BSTR
};

// An automation call or property read MixW received.
struct AutomationCall {
    std::string member;   // as MixW spells it; "#<DISPID>" for an id it does not know
    bool listed = false;  // an argument list was given (every method call)
    std::vector<CallArgument> arguments;  // in call order
    std::uint32_t refusedWith = 0;        // the HRESULT of a refused call; 0 when taken
    std::optional<Text> raised;           // the description of an exception raised
};

// A DDE transaction MixW's server received.
struct DdeTransaction {
    std::optional<Text> service = {};  // a connect's
    Text topic = {};
    std::optional<Text> item = {};  // none for connects and disconnects
    bool refused = false;
};

using Content = std::variant<std::monostate, LinkMessage, LinkText, AutomationCall, DdeTransaction>;

struct Record {
    std::chrono::steady_clock::time_point at;
    std::int64_t milliseconds = 0;  // since the transcript started
    std::string event;              // "call", "received", "dde-advstart" ...
    std::string details;            // the rest of the line, texts quoted
    Content content;                // what the event carries, typed

    // "<event> <details>", or the event alone when it has no details.
    std::string What() const;
    // "<milliseconds> <event> <details>"
    std::string Line() const;
};

class Transcript {
  public:
    // An empty path keeps the transcript in memory only.
    explicit Transcript(std::filesystem::path file = {});
    Transcript(const Transcript&) = delete;
    Transcript& operator=(const Transcript&) = delete;

    // Records one event now; the record as kept. A LinkMessage it carries takes the record's
    // milliseconds as its time.
    Record Add(std::string_view event, std::string_view details, Content content = {});

    // When the transcript started: the time its milliseconds count from.
    std::chrono::steady_clock::time_point Start() const { return start_; }
    std::size_t Size() const;
    // The records from the `first`-th on (counted from 0), for a reader that follows the
    // transcript as it grows without copying all of it each time.
    std::vector<Record> RecordsFrom(std::size_t first) const;
    // Whole lines, with their times.
    std::vector<std::string> Lines() const;
    // The lines without their times ("<event> <details>"), for exact comparisons.
    std::vector<std::string> Events() const;

  private:
    mutable std::mutex mutex_;
    const std::chrono::steady_clock::time_point start_;
    const std::filesystem::path file_;
    std::vector<Record> records_;
};

// A text as the transcript writes it: quoted, UTF-16 units outside printable ASCII as \uXXXX.
std::string Quoted(TextView text);
// Bytes as the transcript writes them: quoted, bytes outside printable ASCII as \xNN.
std::string QuotedBytes(std::string_view bytes);

// A text for people on a UTF-8 terminal.
std::string Utf8Of(TextView text);
// A text for comparing with a test's literal: ASCII as it is, every other UTF-16 unit written
// "\uXXXX".
std::string EscapedOf(TextView text);

}  // namespace pontara::standin
