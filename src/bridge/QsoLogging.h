#pragma once
// Logging in Logger32 the QSO that the operator saved in MixW.
// Responsibilities: the change of TextCommand ("Save" logs, "Remove" clears Logger32's entry)
// while MixW owns the radio, and the logging action that "Send!" also runs.
// Collaborations: the QSO record that forwarding last sent (MainWindowMembers::QsoRecordText);
// MessageLink delivers the command and posts codes 15 and 16; Timer2 is paused around it;
// Logger32Watch holds the QSO, as QsoForwarding reads it from MixW then, while Logger32 is away.

#include "bridge/Logger32Watch.h"
#include "bridge/MainWindowMembers.h"
#include "bridge/QsoForwarding.h"
#include "logger32/MessageLink.h"
#include "platform/Host.h"

namespace pontara::bridge {

// The pause after a saved QSO is handed to Logger32, with forwarding stopped; Timer2 then starts
// again.
inline constexpr int PauseAfterLogging = 700;

// Delivers a logging (the whole APP_LOGQSO text) to Logger32's text window, then posts codes 15
// and 16; false, posting nothing, when Logger32 did not take it.
bool HandOverLogging(logger32::MessageLink& link, const Text& logQsoCommand);

class QsoLogging {
  public:
    QsoLogging(Host& host, MainWindowMembers& members, logger32::MessageLink& link,
               QsoForwarding& forwarding, Logger32Watch& watch)
        : host_(host), members_(members), link_(link), forwarding_(forwarding), watch_(watch) {}

    void TextCommandChanged();
    void LogQso();  // the action of CommandSend

  private:
    // Appends the time tokens to QsoRecordText and gives the logging of it.
    Text LoggingWithTimes();
    // Forwarding is paused while Logger32 is away, so the record last forwarded may be another
    // QSO's: the held one is MixW's QSO as it is now, with its own dial and mode.
    void HoldQso();
    // A logging that cannot reach Logger32 is said on the status line; the next one that can
    // puts the owner's text back.
    void ShowWhetherLogged(bool reachable);

    Host& host_;
    MainWindowMembers& members_;
    logger32::MessageLink& link_;
    QsoForwarding& forwarding_;
    Logger32Watch& watch_;
};

}  // namespace pontara::bridge
