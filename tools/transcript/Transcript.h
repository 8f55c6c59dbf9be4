#pragma once
// What a stand-in received, one record per event, kept in memory and optionally appended to a
// file as it happens, so that a test or the station can read it during or after a run.
// Collaborations: written by MixWStandIn (on its thread) and Logger32StandIn (on its windows'
// thread), read by tests and the station (on any thread).
//
// Each record keeps the moment it was made, so that readers put the stand-ins on one timeline
// from the records themselves. For people, in the file and in Lines(), a record is one line,
// "<milliseconds since the transcript started> <event> <details>". Texts in the details are in
// double quotes, with \" and \\ for a quote and a backslash, \uXXXX for every UTF-16 unit outside
// printable ASCII (Quoted) and \xNN for every byte outside it (QuotedBytes), so a line is always
// plain ASCII. MixWStandIn.h and Logger32StandIn.h list their events.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Text.h"

namespace pontara::standin {

struct Record {
    std::chrono::steady_clock::time_point at;
    std::int64_t milliseconds = 0;  // since the transcript started
    std::string event;              // "call", "received", "dde-advstart" ...
    std::string details;            // the rest of the line, texts quoted

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

    // Records one event now; the record as kept.
    Record Add(std::string_view event, std::string_view details);

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

// A line of a transcript written by another process (a stand-in program's file), read back as
// a record of a transcript that started at `start`; none when the line does not start with its
// milliseconds.
std::optional<Record> ReadLine(std::string_view line, std::chrono::steady_clock::time_point start);

// A text as the transcript writes it: quoted, UTF-16 units outside printable ASCII as \uXXXX.
std::string Quoted(TextView text);
// Bytes as the transcript writes them: quoted, bytes outside printable ASCII as \xNN.
std::string QuotedBytes(std::string_view bytes);

// How Unquoted gives a UTF-16 unit outside ASCII (\uXXXX).
enum class WideUnits {
    Utf8,     // as UTF-8, for printing
    Escaped,  // as the escape itself, "\u042E", for comparing with a test's literal
};
// The text in double quotes from `position` (at the opening quote) to the closing one, with
// \", \\ and \xNN undone and \uXXXX as `wide` says; `position` moves past the closing quote.
std::string Unquoted(std::string_view line, std::size_t& position, WideUnits wide);

}  // namespace pontara::standin
