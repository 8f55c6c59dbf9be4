#include "bridge/Logger32Watch.h"

#include <string>

#include "bridge/QsoForwarding.h"
#include "bridge/QsoLogging.h"
#include "bridge/StatusTexts.h"
#include "logger32/TextCommands.h"

namespace pontara::bridge {

namespace {
// Timer5 ticks without an answer to a connect request before the status line gives the hint.
constexpr int SilentTicksForHint = 5;
// Timer5 ticks that the count of QSOs logged after Logger32's return stays on the status line.
constexpr int LoggedTicksShown = 2;

Text Numbered(TextView before, std::size_t count) {
    return Text(before) + AsciiText(std::to_string(count)) + Text(status::NumberAfter);
}
}  // namespace

bool Logger32Watch::Logger32Away() {
    if (link_.State().Logger32Window == 0) {
        return false;
    }
    if (state_ == State::Present) {
        // A Logger32 that stopped answering is away like one that closed: it is connected again,
        // and once it answers gets what was held meanwhile.
        if (host_.IsWindow(link_.State().Logger32Window) && !link_.Logger32Unanswering()) {
            return false;
        }
        NoticeClosed();
        return true;
    }
    // A new Logger32 that was found, or had accepted, may have closed in turn.
    bool looking = host_.Enabled(TimerId::Timer) && host_.Interval(TimerId::Timer) != 0;
    if (!looking && !link_.Logger32Present()) {
        LookAgain();
    }
    StopForwarding(host_);
    return true;
}

void Logger32Watch::NoticeClosed() {
    StopForwarding(host_);
    ShowAway();
    LookAgain();
}

void Logger32Watch::LookAgain() {
    state_ = State::Away;
    acceptedBy_ = 0;
    link_.State().Logger32TextWindow = 0;
    link_.LookForLogger32();
}

void Logger32Watch::ShowAway() {
    host_.SetFieldText(Field::Text1, held_.empty()
                                         ? Text(status::Logger32Closed)
                                         : Numbered(status::QsosWaitingBefore, held_.size()));
}

void Logger32Watch::Hold(HeldQso qso) {
    held_.push_back(std::move(qso));
    // Logger32 may have come back while the QSO's dial was read from MixW: Windows handles a
    // message another program sends inside a COM call, so the return can complete in there,
    // before this QSO was held. It is handed over now; nothing would bring it otherwise.
    if (state_ == State::Present && !Logger32Away()) {
        Return();
        return;
    }
    host_.SetShutdownBlockReason(ShutdownBlockReason(held_));
    ShowAway();
}

void Logger32Watch::RigHandedOver() {
    if (state_ != State::Present) {
        StopForwarding(host_);
        ShowAway();
    }
}

void Logger32Watch::Timer5Tick() {
    bool away = Logger32Away();
    if (SilenceHint()) {
        host_.SetFieldText(Field::Text1, Text(status::Logger32Silent));
    } else if (away) {
        ShowAway();
    } else if (loggedTicks_ > 0 && --loggedTicks_ == 0 &&
               host_.FieldText(Field::Text1).starts_with(status::QsosLoggedBefore)) {
        ShowStatus();
    }
}

bool Logger32Watch::SilenceHint() {
    silentTicks_ = link_.AwaitingAnswer() && link_.Logger32Present() ? silentTicks_ + 1 : 0;
    return silentTicks_ >= SilentTicksForHint;
}

void Logger32Watch::CodeArrived(std::uint32_t code, std::int32_t lParam) {
    if (code == logger32::ConnectAnswer &&
        host_.FieldText(Field::Text1) == status::Logger32Silent) {
        silentTicks_ = 0;
        ShowStatus();
    }
    if (state_ != State::Away) {
        return;
    }
    if (code == logger32::ConnectAnswer) {
        // A code says nothing of its sender: the accept is taken as the answer of the Logger32
        // asked, and a reject makes the link try the next name.
        acceptedBy_ = lParam != 0 ? link_.State().Logger32Window : 0;
        if (acceptedBy_ != 0) {
            // The link has handed over Sent's handle; tell the new Logger32 who has the rig.
            link_.PostCodes(members_.Logger32HasRig ? std::span(logger32::Logger32TakesRig)
                                                    : std::span(logger32::MixWTakesRig));
        }
    }
    if (ReturnAnswered()) {
        Return();
    }
}

bool Logger32Watch::ReturnAnswered() const {
    // An accept that reached the watch late from a Logger32 since closed, or a text window of
    // one, answers nothing for the Logger32 asked now; no text window, nothing held could reach
    // the log.
    return acceptedBy_ != 0 && acceptedBy_ == link_.State().Logger32Window && TextsReachLog();
}

bool Logger32Watch::TextsReachLog() const {
    return link_.Logger32Present() && host_.IsWindow(link_.State().Logger32TextWindow);
}

void Logger32Watch::Return() {
    state_ = State::Present;
    std::size_t delivered = 0;
    while (delivered < held_.size() && link_.Logger32Present() && Deliver(held_[delivered])) {
        ++delivered;
    }
    held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(delivered));
    host_.SetShutdownBlockReason(ShutdownBlockReason(held_));
    if (!held_.empty()) {
        // Logger32 closed or stopped answering in the middle: the rest wait for the next one.
        NoticeClosed();
        return;
    }
    if (delivered == 0) {
        ShowStatus();
    } else {
        host_.SetFieldText(Field::Text1, Numbered(status::QsosLoggedBefore, delivered));
        loggedTicks_ = LoggedTicksShown;
    }
    forwarding_.Forget();
    if (!members_.Logger32HasRig) {
        StartForwarding(host_);
    }
}

bool Logger32Watch::Deliver(HeldQso qso) {
    // Each text only to a Logger32 still there with its text window: a window that has gone, or
    // none, counts as taking a text, so a Logger32 that closed or took its text window back in
    // the middle of a QSO's texts would lose the rest of it.
    auto send = [this](const Text& command) {
        return TextsReachLog() && link_.SendTextCommand(command);
    };
    // A QSO MixW worked goes on its own dial and mode, which Logger32 takes from its entry; a
    // QSO saved before MixW ever answered its dial has none to give.
    if (qso.workedInMixW &&
        !((qso.frequency.empty() || send(logger32::ForceFrequencyCommand(qso.frequency))) &&
          send(logger32::ForceModeCommand(qso.mode)))) {
        return false;
    }
    return TextsReachLog() && HandOverLogging(link_, qso.logging);
}

void Logger32Watch::ShowStatus() {
    if (state_ != State::Present) {
        ShowAway();
        return;
    }
    host_.SetFieldText(Field::Text1, Text(members_.Logger32HasRig ? status::Logger32ControlActive
                                                                  : status::MixWControlActive));
}

}  // namespace pontara::bridge
