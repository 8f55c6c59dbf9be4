#pragma once
// The host of the real program: the seam (platform/Host.h) on Win32.
// Responsibilities: raising the bridge's events from window messages, one at a time, holding
// them back while a start-up wait runs; fields, buttons and timers over the main window's
// controls; Logger32's messages; MixW's automation object and DDE links; the end of the program.
// Collaborations: builds ui/MainWindow_win.h and ui/Splash_win.h; opens links with
// mixw/DdeClient_win.h; attaches MixW with mixw/DispatchMixW_win.h. Control and timer ids are
// listed at the top of ui/MainWindow_win.h.
//
// Events and waits. Every event goes through the gate (platform/EventGate.h), which runs it at
// once, even nested inside another handler's modal message box, as Win32 dispatches it, or
// queues it. While WaitKeepingWindowAlive runs, the thread keeps dispatching (the windows paint,
// other programs' sent messages and DDE data are taken), but the events that arise are queued:
// field changes, button clicks, Logger32's registered messages (answered 0 at once) and timer
// ticks. A close request ends the wait early and queues Unload. The end of the Windows session
// is the one event that never waits: Windows may end the process as soon as it has been
// answered.

#include <windows.h>

#include <array>
#include <deque>
#include <functional>
#include <memory>

#include "platform/EventGate.h"
#include "platform/Host.h"
#include "ui/MainWindow_win.h"
#include "ui/Splash_win.h"
#include "win32/ScopedCom_win.h"

namespace pontara {

class DdeClient;

class Win32Host final : public Host, private MainWindowListener {
  public:
    // Creates the main window (hidden) and the splash (hidden), and starts the timers that run
    // at creation. Throws PlatformError when a window cannot be created.
    Win32Host(HINSTANCE instance, HICON icon);
    ~Win32Host() override;
    Win32Host(const Win32Host&) = delete;
    Win32Host& operator=(const Win32Host&) = delete;

    // Raises Load, then dispatches messages until the main window is gone. The program
    // normally ends inside, through EndProgram.
    int Run(HostEvents& events);

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

    WindowHandle MainWindow() const override;
    void ShowSplash() override;
    void HideSplash() override;
    void ShowMainWindow() override;
    void MakeMainWindowTopmost() override;
    std::uintptr_t HookMainWindow() override;
    void UnhookMainWindow(std::uintptr_t previousWindowProc) override;

    void ShowMessage(const Text& text, const Text& caption) override;
    bool AskYesNo(const Text& text, const Text& caption) override;
    void SetShutdownBlockReason(const std::optional<Text>& reason) override;
    void Sleep(int milliseconds) override;
    bool WaitKeepingWindowAlive(int milliseconds) override;
    [[noreturn]] void EndProgram() override;

    Text FormatDouble(double value) const override;
    Text DecimalSeparator() const override;

    std::vector<TopLevelWindow> TopLevelWindowsTitled(const char* title) const override;
    MessageId RegisterMessage(const char* name) override;
    void PostMessageTo(WindowHandle window, MessageId message, std::uint32_t wParam,
                       std::int32_t lParam) override;
    void SendMessageTo(WindowHandle window, MessageId message, std::uint32_t wParam,
                       std::int32_t lParam) override;
    bool SendText(WindowHandle window, const Text& text) override;
    bool IsWindow(WindowHandle window) const override;
    bool InsideSentMessage() const override;
    void PostToMainWindow(std::function<void()> work) override;
    void AllowMessageFromLowerRank(MessageId message) override;
    void AllowTextFromLowerRank(Field field) override;

    std::unique_ptr<MixWAutomation> AttachMixW() override;
    void CallMixWFromWorker(std::function<void(MixWAutomation&)> calls, int milliseconds) override;

  private:
    class HeldTicksMixW;
    struct TimerState {
        int interval = 0;
        bool enabled = false;
    };

    // What the main window reports (MainWindowListener).
    void FieldEdited(Field field) override;
    void ButtonPressed(Button button) override;
    void TimerElapsed(TimerId timer) override;
    void CloseRequested() override;
    bool SessionEndQueried() override;
    void SessionEnds(SessionEnd end) override;
    void WorkArrived() override;

    static LRESULT CALLBACK HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> HookedMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void Guarded(const std::function<void()>& action);
    [[noreturn]] void ReportAndEnd(const Text& description);
    void Dispatch(MSG& message);
    void ApplyTimer(TimerId timer);
    bool TimerRuns(TimerId timer) const;
    TimerState& StateOf(TimerId timer) { return timers_[static_cast<std::size_t>(timer)]; }
    const TimerState& StateOf(TimerId timer) const {
        return timers_[static_cast<std::size_t>(timer)];
    }

    static Win32Host* hookOwner_;  // the host whose main window HookProc serves

    std::unique_ptr<pontara::MainWindow> main_;
    std::unique_ptr<Splash> splash_;
    std::unique_ptr<DdeClient> dde_;  // opened with the first link
    ComPtr<IDispatch> mixwObject_;    // the object AttachMixW last gave
    HostEvents* events_ = nullptr;
    std::array<Text, FieldCount> lastText_;  // what each field held when last reported
    std::array<TimerState, TimerCount> timers_{};
    WNDPROC hookPrevious_ = nullptr;
    bool hooked_ = false;
    bool closeRequested_ = false;  // seen during a wait; Unload is queued
    bool ended_ = false;
    EventGate gate_{[this](const EventGate::Event& event) {
        if (!ended_ && events_ != nullptr) {
            Guarded(event);
        }
    }};
    std::deque<std::function<void()>> postedWork_;  // one PostedWorkMessage each, in order
};

}  // namespace pontara
