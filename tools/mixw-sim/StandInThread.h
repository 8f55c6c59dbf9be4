#pragma once
// A stand-in on a thread of its own: a COM single-threaded apartment with a message loop, so
// that a test can call the stand-in's interfaces from its own thread (and so through COM's
// marshalling, DDE's and registered messages, as from another program) and script the stand-in
// in between. Collaborations: MixWStandIn (StandInThread owns one and shares its transcript);
// the soak's Logger32 stand-in, which must go on while the station's thread is held, runs on a
// StandInApartment of its own.

#include <windows.h>

#include <functional>
#include <future>
#include <memory>
#include <thread>

#include "MixWStandIn.h"

namespace pontara::standin {

// The thread: it runs tasks sent to it between the messages it dispatches.
class StandInApartment {
  public:
    // Runs `setUp` on the new thread before its message loop (where COM may still call out) and
    // returns once the thread takes tasks; a start-up failure, `setUp`'s included, is thrown here.
    explicit StandInApartment(const std::function<void()>& setUp = {});
    // Ends the message loop and the thread.
    ~StandInApartment();
    StandInApartment(const StandInApartment&) = delete;
    StandInApartment& operator=(const StandInApartment&) = delete;

    // Runs `task` on the thread and returns when it has; what it throws is thrown here. The
    // calling thread goes on taking messages sent to it meanwhile.
    void Run(const std::function<void()>& task);

  private:
    static void Main(std::promise<HWND> started, const std::function<void()>* setUp);

    HWND window_ = nullptr;  // message-only, on the apartment's thread
    std::thread thread_;
};

// MixW's stand-in on a StandInApartment.
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
    std::shared_ptr<Transcript> transcript_;
    // Made and ended on the apartment's thread; declared first, as the apartment's set-up sets it.
    std::unique_ptr<MixWStandIn> standIn_;
    StandInApartment apartment_;
};

}  // namespace pontara::standin
