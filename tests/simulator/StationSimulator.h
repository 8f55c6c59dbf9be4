#pragma once
// The whole station in virtual time: the real bridge between the simulated Logger32 and MixW,
// driven one event at a time from Choices (the operator in MixW and in Pontara, Logger32's codes
// and texts, the peers closing, coming back, slow or busy, Windows ending the session, time
// passing), with the station's promises checked after every step. A broken promise ends the run
// with the events that led to it; the same seed or input replays them.
//
// The promises:
// - every QSO saved in MixW while MixW owns the rig, and every "Send!", reaches Logger32's log
//   once and never twice, or is held and counted on the status line while Logger32 is away, or
//   was lost on a path the operator is told of ("QSO NOT LOGGED", "Too busy", closing with Yes);
// - never a second MixW call while one is in flight, never a timer tick inside a call;
// - no text command to Logger32 while Logger32 owns the rig but a logging;
// - after every handover, buttons, their colours, the status line and Timer2 agree;
// - the program ends only when it was closed or the session ended: a busy MixW, however long,
//   ends nothing.

#include <functional>
#include <string>
#include <vector>

#include "Choices.h"
#include "SimulatedStation.h"

namespace pontara::simulation {

struct Outcome {
    bool kept = true;
    std::string broken;               // the promise broken, when one was
    std::vector<std::string> events;  // what happened, one line an event, with virtual times
    int steps = 0;

    // The broken promise, the events and the end of the host's trace, for people.
    std::string Report() const;
};

class StationSimulator {
  public:
    explicit StationSimulator(Choices& choices);

    // Runs at most `steps` steps (fewer when the choices run out, a promise breaks or the program
    // ends), then brings the station to rest and checks that every QSO has reached Logger32.
    Outcome Run(int steps);

  private:
    struct Event {
        const char* name;
        int weight;
        void (StationSimulator::*apply)();
        bool insideBoxes;  // may also happen while a box of Pontara's is open
    };
    // A QSO that Logger32 must log once, known by the unique text its Time field had.
    struct Logging {
        std::string time;
        bool lost = false;  // on a path the operator is told of
    };
    static const std::vector<Event>& Events();

    void Step(bool insideBox);
    void WhileBoxOpen(const sim::SimHost::MessageBoxShown& box);
    void Note(const std::string& what);
    template <typename T>
    const T& Pick(const std::vector<T>& from) {
        return from[choices_.Below(static_cast<unsigned>(from.size()))];
    }
    bool MixWOwnsTheRig() const;
    bool Logger32OwnsTheRig() const;
    int TimesLogged(const std::string& time) const;
    int Pending() const;
    void Check();
    void CheckAtRest();
    void Break(const std::string& promise);

    // The events.
    void TypeField();
    void TypeCall();
    void TypeMode();
    void Tune();
    void MoveAudio();
    void Save();
    void Remove();
    void ClickLg32();
    void ClickMixW2();
    void ClickPacket();
    void ClickSend();
    void Logger32Dial();
    void Logger32Cluster();
    void Logger32WritesSpot();
    void Logger32WritesQso();
    void Logger32Code();
    void Logger32Closes();
    void Logger32ComesBack();
    void Logger32RefusesName();
    void Logger32Slow();
    void MixWSlow();
    void MixWBusy();
    void TimePasses();
    void Close();
    void EndSession();

    // A logging the operator starts, its Time unique; `required`: Logger32 must get it once.
    void Log(const char* prefix, bool required, const std::function<void()>& action);
    void Logger32PostsOrSends(std::uint32_t code, std::int32_t lParam);
    void Logger32WritesSent(const Text& text);

    Choices& choices_;
    testing::SimulatedStation station_;
    Outcome outcome_;
    std::vector<Logging> loggings_;
    int nextTime_ = 0;
    int boxDepth_ = 0;
    int logger32Stall_ = 0;
    // Texts other than a logging that reached Logger32 while it owns the rig since its last
    // logging: only a held QSO's dial and mode, right before that QSO's logging.
    int textsBeforeLogging_ = 0;
    bool resting_ = false;
    bool endAllowed_ = false;         // a close or session end is under way
    bool closeWaitsForMixW_ = false;  // a close waits for a busy MixW to take its port toggles
    bool gaveUp_ = false;             // "Too busy": the bridge no longer talks to Logger32
};

}  // namespace pontara::simulation
