#include "station/ChildProcess.h"

#include <stdexcept>
#include <utility>

#include "station/Paths.h"
#include "station/Pump.h"

namespace pontara::harness {

ChildProcess ChildProcess::Start(const std::string& path, const std::string& arguments) {
    std::string commandLine = "\"" + path + "\"";
    if (!arguments.empty()) {
        commandLine += " " + arguments;
    }
    const std::size_t slash = path.find_last_of("\\/");
    const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    // Under Wine a new process now and then dies while Wine sets it up, before any of the
    // program's code runs ("failed to map the shared user data"), and CreateProcess fails with
    // ERROR_INTERNAL_ERROR; Windows does not do this. Nothing of the program ran, so it is
    // started again, at most twice more.
    for (int attempt = 1;; ++attempt) {
        if (CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           directory.c_str(), &startup, &started)) {
            break;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == 3) {
            throw std::runtime_error("Starting " + path + " failed: error " +
                                     std::to_string(error));
        }
    }
    CloseHandle(started.hThread);
    return ChildProcess(started.hProcess, started.dwProcessId);
}

ChildProcess::ChildProcess(HANDLE process, DWORD id)
    : process_(process), id_(id), startedAt_(std::chrono::steady_clock::now()) {}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)),
      id_(std::exchange(other.id_, 0)),
      startedAt_(other.startedAt_) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        Release();
        process_ = std::exchange(other.process_, nullptr);
        id_ = std::exchange(other.id_, 0);
        startedAt_ = other.startedAt_;
    }
    return *this;
}

ChildProcess::~ChildProcess() {
    Release();
}

void ChildProcess::Release() {
    if (process_ == nullptr) {
        return;
    }
    if (Running()) {
        Kill();
    }
    CloseHandle(process_);
    process_ = nullptr;
}

std::chrono::milliseconds ChildProcess::SinceStart() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 startedAt_);
}

bool ChildProcess::Running() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> ChildProcess::WaitForExit(std::chrono::milliseconds timeout) {
    if (!PumpUntil([this] { return !Running(); }, timeout)) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

void ChildProcess::Kill() {
    if (process_ != nullptr && Running()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 10000);
    }
}

ChildProcess StartPontara() {
    return ChildProcess::Start(PontaraPath());
}

}  // namespace pontara::harness
