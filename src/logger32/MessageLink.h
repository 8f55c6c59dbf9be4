#pragma once
// The registered-message link with Logger32 (codes in logger32/Logger32Protocol.h).
// Responsibilities: the link's module-level state, hooking the main window's procedure,
// the connect request and its retries through timer Timer, the handling of every code that
// arrives, and posting or sending a code.
// Collaborations: Host for windows, messages, fields and the Timer timer; the start-up sequence
// (app/Startup.h) connects and hooks; every handler that talks to Logger32 posts through here.

#include <cstdint>
#include <optional>
#include <span>

#include "logger32/Logger32Protocol.h"
#include "platform/Host.h"

namespace pontara::logger32 {

struct LinkState {
    WindowHandle MainWindow = 0;
    WindowHandle Logger32Window = 0;
    MessageId Logger32Message = 0;
    WindowHandle Logger32TextWindow = 0;
    std::uintptr_t PreviousWindowProc = 0;  // 0 while the main window is not hooked
};

// The box once Logger32 has rejected all five names, and its caption.
inline constexpr TextView AllNamesRejected =
    u"Unable to connect to Logger32.  I tried 5 different registered messages and all were "
    u"rejected";
inline constexpr TextView TooBusy = u"Too busy";

// Timer's interval while looking for Logger32's window, and after a rejected connect request.
inline constexpr std::int16_t ConnectRetryInterval = 5000;
inline constexpr std::int16_t RejectRetryInterval = 200;

class MessageLink {
  public:
    explicit MessageLink(Host& host) : host_(host) {}

    LinkState& State() { return state_; }
    const LinkState& State() const { return state_; }

    // Also lets in what Logger32 sends and writes, should it run at a lower rank.
    void HookWindow();
    // Puts the previous procedure back; harmless when the window was never hooked.
    void UnhookWindow();
    void ConnectLogger32();
    // The first top-level window titled "Logger32" that is neither one of Explorer's folder
    // windows nor a dialog box (NotMainWindowClasses); 0 when there is none.
    WindowHandle FindLogger32() const;
    // Arms timer Timer to look for a window titled "Logger32" again, as after a connect that
    // found none; Logger32Window keeps its value until one is found.
    void LookForLogger32();
    // The tick of timer Timer: looks for Logger32 again, or tries the next message name.
    void RetryTick();
    // A connect request is out and Logger32 has not answered it yet.
    bool AwaitingAnswer() const { return awaitingAnswer_; }
    // Logger32Window is set and is still a window.
    bool Logger32Present() const;
    // Empty result: not Logger32's message, for the previous window procedure.
    std::optional<std::int32_t> BridgeWindowProc(MessageId message, std::uint32_t wParam,
                                                 std::int32_t lParam);

    void PostCode(std::uint32_t code, std::int32_t lParam);
    void PostCodes(std::span<const CodeWithParameter> codes);
    void SendCode(std::uint32_t code, std::int32_t lParam);
    void SendCodes(std::span<const CodeWithParameter> codes);
    // Delivers a text command (logger32/TextCommands.h) to Logger32's text window; returns when
    // Logger32 has taken it. Nothing is sent back; a text for a window not yet named is lost.
    // False when Logger32 did not answer in time: it has stopped answering, and the link says so
    // until the next connect request.
    bool SendTextCommand(const Text& command);
    // A text command went unanswered since the last connect request.
    bool Logger32Unanswering() const { return unanswering_; }

  private:
    void AllowLogger32FromLowerRank();
    // A code's lParam as its field shows it.
    Text FieldValue(Written written, std::int32_t lParam) const;
    void RequestConnection(MessageId message);
    void StopRetryTimer();

    Host& host_;
    LinkState state_;
    bool awaitingAnswer_ = false;
    bool unanswering_ = false;
};

// Logger32's dial frequency in hertz as kilohertz with exactly three decimals and no digit
// before the separator below 1 kHz: 14075450 -> "14075.450", 500 -> ".500", -500 -> "-.500".
Text KilohertzText(std::int32_t hertz, TextView decimalSeparator);

}  // namespace pontara::logger32
