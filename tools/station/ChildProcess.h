#pragma once
// A program the test starts (Pontara.exe, a stand-in program) and owns: it is killed when the
// test lets go of it while it still runs, so no test leaves a process behind for the next.

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

namespace pontara::harness {

class ChildProcess {
  public:
    // Starts `path` with `arguments` (one command-line string) in the program's own directory.
    // Throws std::runtime_error when CreateProcess fails.
    static ChildProcess Start(const std::string& path, const std::string& arguments = {});

    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_; }
    // When CreateProcess returned; timings of the program are measured from here.
    std::chrono::steady_clock::time_point StartedAt() const { return startedAt_; }
    std::chrono::milliseconds SinceStart() const;

    bool Running() const;
    // Waits, dispatching the test thread's messages, for the program to end; its exit code, or
    // none when it still runs after `timeout`.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout);
    // Ends the program at once (exit code 1) and waits until it is gone.
    void Kill();

  private:
    ChildProcess(HANDLE process, DWORD id);
    void Release();

    HANDLE process_ = nullptr;
    DWORD id_ = 0;
    std::chrono::steady_clock::time_point startedAt_;
};

// Pontara.exe of this build (station/Paths.h).
ChildProcess StartPontara();

}  // namespace pontara::harness
