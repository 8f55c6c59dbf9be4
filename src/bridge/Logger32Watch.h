#pragma once
// Logger32 closing and coming back while the bridge runs.
// Responsibilities: noticing that Logger32's window is gone (on each Timer2 tick, before each
// logging, and on the Timer5 tick whoever owns the rig); pausing forwarding and saying so on
// the status line; holding every QSO saved meanwhile; connecting a new Logger32 as the start-up
// does and, once it has accepted and named its text window (in either order), handing it the
// owner of the rig, the held QSOs, each on its own dial and mode, and the current QSO. While QSOs
// are held, a session end waits for them. Also says on the status line when Logger32's window
// does not answer the connect request. Windows drops what passes between programs of different
// rank: a Logger32 run as administrator never hears this program, and one run normally is not
// heard by this program run as administrator when letting it in (MessageLink::HookWindow) did not
// take. Collaborations: MessageLink looks for Logger32 and does the handshake (timer Timer);
// QsoForwarding forgets what it forwarded; QsoLogging hands over the QSOs to hold.

#include <cstdint>
#include <vector>

#include "bridge/HeldQsos.h"
#include "bridge/MainWindowMembers.h"
#include "bridge/QsoForwarding.h"
#include "logger32/MessageLink.h"
#include "platform/Host.h"

namespace pontara::bridge {

class Logger32Watch {
  public:
    Logger32Watch(Host& host, MainWindowMembers& members, logger32::MessageLink& link,
                  QsoForwarding& forwarding)
        : host_(host), members_(members), link_(link), forwarding_(forwarding) {}

    // True while Logger32 is away: its window has gone and no new Logger32 has named its text
    // window yet. Notices a window that is gone; while away, keeps Timer2 stopped. False when
    // Logger32Window is 0, which the Timer2 tick handles as designed.
    bool Logger32Away();
    // Keeps a QSO saved meanwhile for the Logger32 that comes back; a session end waits for it.
    void Hold(HeldQso qso);
    const std::vector<HeldQso>& Held() const { return held_; }
    void Timer5Tick();
    // After a handover of the rig, which names the new owner on the status line and may start
    // forwarding: while Logger32 is away, forwarding stays paused and the status line says so.
    void RigHandedOver();
    // A code from Logger32, after the link has handled it.
    void CodeArrived(std::uint32_t code, std::int32_t lParam);
    // Names on the status line who has the rig; while Logger32 is away, that it is, and the QSOs
    // held.
    void ShowStatus();

  private:
    enum class State {
        Present,  // the link is up
        Away,     // looking for Logger32, or waiting for it to accept and name its text window
    };

    void NoticeClosed();
    // Looks for a new Logger32, which has answered nothing yet.
    void LookAgain();
    void ShowAway();
    // The Logger32 asked has accepted and named a text window that is there.
    bool ReturnAnswered() const;
    // Logger32 is there, and so is the text window it named.
    bool TextsReachLog() const;
    // Hands the new Logger32 the held QSOs, in the order saved, for as long as it takes them.
    void Return();
    // False when Logger32 did not take one of the QSO's texts: it stays held. A copy, since a
    // QSO saved while a send waits joins the held ones.
    bool Deliver(HeldQso qso);
    // True after Logger32's silence has lasted long enough.
    bool SilenceHint();

    Host& host_;
    MainWindowMembers& members_;
    logger32::MessageLink& link_;
    QsoForwarding& forwarding_;
    State state_ = State::Present;
    // While away: the Logger32 that accepted (code 0), or 0. It may name its text window (code 3)
    // before or after it accepts, and Windows lets a sent code 3 overtake a posted 0.
    WindowHandle acceptedBy_ = 0;
    std::vector<HeldQso> held_;
    int silentTicks_ = 0;
    int loggedTicks_ = 0;  // Timer5 ticks left before the owner's text replaces the logged count
};

}  // namespace pontara::bridge
