#include "sim/SimHost_sim.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

#include "logger32/Logger32Protocol.h"
#include "mixw/MixWAutomation.h"
#include "mixw/MixWBusy.h"
#include "platform/AnsiCodePage.h"
#include "platform/NumberText.h"
#include "platform/PlatformError.h"
#include "sim/SimCodePage_sim.h"
#include "ui/WindowModel.h"

namespace pontara::sim {

namespace {

constexpr WindowHandle FirstFieldHandle = 0x00020100;
constexpr MessageId FirstLogger32Message = 0xC101;
constexpr std::uintptr_t OriginalWindowProc = 0x401000;
constexpr std::uint32_t DdeNotProcessed = 0x4009;         // DMLERR_NOTPROCESSED
constexpr std::uint32_t ObjectDisconnected = 0x80010108;  // RPC_E_DISCONNECTED
constexpr std::uint32_t ExceptionOccurred = 0x80020009;   // DISP_E_EXCEPTION
constexpr std::uint32_t CallRejected = 0x80010001;        // RPC_E_CALL_REJECTED
constexpr std::uint32_t CantCallOut = 0x8001010D;         // RPC_E_CANTCALLOUT_ININPUTSYNCCALL
// The system's messages for them, as FormatMessage gives them (without the final full stop).
constexpr TextView CallRejectedMessage = u"Call was rejected by callee";
constexpr TextView CantCallOutMessage =
    u"An outgoing call cannot be made since the application is dispatching an "
    u"input-synchronous call";

int NameNumber(MessageId message) {
    int number = static_cast<int>(message - FirstLogger32Message) + 1;
    return number >= 1 && number <= 5 ? number : 0;
}

// MixW's automation object as the bridge sees it; every call lands in the SimMixW record.
class SimMixWObject final : public MixWAutomation {
  public:
    explicit SimMixWObject(SimHost& host) : host_(host) {}

    Text GetQsoData(std::int16_t index) override {
        Enter(mixw::Member::GetQsoData, AsciiText(std::to_string(index)));
        auto found = host_.mixw.qsoData.find(index);
        return found == host_.mixw.qsoData.end() ? Text{} : found->second;
    }
    void SetQsoData(std::int16_t index, Text& value) override {
        Enter(mixw::Member::SetQsoData, AsciiText(std::to_string(index)) + u" " + value);
        host_.mixw.qsoData[index] = value;
        host_.Record(AsciiOf(mixw::MemberName(mixw::Member::SetQsoData)) + " " +
                     std::to_string(index) + " " + AsciiOf(value));
    }
    void ExecuteMacros(const Text& macro) override {
        Enter(mixw::Member::ExecuteMacros, macro);
        host_.Record("macro " + AsciiOf(macro));
    }
    double FqA() override {
        Enter(mixw::Member::FqA, {});
        return host_.mixw.fqA;
    }
    double AudioFq() override {
        Enter(mixw::Member::AudioFq, {});
        return host_.mixw.audioFq;
    }

  private:
    void EnterOnWorker(const Text& name, mixw::Member member, const Text& argument) {
        // The worker's message filter has COM try a call MixW turns away again, every
        // mixw::RetryBusyEvery, for as long as the worker's bound lasts.
        while (!host_.WorkerPastBound() && host_.mixw.BusyAt(*host_.WorkerNow())) {
            ++host_.mixw.rejectedCalls;
            host_.WorkerCallTakes(mixw::RetryBusyEvery);
        }
        if (host_.WorkerPastBound()) {
            throw PlatformError(name, ObjectDisconnected, u"The program ended before the call");
        }
        host_.mixw.calls.push_back({*host_.WorkerNow(), member, argument});
        host_.WorkerCallTakes(host_.mixw.callTime);
    }

    void Enter(mixw::Member member, const Text& argument) {
        Text name = u"MixW's " + Text(mixw::MemberName(member));
        if (!host_.mixw.running) {
            throw PlatformError(name, ObjectDisconnected,
                                u"The object invoked has disconnected from its clients");
        }
        if (host_.WorkerNow()) {
            EnterOnWorker(name, member, argument);
            return;
        }
        if (host_.InsideSentMessage()) {
            throw PlatformError(name, CantCallOut, Text(CantCallOutMessage));
        }
        // Windows' COM asks the bridge's message filter, which cancels the call at once.
        if (host_.mixw.BusyAt(host_.Now())) {
            ++host_.mixw.rejectedCalls;
            throw mixw::MixWBusy(PlatformError(name, CallRejected, Text(CallRejectedMessage)));
        }
        if (host_.mixw.failingMembers.contains(member)) {
            throw PlatformError(name, ExceptionOccurred, u"MixW raised an error");
        }
        host_.mixw.calls.push_back({host_.Now(), member, argument});
        ++host_.mixw.callsInFlight;
        host_.mixw.mostCallsInFlight =
            std::max(host_.mixw.mostCallsInFlight, host_.mixw.callsInFlight);
        host_.WaitInComCall(host_.mixw.callTime);
        --host_.mixw.callsInFlight;
    }

    SimHost& host_;
};

}  // namespace

SimHost::SimHost() : fields_(FieldCount), buttons_(ButtonCount), timers_(TimerCount) {
    for (const FieldModel& field : window_model::Fields()) {
        fields_[static_cast<std::size_t>(field.field)] = Text(field.textAtCreation);
    }
    for (const ButtonModel& button : window_model::Buttons()) {
        buttons_[static_cast<std::size_t>(button.button)] = {
            Text(button.caption), button.back.value_or(colours::ButtonFace), button.enabled};
    }
    for (const TimerModel& timer : window_model::Timers()) {
        TimerState& state = timers_[static_cast<std::size_t>(timer.timer)];
        state.interval = timer.interval;
        state.enabled = timer.enabled;
        Restart(state);
    }
}

SimHost::~SimHost() = default;

void SimHost::Start(HostEvents& events) {
    events_ = &events;
    gate_.Raise([this] { events_->Load(); });
}

void SimHost::RunFor(int milliseconds) {
    int target = now_ + milliseconds;
    while (!ended_) {
        // World changes due before the next event happen first.
        int next = target;
        for (const Queued& each : queue_) {
            if (!postedHeld_) {
                next = std::min(next, each.time);
            }
        }
        for (const TimerState& each : timers_) {
            if (!postedHeld_ && each.enabled && each.interval > 0) {
                next = std::min(next, each.due);
            }
        }
        AdvanceTo(std::max(now_, next));
        auto queued =
            std::min_element(queue_.begin(), queue_.end(), [](const Queued& a, const Queued& b) {
                return a.time != b.time ? a.time < b.time : a.sequence < b.sequence;
            });
        int timer = -1;
        for (int t = 0; t < TimerCount; ++t) {
            const TimerState& state = timers_[static_cast<std::size_t>(t)];
            if (!postedHeld_ && state.enabled && state.interval > 0 && state.due <= target &&
                (timer < 0 || state.due < timers_[static_cast<std::size_t>(timer)].due)) {
                timer = t;
            }
        }
        bool queuedDue = !postedHeld_ && queued != queue_.end() && queued->time <= target;
        // Posted messages go before timer ticks, as WM_TIMER comes only from an empty queue.
        if (queuedDue &&
            (timer < 0 || queued->time <= timers_[static_cast<std::size_t>(timer)].due)) {
            now_ = std::max(now_, queued->time);
            std::function<void()> action = std::move(queued->action);
            queue_.erase(queued);
            gate_.Raise(std::move(action));
        } else if (timer >= 0) {
            TimerState& state = timers_[static_cast<std::size_t>(timer)];
            now_ = std::max(now_, state.due);
            Restart(state);
            const auto id = static_cast<TimerId>(timer);
            // Timers fire inside a call only in a DDE transaction's wait: a COM call's holds them.
            ticksHeldInDdeWaits_ += gate_.InsideCall() ? 1 : 0;
            gate_.TimerElapsed(id, [this, id] { RaiseTick(id); });
        } else {
            break;
        }
    }
    if (!ended_) {
        AdvanceTo(target);
    }
}

void SimHost::At(int time, std::function<void()> change) {
    world_.emplace(time, std::move(change));
}

void SimHost::AdvanceTo(int time) {
    constexpr int OneDay = 24 * 3600 * 1000;
    if (time > OneDay) {
        std::fprintf(stderr, "SimHost: virtual time ran past a day; a wait never ends?\n");
        std::abort();
    }
    while (!world_.empty() && world_.begin()->first <= time) {
        auto change = world_.extract(world_.begin());
        now_ = std::max(now_, change.key());
        change.mapped()();
    }
    now_ = std::max(now_, time);
}

void SimHost::Post(std::function<void()> action, int delay) {
    queue_.push_back({now_ + delay, sequence_++, false, std::move(action)});
}

MessageId SimHost::Logger32MessageOf(int nameNumber) {
    return nameNumber == 0 ? RegisterMessage(logger32::MessageNames[0])
                           : FirstLogger32Message + static_cast<MessageId>(nameNumber - 1);
}

void SimHost::PostFromLogger32(std::uint32_t code, std::int32_t lParam, int nameNumber) {
    MessageId message = Logger32MessageOf(nameNumber);
    Post([this, message, code, lParam] { DeliverFromLogger32(message, code, lParam); });
}

void SimHost::SendFromLogger32(std::uint32_t code, std::int32_t lParam, int nameNumber) {
    MessageId message = Logger32MessageOf(nameNumber);
    HandleSent([&] {
        gate_.Raise([this, message, code, lParam] { DeliverFromLogger32(message, code, lParam); });
    });
}

// Another program's SendMessage: handled at once, and inside it Windows' COM refuses calls out.
void SimHost::HandleSent(const std::function<void()>& handle) {
    ++sentDepth_;
    handle();
    --sentDepth_;
}

void SimHost::DeliverFromLogger32(MessageId message, std::uint32_t code, std::int32_t lParam) {
    if (!ReachesBridge() && !allowedMessages_.contains(message)) {
        return;  // dropped: Logger32 runs at a lower rank, and the message was not let in
    }
    // A sent code overtakes the posted ones still queued: what counts is the order received.
    if (code == logger32::TextWindow) {
        logger32.textWindowNamed = static_cast<WindowHandle>(lParam);
    }
    std::optional<std::int32_t> result;
    if (hooked_) {
        result = events_->WindowMessage(message, code, lParam);
    }
    if (!result) {
        ++passedOn_;
    }
}

void SimHost::SetTextOfWindow(WindowHandle window, const Text& text) {
    HandleSent([&] {
        for (int field = 0; field < FieldCount; ++field) {
            bool letIn = ReachesBridge() || allowedTexts_.contains(static_cast<Field>(field));
            if (FieldWindow(static_cast<Field>(field)) == window && letIn) {
                SetFieldText(static_cast<Field>(field), text);
            }
        }
    });
}

void SimHost::PostToMainWindow(std::function<void()> work) {
    Post([this, work = std::move(work)] { events_->WorkPosted(work); });
}

void SimHost::Click(Button button) {
    Post([this, button] {
        if (buttons_[static_cast<std::size_t>(button)].enabled) {
            if (onClickTaken) {
                onClickTaken(button);
            }
            events_->ButtonClicked(button);
        }
    });
}

void SimHost::RequestClose() {
    queue_.push_back({now_, sequence_++, true, [this] { events_->Unload(); }});
}

void SimHost::SendClose() {
    HandleSent([this] { gate_.Raise([this] { events_->Unload(); }); });
}

// Windows sends both from another process and waits for the answers: they are handled at once.
bool SimHost::EndSession(SessionEnd end) {
    Record("query end session");
    const bool agreed = ended_ || events_ == nullptr || events_->QueryEndSession();
    if (agreed) {
        EndSessionAnyway(end);
    }
    return agreed;
}

void SimHost::EndSessionAnyway(SessionEnd end) {
    Record(end == SessionEnd::All ? "end session" : "end session, this program only");
    HandleSent([this, end] { gate_.RaiseAtOnce([this, end] { events_->EndSession(end); }); });
}

std::vector<std::string> SimHost::TraceSince(std::size_t mark) const {
    std::vector<std::string> lines;
    for (std::size_t i = mark; i < trace_.size(); ++i) {
        lines.push_back(trace_[i].what);
    }
    return lines;
}

void SimHost::ForgetTrace() {
    trace_.clear();
    textsSent.clear();
}

std::vector<std::string> SimHost::TraceMatching(const std::string& prefix) const {
    std::vector<std::string> lines;
    for (const TraceEntry& entry : trace_) {
        if (entry.what.starts_with(prefix)) {
            lines.push_back(entry.what);
        }
    }
    return lines;
}

Text SimHost::FieldText(Field field) const {
    return fields_[static_cast<std::size_t>(field)];
}

void SimHost::SetFieldText(Field field, const Text& text) {
    Text& current = fields_[static_cast<std::size_t>(field)];
    if (current == text) {
        return;
    }
    current = text;
    gate_.Raise([this, field] { events_->FieldChanged(field); });
}

WindowHandle SimHost::FieldWindow(Field field) const {
    return FirstFieldHandle + static_cast<WindowHandle>(field);
}

std::u16string SimHost::LinkKey(const mixw::DdeLink& link) {
    return LowerAscii(link.Service()) + u"|" + LowerAscii(link.Topic()) + u"|" +
           LowerAscii(link.item);
}

void SimHost::OpenLink(Field field, const mixw::DdeLink& link) {
    Record("link " + AsciiOf(window_model::Of(field).name));
    WaitInDdeTransaction(mixw.linkTime);
    std::u16string key = LinkKey(link);
    auto item = key.starts_with(u"mixw|") ? mixw.items.find(key.substr(5)) : mixw.items.end();
    if (!mixw.running || item == mixw.items.end()) {
        throw PlatformError(u"Opening a DDE link", DdeNotProcessed,
                            u"The DDE server did not answer for the item");
    }
    linkedFields_.emplace_back(field, key);
    if (item->second) {
        SetFieldText(field, *item->second);
    }
}

void SimHost::AdviseItem(const std::u16string& key, const Text& value) {
    for (const auto& linked : linkedFields_) {
        if (linked.second == u"mixw|" + key) {
            Post([this, field = linked.first, value] { SetFieldText(field, value); });
        }
    }
}

Text SimHost::Caption(Button button) const {
    return buttons_[static_cast<std::size_t>(button)].caption;
}
void SimHost::SetCaption(Button button, const Text& caption) {
    buttons_[static_cast<std::size_t>(button)].caption = caption;
}
Colour SimHost::BackColour(Button button) const {
    return buttons_[static_cast<std::size_t>(button)].back;
}
void SimHost::SetBackColour(Button button, Colour colour) {
    buttons_[static_cast<std::size_t>(button)].back = colour;
}
bool SimHost::Enabled(Button button) const {
    return buttons_[static_cast<std::size_t>(button)].enabled;
}
void SimHost::SetEnabled(Button button, bool enabled) {
    buttons_[static_cast<std::size_t>(button)].enabled = enabled;
}

int SimHost::Interval(TimerId timer) const {
    return timers_[static_cast<std::size_t>(timer)].interval;
}

void SimHost::SetInterval(TimerId timer, int milliseconds) {
    TimerState& state = timers_[static_cast<std::size_t>(timer)];
    state.interval = milliseconds;
    gate_.TimerSet(timer);
    Restart(state);
}

bool SimHost::Enabled(TimerId timer) const {
    return timers_[static_cast<std::size_t>(timer)].enabled;
}

void SimHost::SetEnabled(TimerId timer, bool enabled) {
    TimerState& state = timers_[static_cast<std::size_t>(timer)];
    if (enabled && !state.enabled) {
        Restart(state);
    }
    state.enabled = enabled;
    gate_.TimerSet(timer);
}

void SimHost::ShowSplash() {
    splashVisible_ = true;
    Record("splash shown");
}

void SimHost::HideSplash() {
    splashVisible_ = false;
    Record("splash hidden");
}

void SimHost::ShowMainWindow() {
    mainVisible_ = true;
    Record("main shown");
}

void SimHost::MakeMainWindowTopmost() {
    mainTopmost_ = true;
    Record("main topmost");
}

std::uintptr_t SimHost::HookMainWindow() {
    hooked_ = true;
    Record("hook");
    return OriginalWindowProc;
}

void SimHost::UnhookMainWindow(std::uintptr_t previousWindowProc) {
    hooked_ = previousWindowProc != OriginalWindowProc;
    Record("unhook");
}

// Windows' EndProgram exits the process, so a box that the bridge's code, still on the stack
// below the end, would show next is never seen; here that code runs on, and is shown nothing.
void SimHost::ShowMessage(const Text& text, const Text& caption) {
    if (ended_) {
        Record("no box after the end: " + AsciiOf(text));
        return;
    }
    Record("box " + AsciiOf(text));
    boxes_.push_back({now_, text, caption});
    if (onMessageBox) {
        onMessageBox(boxes_.back());
    }
}

bool SimHost::AskYesNo(const Text& text, const Text& caption) {
    if (ended_) {
        Record("no question after the end: " + AsciiOf(text));
        return false;
    }
    Record("ask " + AsciiOf(text));
    boxes_.push_back({now_, text, caption});
    const bool yes = onYesNo && onYesNo(boxes_.back());
    Record(yes ? "answer yes" : "answer no");
    return yes;
}

void SimHost::Sleep(int milliseconds) {
    Record("sleep " + std::to_string(milliseconds));
    AdvanceTo(now_ + milliseconds);
}

bool SimHost::WaitKeepingWindowAlive(int milliseconds) {
    EventGate::SequencerWait wait(gate_);
    int deadline = now_ + milliseconds;
    for (const Queued& queued : queue_) {
        if (queued.isClose && queued.time <= deadline) {
            AdvanceTo(queued.time);
            return false;
        }
    }
    AdvanceTo(deadline);
    return true;
}

void SimHost::EndProgram() {
    Record("end");
    ended_ = true;
}

Text SimHost::FormatDouble(double value) const {
    return SignificantDigitsText(value, decimalSeparator);
}

std::vector<TopLevelWindow> SimHost::TopLevelWindowsTitled(const char* title) const {
    auto lower = [](std::string text) {
        std::ranges::transform(text, text.begin(),
                               [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return text;
    };
    std::vector<TopLevelWindow> found;
    for (const SimTopLevelWindow& each : topLevelWindows) {
        WindowHandle window = each.window != 0 ? each.window : logger32.Window();
        if (window == 0 || lower(each.title) != lower(title)) {
            continue;
        }
        if (each.window == 0 && logger32.windowLooksLeft > 0) {
            --logger32.windowLooksLeft;
        }
        found.push_back({window, each.className});
    }
    return found;
}

MessageId SimHost::RegisterMessage(const char* name) {
    for (std::size_t k = 0; k < logger32::MessageNames.size(); ++k) {
        if (std::string(name) == logger32::MessageNames[k]) {
            return FirstLogger32Message + static_cast<MessageId>(k);
        }
    }
    return 0xC200;
}

void SimHost::Logger32Answers() {
    logger32.hungSince.reset();
    std::vector<SimLogger32::Posted> queued = std::move(logger32.queued);
    logger32.queued.clear();
    for (const SimLogger32::Posted& each : queued) {
        logger32.Receive(*this, each.nameNumber, each.code, each.lParam, false);
    }
}

// Windows takes a window for hung once its thread has taken no message for 5 s
// (IsHungAppWindow).
void SimHost::WaitForHungLogger32() {
    constexpr int HungAfter = 5000;
    if (now_ - *logger32.hungSince < HungAfter) {
        Stall(SendAnswerBound);
    }
}

void SimHost::PostMessageTo(WindowHandle window, MessageId message, std::uint32_t wParam,
                            std::int32_t lParam) {
    Record("post " + std::to_string(wParam) + " " + std::to_string(lParam));
    if (window != 0 && window == logger32.Window() && ReachesLogger32() && logger32.hungSince) {
        logger32.queued.push_back({NameNumber(message), wParam, lParam});
    } else if (window != 0 && window == logger32.Window() && ReachesLogger32()) {
        logger32.Receive(*this, NameNumber(message), wParam, lParam, false);
    }
}

void SimHost::SendMessageTo(WindowHandle window, MessageId message, std::uint32_t wParam,
                            std::int32_t lParam) {
    Record("send " + std::to_string(wParam) + " " + std::to_string(lParam));
    if (window != 0 && window == logger32.Window() && logger32.hungSince) {
        WaitForHungLogger32();
    } else if (window != 0 && window == logger32.Window() && ReachesLogger32()) {
        logger32.Receive(*this, NameNumber(message), wParam, lParam, true);
    }
}

// Converted first, as the Win32 host converts before it sends: a refused conversion fails the
// delivery whatever the window. The bytes themselves are made only for a Logger32 that takes
// them, so that a text nobody receives costs no more than on Windows.
bool SimHost::SendText(WindowHandle window, const Text& text) {
    RefuseAsWindows(codePage, ToAnsiFlags(codePage));
    Record("text " + AsciiOf(text));
    textsSent.push_back(text);
    if (window == 0 || window != logger32.textWindow || !logger32.running || !ReachesLogger32()) {
        return true;
    }
    if (logger32.hungSince) {
        WaitForHungLogger32();
        Record("not taken");
        return false;
    }
    logger32.texts.push_back({now_, text, ToCodePage(codePage, ToAnsiFlags(codePage), text)});
    if (logger32.onText) {
        logger32.onText(text);
    }
    return true;
}

bool SimHost::IsWindow(WindowHandle window) const {
    if (window == logger32.mainWindow || window == logger32.textWindow) {
        return logger32.running;
    }
    return window == MainWindowHandle ||
           (window >= FirstFieldHandle && window < FirstFieldHandle + FieldCount);
}

void SimHost::AllowMessageFromLowerRank(MessageId message) {
    if (!refusesLettingIn) {
        allowedMessages_.insert(message);
    }
}

void SimHost::AllowTextFromLowerRank(Field field) {
    if (!refusesLettingIn) {
        allowedTexts_.insert(field);
    }
}

std::unique_ptr<MixWAutomation> SimHost::AttachMixW() {
    ++mixw.attachAttempts;
    if (!mixw.running) {
        return nullptr;
    }
    Record("attach");
    return std::make_unique<SimMixWObject>(*this);
}

void SimHost::CallMixWFromWorker(std::function<void(MixWAutomation&)> calls, int milliseconds) {
    Record("worker");
    workerNow_ = now_;
    workerBound_ = now_ + milliseconds;
    SimMixWObject mixw(*this);
    try {
        calls(mixw);
    } catch (const PlatformError&) {
    }
    const int resumes = std::min(*workerNow_, workerBound_);
    workerNow_.reset();
    AdvanceTo(resumes);
}

void SimHost::Record(std::string what) {
    trace_.push_back({now_, std::move(what)});
}

void SimHost::WaitInDdeTransaction(int milliseconds) {
    if (milliseconds <= 0) {
        return;
    }
    EventGate::Call call(gate_);
    RunFor(milliseconds);
}

void SimHost::WaitInComCall(int milliseconds) {
    if (ended_) {
        // The real program would have ended inside EndProgram; the handler that goes on here
        // still finds time passing.
        AdvanceTo(now_ + milliseconds);
        return;
    }
    bool wasHeld = std::exchange(postedHeld_, true);
    EventGate::Call call(gate_);
    RunFor(milliseconds);
    postedHeld_ = wasHeld;
}

void SimHost::RaiseTick(TimerId timer) {
    if (gate_.InsideCall()) {
        ++ticksInsideCalls_;
    }
    events_->TimerTick(timer);
}

}  // namespace pontara::sim
