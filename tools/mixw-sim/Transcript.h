#pragma once
// What a stand-in received, one line per event, kept in memory and optionally appended to a
// file as it happens, so that a test can read it during or after a run.
// Collaborations: written by MixWStandIn (on its thread), read by tests (on any thread).
//
// A line is "<milliseconds since the transcript started> <event> <details>". Texts in the
// details are in double quotes, with \" and \\ for a quote and a backslash and \uXXXX for every
// unit outside printable ASCII, so a line is always plain ASCII. MixWStandIn.h lists its
// events.

#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Text.h"

namespace pontara::standin {

class Transcript {
  public:
    // An empty path keeps the transcript in memory only.
    explicit Transcript(std::filesystem::path file = {});

    void Add(std::string_view event, std::string_view details);

    // Whole lines, with their times.
    std::vector<std::string> Lines() const;
    // The lines from the `first`-th on (counted from 0), for a reader that follows the
    // transcript as it grows without copying all of it each time.
    std::vector<std::string> LinesFrom(std::size_t first) const;
    // The lines without their times ("<event> <details>"), for exact comparisons.
    std::vector<std::string> Events() const;

  private:
    mutable std::mutex mutex_;
    const std::chrono::steady_clock::time_point start_;
    const std::filesystem::path file_;
    std::vector<std::string> lines_;
};

// A text as the transcript writes it: quoted and escaped.
std::string Quoted(TextView text);

}  // namespace pontara::standin
