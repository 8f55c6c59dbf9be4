#pragma once
// The seam between the bridge and the machine it runs on.
// Responsibilities: the bridge's handlers speak only in fields, buttons, timers, codes and
// macros; the host turns window messages, timers, DDE transactions and COM calls into those
// terms and back. Only the host names Win32.
// Collaborations: implemented by the Win32 host (the real program) and by the simulated host
// (virtual clock, scripted Logger32 and MixW) that the native tests drive. The host calls the
// bridge through HostEvents, one event at a time, on the one user-interface thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Text.h"
#include "platform/WindowControls.h"

namespace pontara {

class MixWAutomation;  // mixw/MixWAutomation.h
namespace mixw {
struct DdeLink;  // mixw/MixWAutomation.h
}

// Handles and message ids travel as 32-bit values, as they do in Logger32's lParam.
using WindowHandle = std::uint32_t;
using MessageId = std::uint32_t;

// A top-level window of another program, as Logger32's window is looked for among them.
struct TopLevelWindow {
    WindowHandle window;
    std::string className;
};

// The longest a send to another program's window waits for its answer (SendMessageTimeout): as
// long as Windows waits before it takes a window that has taken no message for hung, so that a
// Logger32 that is only slow (logging, a serial port) is still waited for. A window that Windows
// already takes for hung is not waited for at all (SMTO_ABORTIFHUNG).
inline constexpr int SendAnswerBound = 5000;

// How a Windows session ends for this program.
enum class SessionEnd {
    All,          // log off, shut down, restart: every program ends, MixW too
    ThisProgram,  // ENDSESSION_CLOSEAPP: the Restart Manager closes this program alone
};

// What the host raises; implemented by the application (app/Application.h).
class HostEvents {
  public:
    virtual ~HostEvents() = default;

    virtual void Load() = 0;  // the main window was created, hidden
    // The operator asks to close the main window. The program ends inside, unless the handler
    // decides to keep running.
    virtual void Unload() = 0;
    // Windows asks whether the session (log off, shut down, restart) may end now: false asks it
    // to wait. Answered at once, whatever else runs.
    virtual bool QueryEndSession() = 0;
    // The session ends: Windows may end the process as soon as this returns. No box can be shown
    // here, and the program ends inside.
    virtual void EndSession(SessionEnd end) = 0;
    // Only while enabled with a non-zero interval. Never while a handler waits inside a DDE
    // link's opening or a MixW call: a tick due then is raised, once, after that handler.
    virtual void TimerTick(TimerId timer) = 0;
    virtual void FieldChanged(Field field) = 0;  // only when its text really changed
    virtual void ButtonClicked(Button button) = 0;
    // Every message of the main window while it is hooked. An empty result hands the message
    // on to the window's previous procedure.
    virtual std::optional<std::int32_t> WindowMessage(MessageId message, std::uint32_t wParam,
                                                      std::int32_t lParam) = 0;
    // Work the bridge posted to its own main window (Host::PostToMainWindow).
    virtual void WorkPosted(const std::function<void()>& work) = 0;
};

class Host {
  public:
    virtual ~Host() = default;

    // Fields. Setting a text raises FieldChanged, inside the call, only when the text differs
    // from the current one (Win32 edit controls also notify on an unchanged text).
    virtual Text FieldText(Field field) const = 0;
    virtual void SetFieldText(Field field, const Text& text) = 0;
    virtual WindowHandle FieldWindow(Field field) const = 0;
    // Links the field to MixW's item through an automatic DDE link: the item's current value
    // replaces the field's text at once, and every later change of the item replaces it again.
    // Throws PlatformError when the server does not answer for the service, topic or item.
    virtual void OpenLink(Field field, const mixw::DdeLink& link) = 0;

    // Buttons. The bridge only sets them.
    virtual void SetCaption(Button button, const Text& caption) = 0;
    virtual void SetBackColour(Button button, Colour colour) = 0;
    virtual void SetEnabled(Button button, bool enabled) = 0;

    // Timers. An interval of 0 never fires; setting an interval, or enabling, restarts the count.
    virtual int Interval(TimerId timer) const = 0;
    virtual void SetInterval(TimerId timer, int milliseconds) = 0;
    virtual bool Enabled(TimerId timer) const = 0;
    virtual void SetEnabled(TimerId timer, bool enabled) = 0;

    // Windows.
    virtual WindowHandle MainWindow() const = 0;
    virtual void ShowSplash() = 0;  // topmost and visible
    virtual void HideSplash() = 0;
    virtual void ShowMainWindow() = 0;
    virtual void MakeMainWindowTopmost() = 0;
    // Subclasses the main window so that its messages reach HostEvents::WindowMessage first;
    // returns the previous window procedure, which UnhookMainWindow puts back.
    virtual std::uintptr_t HookMainWindow() = 0;
    virtual void UnhookMainWindow(std::uintptr_t previousWindowProc) = 0;

    // A modal box with an OK button only. Messages go on being dispatched while it is open.
    virtual void ShowMessage(const Text& text, const Text& caption) = 0;
    // A modal box with Yes and No, No being the default; true for Yes. Messages go on being
    // dispatched while it is open.
    virtual bool AskYesNo(const Text& text, const Text& caption) = 0;
    // What Windows shows the operator when a session end waits for this program; none: nothing
    // to wait for.
    virtual void SetShutdownBlockReason(const std::optional<Text>& reason) = 0;
    // Blocks the thread: nothing of the bridge runs until it returns.
    virtual void Sleep(int milliseconds) = 0;
    // A wait of the start-up sequencer. The window goes on painting, but no event of the bridge
    // is raised before the current handler returns. Returns false, early, when the operator
    // asks to close the main window; the host raises Unload once that handler has returned.
    virtual bool WaitKeepingWindowAlive(int milliseconds) = 0;
    // Ends the program at once: no further event is raised.
    virtual void EndProgram() = 0;

    // The user's locale: a double as VarBstrFromR8 writes it (up to 15 significant digits, no
    // trailing zeros, the locale's decimal separator), and the decimal separator itself.
    virtual Text FormatDouble(double value) const = 0;
    virtual Text DecimalSeparator() const = 0;

    // Logger32's side: windows found by title, registered messages, posts and sends.
    // The top-level windows titled `title`, compared as FindWindowA compares it (the whole
    // title, without regard to case), in Z-order, topmost first.
    virtual std::vector<TopLevelWindow> TopLevelWindowsTitled(const char* title) const = 0;
    virtual MessageId RegisterMessage(const char* name) = 0;
    virtual void PostMessageTo(WindowHandle window, MessageId message, std::uint32_t wParam,
                               std::int32_t lParam) = 0;
    // Returns when the window has handled it, or after SendAnswerBound at the most.
    virtual void SendMessageTo(WindowHandle window, MessageId message, std::uint32_t wParam,
                               std::int32_t lParam) = 0;
    // WM_SETTEXT with the text in the system's ANSI code page (characters without an
    // equivalent become its default character); returns when the window has taken it, or false
    // when it has not answered within SendAnswerBound (a window that is not there counts as
    // taking it).
    virtual bool SendText(WindowHandle window, const Text& text) = 0;
    virtual bool IsWindow(WindowHandle window) const = 0;
    // Whether the current event runs inside a message that another thread or process sent
    // (SendMessage, WM_SETTEXT): Windows refuses an outgoing COM call there.
    virtual bool InsideSentMessage() const = 0;
    // Raises WorkPosted with `work` once the events before it have been handled, as a message
    // posted to the main window is: in the order posted, under the rules of any other event.
    virtual void PostToMainWindow(std::function<void()> work) = 0;
    // Windows keeps programs of different rank apart: what a program started normally posts,
    // sends or writes into the windows of one started as administrator is dropped, unless the
    // receiving window lets it in. These let in, from a program of any lower rank, a message to
    // the main window, and a text set into a field (WM_SETTEXT). Throws PlatformError when
    // Windows refuses for another reason than this program's own low rank, which needs nothing
    // let in.
    virtual void AllowMessageFromLowerRank(MessageId message) = 0;
    virtual void AllowTextFromLowerRank(Field field) = 0;

    // MixW's side: the running instance's automation object, or none when MixW is not running
    // or has not registered it yet. Never starts MixW.
    virtual std::unique_ptr<MixWAutomation> AttachMixW() = 0;
    // Makes `calls` on the object AttachMixW last gave, from a thread of their own that handles
    // no message of another program, and waits for them at most `milliseconds`; what is not
    // done by then is left to that thread. Failures are not reported.
    virtual void CallMixWFromWorker(std::function<void(MixWAutomation&)> calls,
                                    int milliseconds) = 0;
};

}  // namespace pontara
