#include "bridge/QsoLogging.h"

#include "bridge/QsoForwarding.h"
#include "bridge/StatusTexts.h"
#include "logger32/TextCommands.h"

namespace pontara::bridge {

namespace {
constexpr TextView SaveCommand = u"Save";
constexpr TextView RemoveCommand = u"Remove";
// Any text but "Save" and "Remove": the next "Save" from MixW is a change again. Kept exactly,
// as it shows in the field.
constexpr TextView Logged = u"Korvex_Send";
}  // namespace

bool HandOverLogging(logger32::MessageLink& link, const Text& logQsoCommand) {
    if (!link.SendTextCommand(logQsoCommand)) {
        return false;
    }
    link.PostCode(logger32::QsoLogged, 1);
    link.PostCode(logger32::QsoLoggedFollowUp, 1);
    return true;
}

void QsoLogging::TextCommandChanged() {
    if (members_.Logger32HasRig) {
        return;
    }
    if (host_.FieldText(Field::TextCommand) == SaveCommand) {
        StopForwarding(host_);
        LogQso();
        host_.Sleep(PauseAfterLogging);
        StartForwarding(host_);
    }
    if (host_.FieldText(Field::TextCommand) == RemoveCommand) {
        link_.SendTextCommand(Text(logger32::EndOfRecord));
    }
}

void QsoLogging::LogQso() {
    if (watch_.Logger32Away()) {
        HoldQso();
    } else {
        WindowHandle textWindow = link_.State().Logger32TextWindow;
        ShowWhetherLogged(textWindow != 0 && host_.IsWindow(textWindow));
        if (!HandOverLogging(link_, LoggingWithTimes())) {
            HoldQso();  // Logger32 did not take it
        }
    }
    host_.SetFieldText(Field::TextCommand, Text(Logged));
}

Text QsoLogging::LoggingWithTimes() {
    members_.QsoRecordText += logger32::TimeOnToken(host_.FieldText(Field::Time));
    members_.QsoRecordText += logger32::TimeOffToken(host_.FieldText(Field::Time));
    return logger32::LogQsoCommand(members_.QsoRecordText);
}

void QsoLogging::HoldQso() {
    QsoAsForwarded qso = forwarding_.QsoNow();
    members_.QsoRecordText = qso.record;
    watch_.Hold({LoggingWithTimes(), host_.FieldText(Field::Callsign), host_.FieldText(Field::Time),
                 qso.frequency, qso.mode, !members_.Logger32HasRig});
}

void QsoLogging::ShowWhetherLogged(bool reachable) {
    bool warning = host_.FieldText(Field::Text1) == status::QsoNotLogged;
    if (!reachable) {
        host_.SetFieldText(Field::Text1, Text(status::QsoNotLogged));
    } else if (warning) {
        watch_.ShowStatus();
    }
}

}  // namespace pontara::bridge
