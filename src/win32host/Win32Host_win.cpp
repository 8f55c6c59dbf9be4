#include "win32host/Win32Host_win.h"

#include <oleauto.h>

#include <algorithm>
#include <cassert>
#include <string>

#include "mixw/DdeClient_win.h"
#include "mixw/DispatchMixW_win.h"
#include "mixw/WorkerMixW_win.h"
#include "win32/ScopedCom_win.h"
#include "win32/WinError_win.h"
#include "win32/WinUtil_win.h"
#include "win32/WindowHandle_win.h"

namespace pontara {

namespace {

// RegisterWindowMessage hands out ids in this range, and nothing else does.
bool IsRegisteredMessage(UINT message) {
    return message >= 0xC000 && message <= 0xFFFF;
}

Text NameOf(Field field) {
    return Text(window_model::Of(field).name);
}
Text NameOf(Button button) {
    return Text(window_model::Of(button).name);
}

}  // namespace

// MixW's object, each call counted as a call by the gate: whatever COM's modal loop dispatches
// while MixW answers (WM_TIMER stays queued there, on Windows and under Wine), a timer tick must
// not start a second call meanwhile.
class Win32Host::HeldTicksMixW final : public MixWAutomation {
  public:
    HeldTicksMixW(std::unique_ptr<MixWAutomation> mixw, EventGate& gate)
        : mixw_(std::move(mixw)), gate_(gate) {}

    Text GetQsoData(std::int16_t index) override {
        EventGate::Call call(gate_);
        return mixw_->GetQsoData(index);
    }
    void SetQsoData(std::int16_t index, Text& value) override {
        EventGate::Call call(gate_);
        mixw_->SetQsoData(index, value);
    }
    void ExecuteMacros(const Text& macro) override {
        EventGate::Call call(gate_);
        mixw_->ExecuteMacros(macro);
    }
    double FqA() override {
        EventGate::Call call(gate_);
        return mixw_->FqA();
    }
    double AudioFq() override {
        EventGate::Call call(gate_);
        return mixw_->AudioFq();
    }

  private:
    std::unique_ptr<MixWAutomation> mixw_;
    EventGate& gate_;
};

Win32Host* Win32Host::hookOwner_ = nullptr;

Win32Host::Win32Host(HINSTANCE instance, HICON icon)
    : main_(std::make_unique<pontara::MainWindow>(instance, icon,
                                                  static_cast<MainWindowListener&>(*this))),
      splash_(std::make_unique<Splash>(instance)) {
    for (const FieldModel& field : window_model::Fields()) {
        lastText_[static_cast<std::size_t>(field.field)] = FieldText(field.field);
    }
    for (const TimerModel& timer : window_model::Timers()) {
        StateOf(timer.timer).interval = timer.interval;
        StateOf(timer.timer).enabled = timer.enabled;
        ApplyTimer(timer.timer);
    }
}

Win32Host::~Win32Host() {
    ended_ = true;
    dde_.reset();
    splash_.reset();
    main_.reset();
}

int Win32Host::Run(HostEvents& events) {
    events_ = &events;
    gate_.Raise([this] { events_->Load(); });
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        Dispatch(message);
    }
    return static_cast<int>(message.wParam);
}

void Win32Host::Dispatch(MSG& message) {
    // The dialog manager gives the main window Tab and Shift+Tab between its controls.
    if (!IsDialogMessageW(main_->Window(), &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// ---- Events -------------------------------------------------------------------------------

// Handlers run inside window procedures and DDE callbacks, below frames of user32 that a C++
// exception must not unwind through (the 32-bit MinGW unwinder cannot, and aborts). The
// application's error rule reports its own failures; this catches whatever still escapes.
void Win32Host::Guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const PlatformError& error) {
        ReportAndEnd(error.Describe());
    } catch (const std::exception& error) {
        ReportAndEnd(AsciiText(error.what()));
    }
}

void Win32Host::ReportAndEnd(const Text& description) {
    ended_ = true;  // the box's modal loop must not raise events
    const Text caption(window_model::Caption);
    MessageBoxW(main_->Window(), Wide(description), Wide(caption), MB_OK | MB_ICONERROR);
    EndProgram();
}

void Win32Host::FieldEdited(Field field) {
    Text text = FieldText(field);
    Text& last = lastText_[static_cast<std::size_t>(field)];
    if (text == last) {
        return;
    }
    last = std::move(text);  // before the handler runs: it may read or set the field again
    gate_.Raise([this, field] { events_->FieldChanged(field); });
}

void Win32Host::ButtonPressed(Button button) {
    gate_.Raise([this, button] { events_->ButtonClicked(button); });
}

void Win32Host::TimerElapsed(TimerId timer) {
    if (TimerRuns(timer)) {
        gate_.TimerElapsed(timer, [this, timer] { events_->TimerTick(timer); });
    }
}

void Win32Host::CloseRequested() {
    if (ended_ || events_ == nullptr) {
        return;
    }
    if (gate_.SequencerWaits()) {
        if (closeRequested_) {
            return;
        }
        closeRequested_ = true;
    }
    // The program ends inside, unless the operator chose to keep it running.
    gate_.Raise([this] {
        closeRequested_ = false;
        events_->Unload();
    });
}

bool Win32Host::SessionEndQueried() {
    bool agreed = true;
    if (!ended_ && events_ != nullptr) {
        Guarded([&] { agreed = events_->QueryEndSession(); });
    }
    return agreed;
}

// Raised at once, even inside a wait of the start-up sequencer or below another handler: once
// this message is answered Windows may end the process.
void Win32Host::SessionEnds(SessionEnd end) {
    if (ended_ || events_ == nullptr) {
        return;
    }
    gate_.RaiseAtOnce([this, end] { events_->EndSession(end); });
    EndProgram();
}

void Win32Host::WorkArrived() {
    if (postedWork_.empty()) {
        return;
    }
    std::function<void()> work = std::move(postedWork_.front());
    postedWork_.pop_front();
    gate_.Raise([this, work = std::move(work)] { events_->WorkPosted(work); });
}

// ---- Waits --------------------------------------------------------------------------------

bool Win32Host::WaitKeepingWindowAlive(int milliseconds) {
    bool quit = false;
    EventGate::SequencerWait wait(gate_);
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(std::max(milliseconds, 0));
    for (ULONGLONG now = GetTickCount64(); now < deadline && !closeRequested_ && !quit;
         now = GetTickCount64()) {
        // Also wakes for messages that other programs send: they are handled inside
        // PeekMessage, which is where a WM_SETTEXT into a field raises its EN_CHANGE.
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
        MSG message;
        while (!closeRequested_ && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));  // for the main loop
                quit = true;
                break;
            }
            Dispatch(message);
        }
    }
    return !closeRequested_ && !quit;
}

void Win32Host::Sleep(int milliseconds) {
    ::Sleep(static_cast<DWORD>(std::max(milliseconds, 0)));
}

// ---- Fields -------------------------------------------------------------------------------

Text Win32Host::FieldText(Field field) const {
    return WindowText(main_->FieldWindow(field));
}

void Win32Host::SetFieldText(Field field, const Text& text) {
    if (!SetWindowTextW(main_->FieldWindow(field), Wide(text))) {
        throw LastSystemError(u"Setting the text of the field " + NameOf(field));
    }
    // The control's EN_CHANGE has normally reported it already; this compares again, so that
    // the change is raised inside this call in any case, and only once.
    FieldEdited(field);
}

WindowHandle Win32Host::FieldWindow(Field field) const {
    return HandleOf(main_->FieldWindow(field));
}

void Win32Host::OpenLink(Field field, const mixw::DdeLink& link) {
    if (!dde_) {
        dde_ = std::make_unique<DdeClient>([this](const PlatformError& error) {
            if (!ended_) {
                ReportAndEnd(error.Describe());
            }
        });
    }
    EventGate::Call transaction(gate_);
    dde_->OpenAutomaticLink(link.Service(), link.Topic(), link.item,
                            [this, field](const Text& value) {
                                if (!ended_) {
                                    Guarded([&] { SetFieldText(field, value); });
                                }
                            });
}

// ---- Buttons ------------------------------------------------------------------------------

void Win32Host::SetCaption(Button button, const Text& caption) {
    HWND window = main_->ButtonWindow(button);
    if (!SetWindowTextW(window, Wide(caption))) {
        throw LastSystemError(u"Setting the caption of the button " + NameOf(button));
    }
    InvalidateRect(window, nullptr, TRUE);
}

void Win32Host::SetBackColour(Button button, Colour colour) {
    main_->SetBackColour(button, colour);
}

void Win32Host::SetEnabled(Button button, bool enabled) {
    // Returns the previous state, not an error.
    EnableWindow(main_->ButtonWindow(button), enabled ? TRUE : FALSE);
}

// ---- Timers -------------------------------------------------------------------------------

int Win32Host::Interval(TimerId timer) const {
    return StateOf(timer).interval;
}

void Win32Host::SetInterval(TimerId timer, int milliseconds) {
    StateOf(timer).interval = milliseconds;
    ApplyTimer(timer);
}

bool Win32Host::Enabled(TimerId timer) const {
    return StateOf(timer).enabled;
}

void Win32Host::SetEnabled(TimerId timer, bool enabled) {
    StateOf(timer).enabled = enabled;
    ApplyTimer(timer);
}

bool Win32Host::TimerRuns(TimerId timer) const {
    return StateOf(timer).enabled && StateOf(timer).interval > 0;
}

// Every change restarts the count, as setting an interval or enabling does.
void Win32Host::ApplyTimer(TimerId timer) {
    TimerState& state = StateOf(timer);
    gate_.TimerSet(timer);
    if (TimerRuns(timer)) {
        main_->StartTimer(timer, state.interval);
    } else {
        main_->StopTimer(timer);
    }
}

// ---- Windows ------------------------------------------------------------------------------

WindowHandle Win32Host::MainWindow() const {
    return HandleOf(main_->Window());
}

void Win32Host::ShowSplash() {
    splash_->Show();
}

void Win32Host::HideSplash() {
    splash_->Hide();
}

void Win32Host::ShowMainWindow() {
    ShowWindow(main_->Window(), SW_SHOWNORMAL);
    UpdateWindow(main_->Window());
}

void Win32Host::MakeMainWindowTopmost() {
    SetWindowPos(main_->Window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// The hook is an ANSI procedure, as Logger32's side of the link expects. Setting it with
// SetWindowLongPtrA makes the window an ANSI window; the Unicode procedure it replaces comes
// back as a handle that only CallWindowProcA can call (never call it directly), and setting
// that handle back restores the Unicode procedure.
std::uintptr_t Win32Host::HookMainWindow() {
    if (hooked_) {
        return reinterpret_cast<std::uintptr_t>(hookPrevious_);
    }
    SetLastError(0);
    const LONG_PTR previous =
        SetWindowLongPtrA(main_->Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookProc));
    if (previous == 0 && GetLastError() != 0) {
        throw LastSystemError(u"Hooking the main window's procedure");
    }
    hookPrevious_ = reinterpret_cast<WNDPROC>(previous);
    hookOwner_ = this;
    hooked_ = true;
    return static_cast<std::uintptr_t>(previous);
}

void Win32Host::UnhookMainWindow(std::uintptr_t previousWindowProc) {
    if (previousWindowProc == 0) {
        return;
    }
    SetWindowLongPtrA(main_->Window(), GWLP_WNDPROC, static_cast<LONG_PTR>(previousWindowProc));
    hooked_ = false;
}

LRESULT CALLBACK Win32Host::HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Win32Host* host = hookOwner_;
    const WNDPROC previous = host->hookPrevious_;  // the handler may unhook
    if (std::optional<LRESULT> result = host->HookedMessage(message, wParam, lParam)) {
        return *result;
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

std::optional<LRESULT> Win32Host::HookedMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (ended_ || events_ == nullptr) {
        return std::nullopt;
    }
    const auto id = static_cast<MessageId>(message);
    const auto w = static_cast<std::uint32_t>(wParam);
    const auto l = static_cast<std::int32_t>(lParam);
    if (gate_.SequencerWaits()) {
        // The window's own messages (painting, activation) go on as usual. Logger32's are
        // held for later and answered 0 now: their results are never looked at, and the
        // previous procedure has nothing to do with a registered message.
        if (!IsRegisteredMessage(message)) {
            return std::nullopt;
        }
        gate_.Raise([this, id, w, l] {
            if (hooked_) {
                events_->WindowMessage(id, w, l);
            }
        });
        return 0;
    }
    std::optional<std::int32_t> result;
    gate_.Raise([&] { result = events_->WindowMessage(id, w, l); });
    if (!result) {
        return std::nullopt;
    }
    return static_cast<LRESULT>(*result);
}

// ---- Messages and ending ------------------------------------------------------------------

void Win32Host::ShowMessage(const Text& text, const Text& caption) {
    MessageBoxW(main_->Window(), Wide(text), Wide(caption), MB_OK);
}

bool Win32Host::AskYesNo(const Text& text, const Text& caption) {
    return MessageBoxW(main_->Window(), Wide(text), Wide(caption),
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

// The reason is only what Windows shows the operator: the answer to WM_QUERYENDSESSION is what
// makes a session end wait, so a reason Windows would not take changes nothing else.
void Win32Host::SetShutdownBlockReason(const std::optional<Text>& reason) {
    if (reason) {
        ShutdownBlockReasonCreate(main_->Window(), Wide(*reason));
    } else {
        ShutdownBlockReasonDestroy(main_->Window());
    }
}

void Win32Host::EndProgram() {
    ended_ = true;
    // The DDE conversations end first, while their windows still exist, so that MixW's server
    // drops the links instead of advising a window that has gone.
    dde_.reset();
    splash_->Destroy();
    main_->Destroy();
    ExitProcess(0);
}

// ---- Locale -------------------------------------------------------------------------------

Text Win32Host::FormatDouble(double value) const {
    ScopedBstr text;
    const HRESULT result = VarBstrFromR8(value, LOCALE_USER_DEFAULT, 0, text.Slot());
    if (FAILED(result)) {
        throw ComError(u"Formatting a number", result);
    }
    return text.ToText();
}

Text Win32Host::DecimalSeparator() const {
    wchar_t separator[8] = {};
    const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
    if (length == 0) {
        throw LastSystemError(u"Reading the decimal separator");
    }
    return FromWide(separator, static_cast<std::size_t>(length - 1));  // without the null
}

// ---- Logger32's side ----------------------------------------------------------------------
// Results of these calls are never looked at: the link reports no errors.

// FindWindowExA from the desktop, one window after the other, walks the top-level windows in
// Z-order and compares each title as FindWindowA does (the whole title, without regard to
// case): the first it finds is FindWindowA's. A window that closes between two steps may end
// the walk early; the next look starts afresh.
std::vector<TopLevelWindow> Win32Host::TopLevelWindowsTitled(const char* title) const {
    std::vector<TopLevelWindow> found;
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, nullptr, title)) != nullptr) {
        char className[256] = {};
        const int length = GetClassNameA(window, className, sizeof className);
        found.push_back({HandleOf(window), std::string(className, std::max(length, 0))});
    }
    return found;
}

MessageId Win32Host::RegisterMessage(const char* name) {
    return RegisterWindowMessageA(name);
}

void Win32Host::PostMessageTo(WindowHandle window, MessageId message, std::uint32_t wParam,
                              std::int32_t lParam) {
    PostMessageA(HwndOf(window), message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

// A plain SendMessage to a program that has stopped taking messages waits for ever. This one
// waits SendAnswerBound at the most, and not at all once Windows takes the window for hung (no
// message taken for 5 s: SMTO_ABORTIFHUNG); meanwhile, as SendMessage does, it handles what other
// programs send to this thread (SMTO_NORMAL). It fails with ERROR_TIMEOUT when it gave up.
namespace {

bool SendAnswered(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                               SendAnswerBound, &result) != 0 ||
           GetLastError() != ERROR_TIMEOUT;
}

}  // namespace

void Win32Host::SendMessageTo(WindowHandle window, MessageId message, std::uint32_t wParam,
                              std::int32_t lParam) {
    SendAnswered(HwndOf(window), message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

// WM_SETTEXT is a system message, so Windows copies the string into the receiving process; a
// pointer to our own buffer is what it expects, whichever process owns the window.
bool Win32Host::SendText(WindowHandle window, const Text& text) {
    const std::string ansi = ToAnsi(text);
    return SendAnswered(HwndOf(window), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ansi.c_str()));
}

bool Win32Host::IsWindow(WindowHandle window) const {
    return ::IsWindow(HwndOf(window)) != FALSE;
}

// Windows' COM refuses an outgoing call while this is true (RPC_E_CANTCALLOUT_ININPUTSYNCCALL);
// Wine's lets it through. InSendMessage answers whether the thread is processing another
// thread's sent message, replied to or not (InSendMessageEx tells those apart with
// ISMEX_REPLIED): a call is put off whenever COM could refuse it, never made where it could.
bool Win32Host::InsideSentMessage() const {
    return InSendMessage() != FALSE;
}

void Win32Host::PostToMainWindow(std::function<void()> work) {
    postedWork_.push_back(std::move(work));
    if (!PostMessageW(main_->Window(), PostedWorkMessage, 0, 0)) {
        postedWork_.pop_back();
        throw LastSystemError(u"Posting MixW's calls to the main window");
    }
}

// ---- Letting a lower rank in ----------------------------------------------------------------
// Windows' User Interface Privilege Isolation: what a program of lower integrity (started
// normally) posts or sends to the windows of one of higher integrity (started as administrator)
// is dropped, the sender's call reporting success: messages from WM_USER up, registered ones
// included, and "write" messages below it such as WM_SETTEXT. Only some messages below WM_USER
// (the ones that read, such as WM_GETTEXT) always pass, and letting those in has no effect;
// WM_SETTEXT is let in like the others (ChangeWindowMessageFilterEx in Microsoft's reference).
// A program of ordinary rank may change its windows' filter as well, which lets in programs
// below it. Only a program at low integrity or below is refused, with ERROR_ACCESS_DENIED: every
// Logger32 is then at its rank or above, whose messages always arrive, so that refusal is no
// failure. Any other failure concerns the bridge's own windows and falls under the error rule.
// Wine has no integrity levels: its ChangeWindowMessageFilterEx succeeds and changes nothing.

namespace {

void AllowFromLowerRank(HWND window, UINT message, const Text& attempted) {
    if (ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr) != FALSE ||
        GetLastError() == ERROR_ACCESS_DENIED) {
        return;
    }
    throw LastSystemError(attempted);
}

}  // namespace

void Win32Host::AllowMessageFromLowerRank(MessageId message) {
    AllowFromLowerRank(main_->Window(), message,
                       u"Letting Logger32's messages into the main window");
}

void Win32Host::AllowTextFromLowerRank(Field field) {
    AllowFromLowerRank(main_->FieldWindow(field), WM_SETTEXT,
                       u"Letting Logger32's text into the field " + NameOf(field));
}

// ---- MixW ---------------------------------------------------------------------------------

std::unique_ptr<MixWAutomation> Win32Host::AttachMixW() {
    ComPtr<IDispatch> object = RunningMixWObject();
    if (!object) {
        return nullptr;
    }
    mixwObject_ = object;
    return std::make_unique<HeldTicksMixW>(MixWThrough(std::move(object)), gate_);
}

void Win32Host::CallMixWFromWorker(std::function<void(MixWAutomation&)> calls, int milliseconds) {
    if (mixwObject_) {
        pontara::CallMixWFromWorker(mixwObject_.Get(), std::move(calls),
                                    static_cast<DWORD>(std::max(milliseconds, 0)));
    }
}

}  // namespace pontara
