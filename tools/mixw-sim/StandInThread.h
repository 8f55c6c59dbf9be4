#pragma once
// A MixW stand-in on a thread of its own: a COM single-threaded apartment with a message
// loop, so that a test can call MixW's interfaces from its own thread (and so through COM's
// marshalling and DDE's messages, as from another program) and script the stand-in in between.
// Collaborations: owns one MixWStandIn (MixWStandIn.h); shares its transcript.

#include <windows.h>

#include <functional>
#include <future>
#include <memory>
#include <thread>

#include "MixWStandIn.h"

namespace pontara::standin {

class StandInThread {
  public:
    // Returns once the stand-in runs; its start-up failure is thrown here.
    explicit StandInThread(std::shared_ptr<Transcript> transcript = {});
    // Stops the stand-in (revoking its object, ending its DDE service) and the thread.
    ~StandInThread();
    StandInThread(const StandInThread&) = delete;
    StandInThread& operator=(const StandInThread&) = delete;

    // Runs `script` on the stand-in's thread and returns when it has; what it throws is
    // thrown here. The calling thread goes on taking messages sent to it meanwhile.
    void Run(const std::function<void(MixWStandIn&)>& script);

    // Stays readable after the stand-in has stopped.
    const std::shared_ptr<Transcript>& Log() const { return transcript_; }

  private:
    static void Main(std::promise<HWND> started, std::shared_ptr<Transcript> transcript);

    std::shared_ptr<Transcript> transcript_;
    HWND window_ = nullptr;  // message-only, on the stand-in's thread
    std::thread thread_;
};

}  // namespace pontara::standin
