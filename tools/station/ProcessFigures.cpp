#include "station/ProcessFigures.h"

#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace pontara::station {

namespace {

// A file of /proc, read whole (its size reads as 0, so it is read until the end).
std::optional<std::string> ReadProcFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        content.append(buffer, read);
    }
    CloseHandle(file);
    return content;
}

// "Name:   1234 kB" in /proc/<pid>/status; 0 when absent.
std::uint64_t StatusKilobytes(const std::string& status, const std::string& name) {
    const std::size_t at = status.find(name);
    if (at == std::string::npos) {
        return 0;
    }
    return std::strtoull(status.c_str() + at + name.size(), nullptr, 10);
}

// The Linux kernel counts processor time in ticks of 1/100 s for user space on every
// architecture Wine runs on.
constexpr double TicksPerSecond = 100.0;

}  // namespace

bool UnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string MarkerArgument() {
    static std::atomic<unsigned> started = 0;
    return "station-run-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(GetTickCount()) + "-" + std::to_string(++started);
}

double Seconds(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 1e7;
}

ProcessMeter::ProcessMeter(HANDLE process, std::string marker)
    : process_(process), marker_(std::move(marker)) {}

std::optional<unsigned> ProcessMeter::UnixProcessId() {
    if (searched_ || marker_.empty() || !UnderWine()) {
        return unixProcessId_;
    }
    searched_ = true;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    do {
        const std::string name = found.cFileName;
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::optional<std::string> commandLine = ReadProcFile("Z:\\proc\\" + name + "\\cmdline");
        if (commandLine && commandLine->find(marker_) != std::string::npos &&
            commandLine->find("Pontara") != std::string::npos) {
            unixProcessId_ = static_cast<unsigned>(std::strtoul(name.c_str(), nullptr, 10));
            break;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return unixProcessId_;
}

ProcessFigures ProcessMeter::Read() {
    ProcessFigures figures;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process_, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory)) {
        figures.peakWorkingSet = memory.PeakWorkingSetSize;
        figures.workingSet = memory.WorkingSetSize;
        figures.privateBytes = memory.PagefileUsage;
    }

    if (std::optional<unsigned> unixId = UnixProcessId()) {
        const std::string status = "Z:\\proc\\" + std::to_string(*unixId) + "\\status";
        if (std::optional<std::string> lines = ReadProcFile(status)) {
            figures.residentAnonymous = StatusKilobytes(*lines, "RssAnon:") * 1024;
            figures.residentFiles = StatusKilobytes(*lines, "RssFile:") * 1024;
        }
        const std::string path = "Z:\\proc\\" + std::to_string(*unixId) + "\\stat";
        if (std::optional<std::string> stat = ReadProcFile(path)) {
            // Fields after the command name in parentheses: state is the 3rd field, utime the
            // 14th and stime the 15th.
            const std::size_t close = stat->rfind(')');
            if (close != std::string::npos) {
                std::istringstream fields(stat->substr(close + 2));
                std::vector<std::string> values;
                std::string value;
                while (fields >> value) {
                    values.push_back(value);
                }
                if (values.size() > 12) {
                    const double ticks = std::strtod(values[11].c_str(), nullptr) +
                                         std::strtod(values[12].c_str(), nullptr);
                    figures.cpuSeconds = ticks / TicksPerSecond;
                    figures.cpuSource = "/proc/" + std::to_string(*unixId) + "/stat";
                }
            }
        }
    }
    if (figures.cpuSeconds < 0 && !UnderWine()) {
        FILETIME created, exited, kernel, user;
        if (GetProcessTimes(process_, &created, &exited, &kernel, &user)) {
            figures.cpuSeconds = Seconds(kernel) + Seconds(user);
            figures.cpuSource = "GetProcessTimes";
        }
    }
    return figures;
}

}  // namespace pontara::station
