#pragma once
// What a process costs: its working set, peak working set and private bytes, and the processor
// time it has used, read from outside by the program that started it.
// Collaborations: GetProcessMemoryInfo and GetProcessTimes on the process handle; under Wine,
// which does not count another process's processor time (GetProcessTimes gives a fixed 10 ms
// of kernel time and no user time for it), the process's own line in /proc, reached through
// drive Z:. The process is found there by a token on its command line (MarkerArgument).

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace pontara::station {

struct ProcessFigures {
    // GetProcessMemoryInfo (under Wine: /proc/<pid>/status of the process).
    std::uint64_t peakWorkingSet = 0;
    std::uint64_t workingSet = 0;
    std::uint64_t privateBytes = 0;  // PagefileUsage: memory of its own, not shared
    // Under Wine, the resident memory by kind from /proc/<pid>/status: pages of the process's
    // own (heaps, stacks) and pages of mapped files (Wine's DLLs and libraries, shared with
    // every other Wine process). Zero when not read.
    std::uint64_t residentAnonymous = 0;
    std::uint64_t residentFiles = 0;
    // User and kernel time; negative when neither source gave it.
    double cpuSeconds = -1;
    std::string cpuSource;  // "GetProcessTimes" or "/proc/<pid>/stat"
};

// True when running under Wine.
bool UnderWine();

// A token to put on a started program's command line so that its line in /proc can be found.
// Pontara reads no command line; the token changes nothing in it.
std::string MarkerArgument();

class ProcessMeter {
  public:
    // `marker`: the token on the process's command line; empty when there is none.
    ProcessMeter(HANDLE process, std::string marker);

    ProcessFigures Read();
    // The process's Unix process id under Wine, once found.
    std::optional<unsigned> UnixProcessId();

  private:
    HANDLE process_;
    std::string marker_;
    std::optional<unsigned> unixProcessId_;
    bool searched_ = false;
};

// Seconds from a FILETIME duration.
double Seconds(const FILETIME& time);

}  // namespace pontara::station
