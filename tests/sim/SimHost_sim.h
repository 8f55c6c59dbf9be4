#pragma once
// The simulated host: the main window's model, timers on a virtual clock, and scripted
// Logger32 and MixW, so that every handler of the bridge runs natively and in milliseconds.
// Responsibilities: raising HostEvents in virtual time exactly as the Win32 host would order
// them (posted messages before timer ticks, nothing during Sleep or a sequencer wait, nested
// dispatch inside message boxes and deliveries), and recording everything the bridge does
// outside itself in one ordered trace. A DDE link opening or a MixW call may take virtual time
// (SimMixW::linkTime, callTime); meanwhile each waits as Windows' modal loop of its kind does
// (DDEML's dispatches posted messages and timer ticks, COM's leaves both queued). Which events
// run, wait or are held is the gate's, as in the Win32 host.
// Collaborations: platform/EventGate.h; SimLogger32 and SimMixW (sim/SimPeers_sim.h); the
// tests.

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "logger32/Logger32Protocol.h"
#include "platform/EventGate.h"
#include "platform/Host.h"
#include "sim/SimPeers_sim.h"

namespace pontara::sim {

class SimHost final : public Host {
  public:
    static constexpr WindowHandle MainWindowHandle = 0x00020010;

    struct TraceEntry {
        int time;
        std::string what;  // "post 18 1", "send 4 0", "text <EOR>", "macro <SAVEQSO>", ...
    };
    struct MessageBoxShown {
        int time;
        Text text;
        Text caption;
    };

    SimHost();
    ~SimHost() override;

    // Creates the window model and raises Load.
    void Start(HostEvents& events);

    int Now() const { return now_; }
    // Dispatches everything due up to Now() + milliseconds, in time order.
    void RunFor(int milliseconds);
    // Changes the outside world at a virtual time (a program starts or stops, say). Applied as
    // time passes, also inside a Sleep or a wait of the bridge, where no event is dispatched.
    void At(int time, std::function<void()> change);
    // Queues an action as a posted message would be queued, `delay` milliseconds from now.
    void Post(std::function<void()> action, int delay = 0);
    // Logger32 posts a code to the bridge's main window under name `nameNumber` (1 to 5).
    void PostFromLogger32(std::uint32_t code, std::int32_t lParam, int nameNumber = 0);
    // Logger32 sends a code (SendMessage under the first name): handled at once, inside a sent
    // message, where SimMixW refuses every call as Windows' COM does.
    void SendFromLogger32(std::uint32_t code, std::int32_t lParam, int nameNumber = 0);
    // Logger32 stops taking messages, and takes them again: what was posted meanwhile is
    // handled then, in order.
    void Logger32Hangs() { logger32.hungSince = now_; }
    void Logger32Answers();
    // Logger32 sets a window's text by handle (WM_SETTEXT, a sent message); dispatched at
    // once.
    void SetTextOfWindow(WindowHandle window, const Text& text);
    void Click(Button button);  // queued; ignored while the button is disabled
    // Runs when a click reaches the bridge, before the bridge handles it.
    std::function<void(Button)> onClickTaken;
    void RequestClose();  // queued: the operator closes the main window
    // Another program sends WM_CLOSE (Task Manager's "End task", a script): handled at once,
    // inside a sent message.
    void SendClose();
    // Windows ends the session (log off, shut down), or with SessionEnd::ThisProgram the Restart
    // Manager closes the bridge alone: asks the program first, and ends the session only when it
    // agrees. Returns the answer.
    bool EndSession(SessionEnd end = SessionEnd::All);
    // The session ends without asking, as when the operator chose to end it all the same.
    void EndSessionAnyway(SessionEnd end = SessionEnd::All);

    // The buttons as the bridge last set them.
    Text Caption(Button button) const;
    Colour BackColour(Button button) const;
    bool Enabled(Button button) const;

    bool Ended() const { return ended_; }
    bool Hooked() const { return hooked_; }
    bool SplashVisible() const { return splashVisible_; }
    bool MainVisible() const { return mainVisible_; }
    bool MainTopmost() const { return mainTopmost_; }
    const std::vector<TraceEntry>& Trace() const { return trace_; }
    // A mark in the trace, and what was recorded after it.
    std::size_t TraceMark() const { return trace_.size(); }
    std::vector<std::string> TraceSince(std::size_t mark) const;
    std::vector<std::string> TraceMatching(const std::string& prefix) const;
    // Drops the trace and the texts sent, for a run of millions of events that would otherwise
    // spend its time growing them (the benchmarks); marks taken before no longer hold.
    void ForgetTrace();
    const std::vector<MessageBoxShown>& MessageBoxes() const { return boxes_; }
    // Messages of the main window that went to its previous procedure.
    int MessagesPassedOn() const { return passedOn_; }
    // Timer ticks raised while a handler waited inside a DDE transaction or a MixW call (never,
    // unless the holding of ticks is broken).
    int TicksInsideCalls() const { return ticksInsideCalls_; }
    // Timer ticks the bridge held while a DDE transaction waited.
    int TicksHeldInDdeWaits() const { return ticksHeldInDdeWaits_; }
    // A peer takes its time while the bridge waits inside a send to it: virtual time passes and
    // the world changes, but nothing is dispatched.
    void Stall(int milliseconds) { AdvanceTo(now_ + milliseconds); }

    // Runs while a message box is open; the box closes (OK) when it returns.
    std::function<void(const MessageBoxShown&)> onMessageBox;
    // Runs while a Yes/No box is open and answers it (true: Yes); without it, No.
    std::function<bool(const MessageBoxShown&)> onYesNo;
    // What Windows would show while a session end waits for the program.
    const std::optional<Text>& ShutdownBlockReason() const { return shutdownBlockReason_; }
    Text decimalSeparator = u".";
    int codePage = 1252;    // the system's ANSI code page: 1252, 1251, 932 or 65001
    bool elevated = false;  // the bridge runs as administrator
    // Ranks as Windows keeps them apart (this and SimLogger32::elevated): what a program posts,
    // sends or writes into the windows of one of higher rank is dropped, unless the receiving
    // window let it in. Logger32 lets nothing in; the bridge what it allowed, unless Windows
    // refused to change its filter.
    bool refusesLettingIn = false;
    // Other programs' top-level windows in Z-order, topmost first. The entry with window 0
    // stands for Logger32's main window, there while Logger32 runs (SimLogger32::Window()).
    std::vector<SimTopLevelWindow> topLevelWindows{{logger32::WindowTitle, "SimLogger32", 0}};

    SimLogger32 logger32;
    SimMixW mixw;
    // Every text the bridge set into another program's window, in order, whether a window took
    // it or not: what left the program.
    std::vector<Text> textsSent;

    // Host
    Text FieldText(Field field) const override;
    void SetFieldText(Field field, const Text& text) override;
    WindowHandle FieldWindow(Field field) const override;
    void OpenLink(Field field, const mixw::DdeLink& link) override;
    void SetCaption(Button button, const Text& caption) override;
    void SetBackColour(Button button, Colour colour) override;
    void SetEnabled(Button button, bool enabled) override;
    int Interval(TimerId timer) const override;
    void SetInterval(TimerId timer, int milliseconds) override;
    bool Enabled(TimerId timer) const override;
    void SetEnabled(TimerId timer, bool enabled) override;
    WindowHandle MainWindow() const override { return MainWindowHandle; }
    void ShowSplash() override;
    void HideSplash() override;
    void ShowMainWindow() override;
    void MakeMainWindowTopmost() override;
    std::uintptr_t HookMainWindow() override;
    void UnhookMainWindow(std::uintptr_t previousWindowProc) override;
    void ShowMessage(const Text& text, const Text& caption) override;
    bool AskYesNo(const Text& text, const Text& caption) override;
    void SetShutdownBlockReason(const std::optional<Text>& reason) override {
        shutdownBlockReason_ = reason;
    }
    void Sleep(int milliseconds) override;
    bool WaitKeepingWindowAlive(int milliseconds) override;
    void EndProgram() override;
    Text FormatDouble(double value) const override;
    Text DecimalSeparator() const override { return decimalSeparator; }
    std::vector<TopLevelWindow> TopLevelWindowsTitled(const char* title) const override;
    MessageId RegisterMessage(const char* name) override;
    void PostMessageTo(WindowHandle window, MessageId message, std::uint32_t wParam,
                       std::int32_t lParam) override;
    void SendMessageTo(WindowHandle window, MessageId message, std::uint32_t wParam,
                       std::int32_t lParam) override;
    bool SendText(WindowHandle window, const Text& text) override;
    bool IsWindow(WindowHandle window) const override;
    bool InsideSentMessage() const override { return sentDepth_ > 0; }
    void PostToMainWindow(std::function<void()> work) override;
    void AllowMessageFromLowerRank(MessageId message) override;
    void AllowTextFromLowerRank(Field field) override;
    std::unique_ptr<MixWAutomation> AttachMixW() override;
    // A thread of its own that has its own clock: the bridge's thread waits for it, nothing
    // dispatched, until it is done or the bound has passed. A call it starts after the bound is
    // never made (the program has ended by then); COM refuses no call there, and without a
    // message filter of its own a busy MixW fails its call at once.
    void CallMixWFromWorker(std::function<void(MixWAutomation&)> calls, int milliseconds) override;
    // While the worker runs: its clock, and the bound after which it makes no more calls.
    std::optional<int> WorkerNow() const { return workerNow_; }
    void WorkerCallTakes(int milliseconds) { *workerNow_ += milliseconds; }
    bool WorkerPastBound() const { return workerNow_ && *workerNow_ >= workerBound_; }

    void Record(std::string what);
    // DDEML's modal loop while a DDE transaction takes `milliseconds`, as on Windows: the
    // thread's posted messages, the operator's input included, are dispatched there; a tick
    // that falls due is held by the gate until the handler has returned.
    void WaitInDdeTransaction(int milliseconds);
    // COM's modal loop while MixW answers a call, as on Windows and under Wine: time passes and
    // other programs' sent messages are handled, but posted messages stay queued, the operator's
    // clicks and Logger32's posted codes among them, and so does WM_TIMER: a timer that fell due
    // meanwhile ticks once, after the call (the message filter answers MessagePending with
    // PENDINGMSG_WAITDEFPROCESS, under which COM dispatches only painting and activation).
    void WaitInComCall(int milliseconds);
    // Called by SimMixW when an item changes: linked fields get the value as DDE advise data.
    void AdviseItem(const std::u16string& key, const Text& value);

  private:
    struct TimerState {
        int interval = 0;
        bool enabled = false;
        int due = 0;
    };
    struct Queued {
        int time;
        long sequence;
        bool isClose;
        std::function<void()> action;
    };
    struct ButtonState {
        Text caption;
        Colour back = 0;
        bool enabled = false;
    };

    void HandleSent(const std::function<void()>& handle);
    // The wait of a send to a Logger32 that takes no message: SendAnswerBound, or none once
    // Windows takes it for hung.
    void WaitForHungLogger32();
    MessageId Logger32MessageOf(int nameNumber);
    void DeliverFromLogger32(MessageId message, std::uint32_t code, std::int32_t lParam);
    void RaiseTick(TimerId timer);
    // Moves the clock forward, applying the world's changes on the way.
    void AdvanceTo(int time);
    void Restart(TimerState& timer) { timer.due = now_ + timer.interval; }
    // Whether a message passes between the bridge and Logger32 without being let in.
    bool ReachesLogger32() const { return elevated || !logger32.elevated; }
    bool ReachesBridge() const { return logger32.elevated || !elevated; }
    static std::u16string LinkKey(const mixw::DdeLink& link);

    HostEvents* events_ = nullptr;
    int now_ = 0;
    long sequence_ = 0;
    bool ended_ = false;
    bool hooked_ = false;
    bool splashVisible_ = false;
    bool mainVisible_ = false;
    bool mainTopmost_ = false;
    int passedOn_ = 0;
    int ticksHeldInDdeWaits_ = 0;
    int ticksInsideCalls_ = 0;
    int sentDepth_ = 0;             // handling a message another program sent
    bool postedHeld_ = false;       // a modal loop that leaves posted messages and WM_TIMER queued
    std::optional<int> workerNow_;  // while CallMixWFromWorker runs
    int workerBound_ = 0;
    EventGate gate_{[this](const EventGate::Event& event) {
        if (!ended_ && events_ != nullptr) {
            event();
        }
    }};
    std::vector<Queued> queue_;
    std::multimap<int, std::function<void()>> world_;
    std::vector<Text> fields_;
    std::vector<ButtonState> buttons_;
    std::vector<TimerState> timers_;
    std::vector<std::pair<Field, std::u16string>> linkedFields_;  // with their LinkKey
    std::set<MessageId> allowedMessages_;                         // let in from a lower rank
    std::set<Field> allowedTexts_;
    std::vector<TraceEntry> trace_;
    std::vector<MessageBoxShown> boxes_;
    std::optional<Text> shutdownBlockReason_;
};

}  // namespace pontara::sim
