#pragma once
// The whole station in virtual time: the real bridge between the simulated Logger32 and MixW,
// driven one event at a time from Choices (the operator in MixW and in Pontara, Logger32's codes
// and texts, the peers closing, coming back, slow or busy, Windows ending the session, time
// passing), with the station's promises checked after every step. A broken promise ends the run
// with the events that led to it; the same seed or input replays them.
//
// The promises, judged by the simulator's own model of the station (who owns the rig, from the
// clicks the bridge was given; MixW's entry, dial and sideband at each logging), never by what
// the bridge shows:
// - every QSO saved in MixW while MixW owns the rig, and every "Send!", reaches Logger32's log
//   once and never twice, or is held and counted on the status line while Logger32 is away, or
//   was lost on a path the operator is told of ("QSO NOT LOGGED", "Too busy", closing with Yes);
// - each logging carries its own QSO: delivered at once, the record last sent and its times;
//   held, the record of MixW's entry at its save and its times, right after its own frequency
//   and mode (when MixW owned the rig); no logging of a save while Logger32 owns the rig;
// - never a timer tick inside a DDE transaction or a MixW call;
// - no text command to Logger32 while Logger32 owns the rig but a logging; no dial of Logger32's
//   to MixW while MixW owns it, unless asked before a busy MixW took the rig; MixW's ports
//   toggled in pairs, the CAT port first;
// - the buttons, their colours, the status line and Timer2 show the owner;
// - the program ends only when it was closed, the session ended, or, after one box that names
//   it, MixW went away: a busy MixW, however long, ends nothing; "No" keeps the program and
//   what it holds; an end with QSOs held is one the operator or Windows was told of. A run
//   draws at most one ending, as its last event, and then, unless the program ended, rests for
//   a minute with both peers well.

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Choices.h"
#include "LoggedQso.h"
#include "SimulatedStation.h"

namespace pontara::simulation {

// How often a run went down the paths that are easy to miss.
struct Census {
    int atRest = 0;         // runs that reached the minute at rest
    int ended = 0;          // runs whose ending ended the program, judged at once
    int heldDelivered = 0;  // held QSOs delivered on a return
    int yes = 0;            // Yes and No answered to closing with QSOs held
    int no = 0;
    int tooBusy = 0;             // "Too busy" shown
    int qsoNotLogged = 0;        // loggings lost to a Logger32 that named no text window
    int textWindowFirst = 0;     // handshakes that named the text window before the accept
    int ticksHeldInDde = 0;      // ticks held while a DDE link opened
    int sessionEndsInBoxes = 0;  // session ends that came while a box of Pontara's was open

    Census& operator+=(const Census& run);
    std::string Report() const;
};

struct Outcome {
    bool kept = true;
    std::string broken;               // the promise broken, when one was
    std::vector<std::string> events;  // what happened, one line an event, with virtual times
    int steps = 0;
    Census census;

    // The broken promise, the events and the end of the host's trace, for people.
    std::string Report() const;
};

class StationSimulator {
  public:
    explicit StationSimulator(Choices& choices);

    // Runs at most `steps` steps (fewer when the choices run out, a promise breaks or the program
    // ends), then brings the station to rest and checks that every QSO has reached Logger32.
    Outcome Run(int steps);

    // The simulated station, for a test that makes its world wrong on purpose.
    sim::SimHost& Host() { return station_.host; }

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
        bool lost = false;     // on a path the operator is told of
        Text logQsoAtOnce;     // what it must read when Logger32 takes it at once
        LoggingExpected held;  // and what, after its dial and mode, when held
        bool received = false;
    };
    // A handover the bridge took, with the number of MixW calls made by then.
    struct Handover {
        std::size_t calls;
        int time;
        bool toMixW;
    };
    static const std::vector<Event>& Events();

    void Step(bool insideBox);
    void WhileBoxOpen(const sim::SimHost::MessageBoxShown& box);
    void Note(const std::string& what);
    template <typename T>
    const T& Pick(const std::vector<T>& from) {
        return from[choices_.Below(static_cast<unsigned>(from.size()))];
    }
    bool MixWOwnsTheRig() const { return mixwOwnsTheRig_; }
    bool Logger32OwnsTheRig() const { return !mixwOwnsTheRig_; }
    MixWEntry EntryNow() const;
    Text RecordSentBefore(const std::string& time) const;
    void CheckLoggingsReceived();
    void CheckMixWCalls();
    int TimesLogged(const std::string& time) const;
    int Pending() const;
    void Check();
    void CheckAtRest();
    void Break(const std::string& promise);

    void MixWSets(Field field, const Text& value);

    // The events.
    void TypeField();
    void TypeCall();
    void TypeMode();
    void Tune();
    void MoveAudio();
    bool FieldsLinked() const;
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
    void Logger32ActsLater();
    void Logger32Closes();
    void Logger32ComesBack();
    void Logger32RefusesName();
    void Logger32Slow();
    void MixWSlow();
    void MixWBusy();
    void TimePasses();
    void Close();
    void EndSession(bool windowsAsks);
    void MixWGoesAway();

    // A logging the operator starts, its Time unique, that Logger32 must get once (a save only
    // while MixW owns the rig).
    void Log(const char* prefix, bool onlyWhileMixWOwns, const std::function<void()>& action);
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
    std::size_t linkMessagesSeen_ = 0;  // Logger32's link messages looked at for handshakes
    bool resting_ = false;
    std::optional<bool> sessionEndInBox_;  // still to come, inside a box: whether Windows asks
    bool endingDone_ = false;              // the run's ending has happened
    bool endAllowed_ = false;              // a close or session end is under way
    bool mixwGone_ = false;
    int mixwFailuresShown_ = 0;   // boxes that named MixW's disconnection
    bool answerYes_ = false;      // the operator's answer to closing with QSOs held
    bool lossAccepted_ = false;   // "Yes" to closing with QSOs held, or Windows ended anyway
    bool closeUnderWay_ = false;  // a close waits for a busy MixW to take its macros
    bool gaveUp_ = false;         // "Too busy": the bridge no longer talks to Logger32
    // The model: the owner as the clicks the bridge took hand it over, the packet sideband.
    bool mixwOwnsTheRig_ = true;
    bool packetUsb_ = false;
    // MixW's dial and audio offset as they changed, each with the number of MixW calls made by
    // then: a call reads the value of the last change before it.
    std::vector<std::pair<std::size_t, double>> fqAChanges_;
    std::vector<std::pair<std::size_t, double>> audioFqChanges_;
    std::vector<Handover> handovers_{{0, 0, true}};
    std::set<Text> logger32Dials_;  // the tuning macros Logger32's dials ask of MixW
    std::size_t textsJudged_ = 0;   // Logger32's texts whose loggings were judged
    std::size_t callsJudged_ = 0;   // MixW's calls judged
    Text lastToggle_ = u"<TOGGLEPTTPORT>";
};

}  // namespace pontara::simulation
