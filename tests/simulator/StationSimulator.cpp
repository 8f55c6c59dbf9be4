#include "StationSimulator.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "bridge/ForwardedFields.h"
#include "logger32/Logger32Protocol.h"
#include "mixw/MixWAutomation.h"
#include "support/ExpectedRecord.h"

namespace pontara::simulation {

namespace {

// The texts the promises are checked against, as the operator reads them.
constexpr TextView MixWControlActive = u"            MixW2 control active !";
constexpr TextView Logger32ControlActive = u"         Logger32 control active !";
constexpr TextView QsosWaiting = u" Logger32 closed, QSOs waiting: ";
constexpr TextView QsoNotLogged = u"QSO NOT LOGGED: no Logger32 text window !";
constexpr TextView TooBusy = u"Too busy";
constexpr TextView LogQso = u"<APP_LOGQSO:";
constexpr TextView ForceFrequency = u"<APP_FORCE_FREQ:";
constexpr TextView ForceMode = u"<APP_FORCE_MODE:";
constexpr TextView TimeOff = u"<APP_TIME_OFF:";
constexpr Colour OwnerButton = 0xC000C0;
constexpr Colour OtherButton = 0xFFFF80;

// The fields the operator fills in MixW's QSO entry, each by its item; the call, the mode, the
// time and the command have events of their own.
std::vector<Field> TypedFields() {
    std::vector<Field> typed;
    for (const bridge::ForwardedField& row : bridge::ForwardedFields) {
        const bool own = row.field == Field::Callsign || row.field == Field::Mode ||
                         row.field == Field::Time || row.field == Field::TextCommand;
        if (LowerAscii(row.link.Topic()) == u"qso" && !own) {
            typed.push_back(row.field);
        }
    }
    return typed;
}
const std::vector<Field> QsoFields = TypedFields();
const std::vector<Text> Values{
    u"",         u"Juri",   u"K\u00f6ln", u"599", u"\u042e\u0440\u0438\u0439",
    u"a<b>:c|d", u"EU-005", u"JO62"};
const std::vector<Text> Calls{u"", u"Q1ABC", u"Q2XYZ", u"Q3\u0416"};
const std::vector<Text> Modes{u"BPSK31", u"BPSK63", u"CW", u"SSB", u"RTTY", u"MFSK", u"USB", u""};
const std::vector<double> Dials{14070000, 14070150, 7035000, 3580000};
const std::vector<double> AudioOffsets{1000, 1500, 2125};
const std::vector<std::int32_t> Logger32Dials{14075450, 7074000, 500, -3};
const std::vector<Text> Spots{
    u"<APP_DXSPOT_CLICKED:19>Q1ABC|14070.0|PSK63",
    u"<APP_DXSPOT_CLICKED:16>Q1DEF|7035.0|CW",
    u"<APP_DXSPOT_CLICKED:12>Q1GHI",
    u"<APP_DXSPOT_CLICKED:9>Q|1|USB|x",
    u"APP_DXSPOT_CLICKED",
    u"",
};
const std::vector<Text> QsoTexts{
    u"<CALL:5>Q1ABC<MODE:3>SSB<RST_SENT:3>599<RST_RCVD:3>579<NAME:4>Juri",
    u"<CALL:5>Q2XYZ<MODE:2>CW<NAME:10>Alexandros<EOR>",
    u"<CALL:5>Q1ABC<MODE:5>PSK63<EOF>",
    u"<EOR><EOF>",
    u"<CALL:x>Q1<MODE:9>",
    u"SAVE",
};
const std::vector<int> Stalls{0, 0, 400, 2500};
const std::vector<int> CallTimes{0, 0, 300, 1500};
const std::vector<int> LinkTimes{0, 0, 150, 1000};
// A dialog of MixW's own open for seconds, or for minutes: the bridge waits however long.
const std::vector<int> BusySpells{1500, 4000, 12000, 60000, 150000};

Text Numbered(const char* prefix, int number) {
    return AsciiText(prefix + std::to_string(number));
}

}  // namespace

Census& Census::operator+=(const Census& run) {
    atRest += run.atRest;
    ended += run.ended;
    heldDelivered += run.heldDelivered;
    yes += run.yes;
    no += run.no;
    tooBusy += run.tooBusy;
    qsoNotLogged += run.qsoNotLogged;
    textWindowFirst += run.textWindowFirst;
    ticksHeldInDde += run.ticksHeldInDde;
    sessionEndsInBoxes += run.sessionEndsInBoxes;
    return *this;
}

std::string Census::Report() const {
    return "runs at rest " + std::to_string(atRest) + ", ended by their ending " +
           std::to_string(ended) + ", held QSOs delivered on a return " +
           std::to_string(heldDelivered) + ", Yes " + std::to_string(yes) + ", No " +
           std::to_string(no) + ", \"Too busy\" " + std::to_string(tooBusy) +
           ", \"QSO NOT LOGGED\" " + std::to_string(qsoNotLogged) + ", returns with code 3 first " +
           std::to_string(textWindowFirst) + ", ticks held in DDE waits " +
           std::to_string(ticksHeldInDde) + ", session ends while a box is open " +
           std::to_string(sessionEndsInBoxes);
}

std::string Outcome::Report() const {
    std::string report = kept ? "every promise kept" : "broken: " + broken;
    report += "\nafter " + std::to_string(steps) + " steps:\n";
    for (const std::string& event : events) {
        report += "  " + event + "\n";
    }
    return report;
}

// clang-format off
const std::vector<StationSimulator::Event>& StationSimulator::Events() {
    static const std::vector<Event> events{
        //     name                   weight  apply                                 inside boxes
        Event{"type a field",          6, &StationSimulator::TypeField,           true},
        Event{"type the call",         4, &StationSimulator::TypeCall,            true},
        Event{"choose a mode",         3, &StationSimulator::TypeMode,            true},
        Event{"tune",                  3, &StationSimulator::Tune,                true},
        Event{"move the audio offset", 2, &StationSimulator::MoveAudio,           true},
        Event{"save in MixW",          5, &StationSimulator::Save,                true},
        Event{"remove in MixW",        2, &StationSimulator::Remove,              true},
        Event{"click Lg32",            3, &StationSimulator::ClickLg32,           false},
        Event{"click MixW2",           3, &StationSimulator::ClickMixW2,          false},
        Event{"click PKT",             2, &StationSimulator::ClickPacket,         false},
        Event{"click Send!",           2, &StationSimulator::ClickSend,           false},
        Event{"Logger32's dial",       3, &StationSimulator::Logger32Dial,        true},
        Event{"Logger32's cluster",    1, &StationSimulator::Logger32Cluster,     true},
        Event{"a spot clicked",        3, &StationSimulator::Logger32WritesSpot,  true},
        Event{"Logger32's QSO",        2, &StationSimulator::Logger32WritesQso,   true},
        Event{"a code from Logger32",  1, &StationSimulator::Logger32Code,        true},
        Event{"Logger32 closes",       2, &StationSimulator::Logger32Closes,      true},
        Event{"Logger32 comes back",   2, &StationSimulator::Logger32ComesBack,   true},
        Event{"Logger32 refuses",      1, &StationSimulator::Logger32RefusesName, true},
        Event{"Logger32 is slow",      1, &StationSimulator::Logger32Slow,        true},
        Event{"MixW is slow",          1, &StationSimulator::MixWSlow,            true},
        Event{"MixW is busy",          1, &StationSimulator::MixWBusy,            true},
        Event{"Logger32 acts later",   4, &StationSimulator::Logger32ActsLater,   true},
        Event{"time passes",           8, &StationSimulator::TimePasses,          true},
    };
    return events;
}
// clang-format on

StationSimulator::StationSimulator(Choices& choices) : choices_(choices) {
    sim::SimHost& host = station_.host;
    MixWSets(Field::Callsign, u"");
    MixWSets(Field::Mode, u"BPSK31");
    MixWSets(Field::Time, u"0000");
    MixWSets(Field::TextCommand, u"");
    fqAChanges_.emplace_back(0, host.mixw.fqA);
    audioFqChanges_.emplace_back(0, host.mixw.audioFq);
    // The operator's boxes: the bridge goes on while one is open (Logger32, MixW's advise data
    // and time arrive), but the main window takes no click behind a box of its own.
    host.onMessageBox = [this](const sim::SimHost::MessageBoxShown& box) { WhileBoxOpen(box); };
    host.onYesNo = [this](const sim::SimHost::MessageBoxShown& box) {
        WhileBoxOpen(box);
        const bool yes = !resting_ && answerYes_;
        ++(yes ? outcome_.census.yes : outcome_.census.no);
        Note(yes ? "the operator answers Yes" : "the operator answers No");
        return yes;
    };
    // The model follows the clicks the bridge takes: Windows gives none to a disabled button.
    host.onClickTaken = [this](Button button) {
        if (button == Button::Command1 || button == Button::Command2) {
            mixwOwnsTheRig_ = button == Button::Command1;
            handovers_.push_back(
                {station_.host.mixw.calls.size(), station_.host.Now(), mixwOwnsTheRig_});
        } else if (button == Button::Command3) {
            packetUsb_ = !packetUsb_;
        }
    };
    host.logger32.onText = [this](const Text& text) {
        // Each handshake begins a return: a held QSO's dial and mode that reached Logger32 before
        // its text window went, with the logging still to come, are sent again after it.
        const auto& received = station_.host.logger32.received;
        for (; linkMessagesSeen_ < received.size(); ++linkMessagesSeen_) {
            if (received[linkMessagesSeen_].code == logger32::ConnectRequest) {
                textsBeforeLogging_ = 0;
            }
        }
        if (text.starts_with(LogQso)) {
            textsBeforeLogging_ = 0;
        } else if (Logger32OwnsTheRig() &&
                   (++textsBeforeLogging_ > 2 ||
                    !(text.starts_with(ForceFrequency) || text.starts_with(ForceMode)))) {
            Break("a text command reached Logger32 while it owns the rig: " + AsciiOf(text));
        }
        if (logger32Stall_ > 0) {
            station_.host.Stall(logger32Stall_);
        }
    };
}

// The operator's boxes: the bridge goes on while one is open (Logger32, MixW's advise data and
// time arrive), but the main window takes no click behind a box of its own.
void StationSimulator::WhileBoxOpen(const sim::SimHost::MessageBoxShown& box) {
    Note("a box: " + AsciiOf(box.text));
    // MixW gone: its object disconnected from its clients, or its DDE server answers no more;
    // the error rule's one box, then the end.
    constexpr TextView Disconnected = u"(error 0x80010108)";
    constexpr TextView DdeNotAnswered = u"(error 0x00004009)";
    const bool namesMixWGone =
        box.text.find(Disconnected) != Text::npos || box.text.find(DdeNotAnswered) != Text::npos;
    if (mixwGone_ && namesMixWGone && ++mixwFailuresShown_ == 1) {
        endAllowed_ = true;
        lossAccepted_ = true;
    }
    if (box.caption == TooBusy) {
        ++outcome_.census.tooBusy;
        gaveUp_ = true;
    }
    if (!resting_ && boxDepth_ == 0 && outcome_.kept) {
        ++boxDepth_;
        if (sessionEndInBox_) {
            // Windows ends the session while the box waits for the operator: the run's ending.
            const bool windowsAsks = *sessionEndInBox_;
            sessionEndInBox_.reset();
            endingDone_ = true;
            ++outcome_.census.sessionEndsInBoxes;
            EndSession(windowsAsks);
        } else {
            for (unsigned nested = choices_.Below(3); nested > 0; --nested) {
                Step(true);
            }
        }
        --boxDepth_;
    }
}

Outcome StationSimulator::Run(int steps) {
    // The links open on the first tick of forwarding, while the run's first events happen; a DDE
    // server that takes its time over each link lets ticks and messages come in meanwhile.
    // The ending is drawn first, with the operator's answer to closing and whether Windows asks,
    // so that a fuzzer's input chooses them however short it is; it happens after the last step.
    // A session end may come while a box of Pontara's is open: inside the first one that opens,
    // or after the last step if none does.
    const unsigned ending = choices_.Below(8);
    if (ending >= 6) {
        sessionEndInBox_ = ending == 6;
    }
    station_.host.mixw.linkTime = Pick(LinkTimes);
    station_.LaunchAndRun();
    Check();
    while (outcome_.kept && !station_.host.Ended() && !endingDone_ && outcome_.steps < steps &&
           !choices_.Exhausted()) {
        ++outcome_.steps;
        Step(false);
    }
    // At most one ending, the run's last event: what follows is the rest, where everything held
    // must arrive unless the program ended.
    if (outcome_.kept && !station_.host.Ended() && !endingDone_) {
        if (ending == 1 || ending == 2) {
            answerYes_ = ending == 2;
            Close();
        } else if (ending == 3 || ending == 4 || sessionEndInBox_) {
            EndSession(ending == 3 || ending == 6);
        } else if (ending == 5) {
            MixWGoesAway();
        }
        station_.host.RunFor(0);
        Check();
    }
    if (outcome_.kept) {
        CheckAtRest();
    }
    outcome_.census.textWindowFirst = station_.host.logger32.textWindowsNamedFirst;
    outcome_.census.ticksHeldInDde = station_.host.TicksHeldInDdeWaits();
    return outcome_;
}

void StationSimulator::Step(bool insideBox) {
    unsigned total = 0;
    for (const Event& event : Events()) {
        total += !insideBox || event.insideBoxes ? static_cast<unsigned>(event.weight) : 0;
    }
    unsigned drawn = choices_.Below(total);
    for (const Event& event : Events()) {
        if (insideBox && !event.insideBoxes) {
            continue;
        }
        if (drawn < static_cast<unsigned>(event.weight)) {
            (this->*event.apply)();
            break;
        }
        drawn -= static_cast<unsigned>(event.weight);
    }
    station_.host.RunFor(0);
    if (!insideBox) {
        Check();
    }
}

void StationSimulator::Note(const std::string& what) {
    outcome_.events.push_back(std::to_string(station_.host.Now()) + " ms  " +
                              (boxDepth_ > 0 ? "(box open) " : "") + what);
}

// MixW's entry as the operator left it, and the dial and audio offset MixW answered last: while
// MixW is busy in a dialog, the bridge can read neither again.
MixWEntry StationSimulator::EntryNow() const {
    const sim::SimMixW& mixw = station_.host.mixw;
    MixWEntry entry;
    constexpr TextView Qso = u"qso|";
    for (const auto& [key, value] : mixw.items) {
        if (key.starts_with(Qso) && value) {
            entry.items[key.substr(Qso.size())] = *value;
        }
    }
    auto qsoData = [&mixw](std::int16_t index) {
        auto found = mixw.qsoData.find(index);
        return found == mixw.qsoData.end() ? Text() : found->second;
    };
    entry.locator = qsoData(19);
    entry.state = qsoData(13);
    auto valueAt = [](const std::vector<std::pair<std::size_t, double>>& changes,
                      std::size_t call) {
        double value = changes.front().second;
        for (const auto& [calls, changed] : changes) {
            if (calls <= call) {
                value = changed;
            }
        }
        return value;
    };
    // The last AudioFq answered, and the FqA read before it.
    for (std::size_t call = mixw.calls.size(); call-- > 0;) {
        if (mixw.calls[call].member != mixw::Member::AudioFq) {
            continue;
        }
        entry.dialKnown = true;
        entry.audioFq = valueAt(audioFqChanges_, call);
        for (std::size_t before = call; before-- > 0;) {
            if (mixw.calls[before].member == mixw::Member::FqA) {
                entry.fqA = valueAt(fqAChanges_, before);
                break;
            }
        }
        break;
    }
    entry.packetUsb = packetUsb_;
    return entry;
}

// The QSO record the bridge sent last before its logging of `time`, with the time tokens of the
// loggings since: what that logging carries when Logger32 takes it at once.
Text StationSimulator::RecordSentBefore(const std::string& time) const {
    constexpr TextView Record = u"<CALL:";
    const std::vector<Text>& sent = station_.host.textsSent;
    const Text ownTimes = expected::Times(AsciiText(time));
    auto text = std::ranges::find_if(sent.rbegin(), sent.rend(), [&ownTimes](const Text& text) {
        return text.starts_with(LogQso) && text.ends_with(ownTimes);
    });
    if (text == sent.rend()) {
        return {};
    }
    for (++text; text != sent.rend(); ++text) {
        if (text->starts_with(Record)) {
            return *text;
        }
        if (text->starts_with(LogQso)) {
            return text->substr(text->find(u'>') + 1);
        }
    }
    return {};
}

// Each logging Logger32 received, against the model: a QSO it knows of, in the order saved, with
// that QSO's record and times.
void StationSimulator::CheckLoggingsReceived() {
    const auto& texts = station_.host.logger32.texts;
    for (; textsJudged_ < texts.size(); ++textsJudged_) {
        const Text& text = texts[textsJudged_].text;
        const std::size_t timeOff = text.rfind(TimeOff);
        if (!text.starts_with(LogQso) || timeOff == Text::npos) {
            continue;
        }
        const std::string time = AsciiOf(text.substr(text.find(u'>', timeOff) + 1));
        auto logging = std::ranges::find(loggings_, time, &Logging::time);
        if (logging == loggings_.end()) {
            Break("Logger32 logged a QSO of time " + time + " that was not to be logged");
            return;
        }
        // Held, it comes right after its own frequency and mode.
        const LoggingExpected& held = logging->held;
        std::vector<Text> asHeld;
        for (const std::optional<Text>& before : {held.forceFrequency, held.forceMode}) {
            if (before) {
                asHeld.push_back(*before);
            }
        }
        asHeld.push_back(held.logQso);
        const bool cameAsHeld =
            textsJudged_ + 1 >= asHeld.size() &&
            std::equal(
                asHeld.begin(), asHeld.end(),
                texts.begin() + static_cast<std::ptrdiff_t>(textsJudged_ + 1 - asHeld.size()),
                [](const Text& wanted, const auto& received) { return wanted == received.text; });
        if (!cameAsHeld && text != logging->logQsoAtOnce) {
            Break("the QSO of time " + time + " reached Logger32 as " + AsciiOf(text) +
                  ", not as " + AsciiOf(logging->logQsoAtOnce) + " nor, held, as " +
                  AsciiOf(asHeld.front()) + " ... " + AsciiOf(held.logQso));
            return;
        }
        logging->received = true;
        outcome_.census.heldDelivered += cameAsHeld && text != logging->logQsoAtOnce ? 1 : 0;
        if (std::any_of(loggings_.begin(), logging, [](const Logging& earlier) {
                return !earlier.lost && !earlier.received;
            })) {
            Break("the QSO of time " + time + " reached Logger32 before one saved earlier");
            return;
        }
    }
}

// The loggings Logger32 received whose last time token, the one that ends the command, carries
// this QSO's time.
int StationSimulator::TimesLogged(const std::string& time) const {
    int count = 0;
    for (const auto& received : station_.host.logger32.texts) {
        const Text& text = received.text;
        std::size_t token = text.rfind(TimeOff);
        if (!text.starts_with(LogQso) || token == Text::npos) {
            continue;
        }
        std::size_t value = text.find(u'>', token);
        if (value != Text::npos && AsciiOf(text.substr(value + 1)) == time) {
            ++count;
        }
    }
    return count;
}

int StationSimulator::Pending() const {
    return static_cast<int>(std::ranges::count_if(
        loggings_, [](const Logging& logging) { return !logging.lost && !logging.received; }));
}

void StationSimulator::Break(const std::string& promise) {
    if (!outcome_.kept) {
        return;
    }
    outcome_.kept = false;
    outcome_.broken = promise;
    Note("BROKEN: " + promise);
    const auto& trace = station_.host.Trace();
    for (std::size_t i = trace.size() > 40 ? trace.size() - 40 : 0; i < trace.size(); ++i) {
        outcome_.events.push_back("    host " + std::to_string(trace[i].time) + " ms  " +
                                  trace[i].what);
    }
}

// MixW's calls, against the model: a dial Logger32 reported goes to MixW only while Logger32
// owns the rig (or, asked then, once a busy MixW answers again); the two ports toggle together.
void StationSimulator::CheckMixWCalls() {
    constexpr TextView CatPort = u"<TOGGLECATPORT>";
    constexpr TextView PttPort = u"<TOGGLEPTTPORT>";
    const auto& calls = station_.host.mixw.calls;
    for (; callsJudged_ < calls.size(); ++callsJudged_) {
        const sim::SimMixW::Call& call = calls[callsJudged_];
        if (call.member != mixw::Member::ExecuteMacros) {
            continue;
        }
        auto owner = std::find_if(
            handovers_.rbegin(), handovers_.rend(),
            [this](const Handover& handover) { return handover.calls <= callsJudged_; });
        // Asked while Logger32 still owned the rig, and made once MixW answered again.
        const int askedFrom = std::next(owner) == handovers_.rend() ? 0 : std::next(owner)->time;
        const bool askedBeforeABusySpell = std::ranges::any_of(
            station_.host.mixw.busySpells,
            [&](const auto& spell) { return spell.from <= call.time && spell.until >= askedFrom; });
        if (owner->toMixW && logger32Dials_.contains(call.argument) && !askedBeforeABusySpell) {
            Break("Logger32's dial reached MixW while MixW owns the rig: " +
                  AsciiOf(call.argument));
            return;
        }
        const bool toggle = call.argument == CatPort || call.argument == PttPort;
        if (toggle && (call.argument == PttPort) != (lastToggle_ == CatPort)) {
            Break("MixW's ports toggled out of pairs: " + AsciiOf(lastToggle_) + " then " +
                  AsciiOf(call.argument));
            return;
        }
        if (toggle) {
            lastToggle_ = call.argument;
        }
    }
}

void StationSimulator::Check() {
    sim::SimHost& host = station_.host;
    if (host.Ended()) {
        if (!endAllowed_) {
            Break("the program ended on no designed path");
        }
        return;
    }
    CheckLoggingsReceived();
    CheckMixWCalls();
    if (mixwFailuresShown_ > 1) {
        Break("the error rule showed MixW's failure more than once");
    }
    for (const Logging& logging : loggings_) {
        if (TimesLogged(logging.time) > 1) {
            Break("the QSO of time " + logging.time + " reached Logger32's log twice");
        }
    }
    const Text status = host.FieldText(Field::Text1);
    if (status.starts_with(QsosWaiting)) {
        const int shown = std::stoi(AsciiOf(status.substr(QsosWaiting.size())));
        if (shown != Pending()) {
            Break("the status line counts " + std::to_string(shown) + " QSOs held, not " +
                  std::to_string(Pending()));
        }
    } else if (Pending() != 0 && !gaveUp_) {
        Break(std::to_string(Pending()) + " QSOs are held but the status line reads \"" +
              AsciiOf(status) + "\"");
    }
    if (host.TicksInsideCalls() > 0) {
        Break("a timer tick inside a DDE transaction or a MixW call");
    }
    const bool mixw = MixWOwnsTheRig();
    const Button owner = mixw ? Button::Command1 : Button::Command2;
    const Button other = mixw ? Button::Command2 : Button::Command1;
    if (host.Enabled(owner) || !host.Enabled(other)) {
        Break(std::string("the rig buttons do not name ") + (mixw ? "MixW" : "Logger32") +
              " the owner");
        return;
    }
    if (host.BackColour(owner) != OwnerButton || host.BackColour(other) != OtherButton) {
        Break("the rig buttons' colours do not show the owner");
    }
    if (status == (mixw ? Logger32ControlActive : MixWControlActive)) {
        Break("the status line names the other owner");
    }
    if (mixw && status == MixWControlActive && !host.Enabled(TimerId::Timer2)) {
        Break("MixW owns the rig and Logger32 is there, but forwarding stands still");
    }
    if (!mixw && host.Enabled(TimerId::Timer2)) {
        Break("Logger32 owns the rig, but forwarding runs");
    }
}

// Everything back to working order for a minute: every QSO not lost must then be in the log,
// unless the operator or Windows ended the program knowing that QSOs were held.
void StationSimulator::CheckAtRest() {
    resting_ = true;
    sim::SimHost& host = station_.host;
    if (host.Ended()) {
        ++outcome_.census.ended;
        if (!gaveUp_ && !lossAccepted_ && Pending() > 0) {
            Break("the program ended with " + std::to_string(Pending()) +
                  " QSOs not in Logger32's log, and nobody was asked");
        }
        return;
    }
    Note("at rest: Logger32 running, answering and naming its text window, MixW quick");
    ++outcome_.census.atRest;
    if (!host.logger32.running) {
        host.logger32.StartAgain();
    }
    if (!host.logger32.namesTextWindow) {
        host.logger32.Close();
        host.logger32.namesTextWindow = true;
        host.logger32.StartAgain();
    }
    host.logger32.rejectedNames.clear();
    logger32Stall_ = 0;
    host.mixw.callTime = 0;
    for (sim::SimMixW::BusySpell& spell : host.mixw.busySpells) {
        spell.until = std::min(spell.until, host.Now());
    }
    host.RunFor(60000);
    Check();
    if (closeUnderWay_ && !host.Ended()) {
        Break("a close was not refused, but the program is still running");
    }
    if (!gaveUp_ && !(host.Ended() && lossAccepted_) && Pending() > 0) {
        Break(std::to_string(Pending()) + " QSOs never reached Logger32's log");
    }
}

void StationSimulator::Log(const char* prefix, bool onlyWhileMixWOwns,
                           const std::function<void()>& action) {
    sim::SimHost& host = station_.host;
    const std::string time = AsciiOf(Numbered(prefix, ++nextTime_));
    MixWSets(Field::Time, AsciiText(time));
    // A Logger32 that is there but has named no text window of its own, before or after the
    // save: the bridge may have nowhere to put the logging, and must say so.
    auto noTextWindow = [&logger32 = host.logger32] {
        return logger32.running && logger32.textWindowNamed != logger32.textWindow;
    };
    const bool mayBeLost = noTextWindow();
    action();
    host.RunFor(0);
    // The owner when the bridge took the logging: a click on a rig button made before it, still
    // waiting in the queue, is taken first.
    const bool withDial = MixWOwnsTheRig();
    const bool required = !onlyWhileMixWOwns || withDial;
    if (required && !host.Ended()) {
        const bool toldLost = host.FieldText(Field::Text1) == QsoNotLogged;
        if (toldLost && !mayBeLost && !noTextWindow()) {
            Break("\"QSO NOT LOGGED\" shown, but Logger32 had named its text window");
        }
        const bool lost = toldLost && TimesLogged(time) == 0;
        outcome_.census.qsoNotLogged += lost ? 1 : 0;
        loggings_.push_back({time, lost, LogQsoAfter(RecordSentBefore(time), AsciiText(time)),
                             HeldLogging(EntryNow(), AsciiText(time), withDial)});
    }
}

// The operator changes the item of MixW's QSO entry that `field` is linked to.
void StationSimulator::MixWSets(Field field, const Text& value) {
    const mixw::DdeLink& link = bridge::ForwardedOf(field).link;
    station_.host.mixw.SetItem(station_.host, link.Topic(), link.item, value);
}

void StationSimulator::TypeField() {
    const Field field = Pick(QsoFields);
    const Text& value = Pick(Values);
    Note("MixW: " + AsciiOf(bridge::ForwardedOf(field).link.item) + " := " + AsciiOf(value));
    MixWSets(field, value);
}

void StationSimulator::TypeCall() {
    const Text& call = Pick(Calls);
    Note("MixW: Call := " + AsciiOf(call));
    MixWSets(Field::Callsign, call);
}

void StationSimulator::TypeMode() {
    const Text& mode = Pick(Modes);
    Note("MixW: Mode := " + AsciiOf(mode));
    MixWSets(Field::Mode, mode);
}

void StationSimulator::Tune() {
    station_.host.mixw.fqA = Pick(Dials);
    fqAChanges_.emplace_back(station_.host.mixw.calls.size(), station_.host.mixw.fqA);
    Note("MixW tuned to " + std::to_string(station_.host.mixw.fqA));
}

void StationSimulator::MoveAudio() {
    station_.host.mixw.audioFq = Pick(AudioOffsets);
    audioFqChanges_.emplace_back(station_.host.mixw.calls.size(), station_.host.mixw.audioFq);
    Note("MixW's audio offset " + std::to_string(station_.host.mixw.audioFq));
}

// MixW's "Command" item reads "Save" for each saved QSO; where it read "Save" already, it went
// back to empty first, so that the bridge sees every save.
void StationSimulator::Save() {
    if (!FieldsLinked()) {
        return;
    }
    // A save counts only while MixW owns the rig; Logger32 owning it, MixW's "Save" is ignored.
    Log("T", true, [this] {
        sim::SimHost& host = station_.host;
        Note("MixW: the QSO of time T" + std::to_string(nextTime_) + " saved");
        if (host.FieldText(Field::TextCommand) == u"Save") {
            MixWSets(Field::TextCommand, u"");
        }
        MixWSets(Field::TextCommand, u"Save");
    });
}

void StationSimulator::Remove() {
    if (!FieldsLinked()) {
        return;
    }
    sim::SimHost& host = station_.host;
    Note("MixW: the QSO removed");
    if (host.FieldText(Field::TextCommand) == u"Remove") {
        MixWSets(Field::TextCommand, u"");
    }
    MixWSets(Field::TextCommand, u"Remove");
}

// Before the bridge has linked its fields to MixW's items, it cannot see a save or a removal,
// and its fields show no QSO: the operator saves, removes or sends once they show MixW's entry.
bool StationSimulator::FieldsLinked() const {
    return !station_.host.TraceMatching("link Notes").empty();
}

void StationSimulator::ClickLg32() {
    Note("click Lg32");
    station_.host.Click(Button::Command2);
}

void StationSimulator::ClickMixW2() {
    Note("click MixW2");
    station_.host.Click(Button::Command1);
}

void StationSimulator::ClickPacket() {
    Note("click PKT");
    station_.host.Click(Button::Command3);
}

void StationSimulator::ClickSend() {
    if (!FieldsLinked()) {
        return;
    }
    Log("S", false, [this] {
        Note("click Send! with the time S" + std::to_string(nextTime_));
        station_.host.Click(Button::CommandSend);
    });
}

// Logger32 reports its dial in hertz; MixW is tuned to it in kilohertz with three decimals.
void StationSimulator::Logger32Dial() {
    const std::int32_t hertz = Pick(Logger32Dials);
    std::array<char, 32> kilohertz{};
    std::snprintf(kilohertz.data(), kilohertz.size(), "%.3f", hertz / 1000.0);
    logger32Dials_.insert(u"<ZFQ:" + AsciiText(kilohertz.data()) + u">");
    Logger32PostsOrSends(logger32::DialFrequency, hertz);
}

void StationSimulator::Logger32Cluster() {
    Note("Logger32 posts its cluster value 42");
    station_.host.PostFromLogger32(logger32::ClusterValue, 42, station_.host.logger32.acceptedName);
}

void StationSimulator::Logger32WritesSpot() {
    Logger32WritesSent(Pick(Spots));
}

void StationSimulator::Logger32WritesQso() {
    Logger32WritesSent(Pick(QsoTexts));
}

void StationSimulator::Logger32Code() {
    sim::SimHost& host = station_.host;
    // Beside the handshake's codes, out of turn, two that the link does not know.
    constexpr std::uint32_t UnknownCodes[] = {17, 101};
    const std::vector<logger32::CodeWithParameter> codes{
        {logger32::ConnectAnswer, 1},
        {logger32::ConnectAnswer, 0},
        {logger32::ConnectRequest, 0},
        {logger32::TextWindow, static_cast<std::int32_t>(host.logger32.textWindow)},
        {logger32::TextWindow, 0},
        {UnknownCodes[0], 0},
        {UnknownCodes[1], 5},
    };
    const logger32::CodeWithParameter& code = Pick(codes);
    if (host.logger32.running) {
        Logger32PostsOrSends(code.code, code.lParam);
    }
}

void StationSimulator::Logger32PostsOrSends(std::uint32_t code, std::int32_t lParam) {
    const std::string what = " code " + std::to_string(code) + " " + std::to_string(lParam);
    // Under the name of the link Logger32 accepted.
    const int name = station_.host.logger32.acceptedName;
    if (choices_.Below(2) == 0) {
        Note("Logger32 posts" + what);
        station_.host.PostFromLogger32(code, lParam, name);
    } else {
        Note("Logger32 sends" + what);
        station_.host.SendFromLogger32(code, lParam, name);
    }
}

void StationSimulator::Logger32WritesSent(const Text& text) {
    sim::SimHost& host = station_.host;
    if (host.logger32.running && host.logger32.sentWindow != 0) {
        Note("Logger32 writes into Sent: " + AsciiOf(text));
        host.SetTextOfWindow(host.logger32.sentWindow, text);
    }
}

// Logger32 does something of its own a moment later, whatever the bridge is doing then: waiting
// inside a MixW call or a delivery, pausing after a logging, or nothing.
void StationSimulator::Logger32ActsLater() {
    static constexpr std::array<void (StationSimulator::*)(), 5> Acts{
        &StationSimulator::Logger32Dial, &StationSimulator::Logger32WritesSpot,
        &StationSimulator::Logger32WritesQso, &StationSimulator::Logger32Code,
        &StationSimulator::Logger32Closes};
    const auto act = Acts[choices_.Below(Acts.size())];
    const int later = static_cast<int>(choices_.Below(2000)) + 1;
    Note("Logger32 will act in " + std::to_string(later) + " ms");
    station_.host.At(station_.host.Now() + later, [this, act] {
        if (!resting_ && outcome_.kept && !station_.host.Ended()) {
            (this->*act)();
        }
    });
}

void StationSimulator::Logger32Closes() {
    if (station_.host.logger32.running) {
        Note("Logger32 closes");
        station_.host.logger32.Close();
    }
}

// A Logger32 started again may name its text window before its accept, or never.
void StationSimulator::Logger32ComesBack() {
    sim::SimLogger32& logger32 = station_.host.logger32;
    if (!logger32.running) {
        logger32.namesTextWindow = choices_.Below(5) != 0;
        logger32.textWindowFirst = choices_.Below(3) == 0;
        Note(std::string("Logger32 is started again") +
             (logger32.namesTextWindow ? "" : ", and names no text window") +
             (logger32.textWindowFirst ? ", and names its text window first" : ""));
        logger32.StartAgain();
    }
}

void StationSimulator::Logger32RefusesName() {
    const int name = static_cast<int>(choices_.Below(7));
    if (name == 0) {
        Note("Logger32 accepts every name again");
        station_.host.logger32.rejectedNames.clear();
    } else if (name == 6) {
        Note("Logger32 refuses every name");
        station_.host.logger32.rejectedNames = {1, 2, 3, 4, 5};
    } else {
        Note("Logger32 refuses \"Logger32 " + std::to_string(name) + "\"");
        station_.host.logger32.rejectedNames.insert(name);
    }
}

void StationSimulator::Logger32Slow() {
    logger32Stall_ = Pick(Stalls);
    Note("Logger32 takes " + std::to_string(logger32Stall_) + " ms over each text");
}

void StationSimulator::MixWSlow() {
    station_.host.mixw.callTime = Pick(CallTimes);
    Note("MixW answers each call in " + std::to_string(station_.host.mixw.callTime) + " ms");
}

void StationSimulator::MixWBusy() {
    const int spell = Pick(BusySpells);
    const int now = station_.host.Now();
    station_.host.mixw.busySpells.push_back({now, now + spell});
    Note("MixW is busy in a dialog for " + std::to_string(spell) + " ms");
}

void StationSimulator::TimePasses() {
    const int milliseconds = static_cast<int>(choices_.Below(10001));
    Note(std::to_string(milliseconds) + " ms pass");
    station_.host.RunFor(milliseconds);
}

void StationSimulator::Close() {
    Note("the operator closes Pontara");
    endAllowed_ = true;
    const std::size_t mark = station_.host.TraceMark();
    station_.host.RequestClose();
    station_.host.RunFor(0);
    // "No" keeps the program and what it holds; any other close ends it, at once or, with
    // macros a busy MixW has not taken yet, once MixW has taken them.
    const std::vector<std::string> closing = station_.host.TraceSince(mark);
    const bool refused = std::ranges::find(closing, "answer no") != closing.end();
    endAllowed_ = !refused;
    lossAccepted_ = std::ranges::find(closing, "answer yes") != closing.end();
    closeUnderWay_ = !refused && !station_.host.Ended();
}

// MixW ends (it crashed, or the operator closed it): the bridge learns it at its next call.
void StationSimulator::MixWGoesAway() {
    Note("MixW goes away");
    station_.host.mixw.running = false;
    mixwGone_ = true;
}

void StationSimulator::EndSession(bool windowsAsks) {
    endAllowed_ = true;
    if (!windowsAsks) {
        Note("the session ends without asking");
        lossAccepted_ = true;
        station_.host.EndSessionAnyway();
    } else {
        Note("Windows asks to end the session");
        station_.host.EndSession();
    }
    endAllowed_ = station_.host.Ended();
}

}  // namespace pontara::simulation
