#pragma once
// A stand-in for Logger32 as the bridge meets it: a real top-level window titled "Logger32"
// that speaks the registered-message link and takes text commands in a child text window.
// Responsibilities: answering connect requests as scripted, reporting a dial frequency or a
// cluster value, writing texts into the bridge's Sent field, and recording everything received
// in a transcript. Collaborations: logger32/Logger32Protocol.h (names and codes); end-to-end
// tests run it in-process, Logger32Sim.exe runs it alone with controls of its own.
//
// Its windows belong to the thread that creates it. That thread must keep dispatching messages
// (a test waits with its PumpUntil) for the stand-in to answer and record.
//
// Transcript (Transcript.h, shared with the MixW stand-in): one record per event, for people one
// line, "<milliseconds since start> <event> <details>", texts in double quotes with \", \\ and
// \xNN (bytes below 0x20 or above 0x7E) escaped:
//   0 start window=0x00010064 text-window=0x00010066
//   4012 received name=1 code=1 lparam=65636 posted
//   4012 post name=1 code=0 lparam=1 to=0x00010064
//   4013 received name=1 code=2 lparam=65650 posted
//   5100 text "<APP_FORCE_FREQ:8>14075.45" sent
//   6000 write-sent "<APP_DXSPOT_CLICKED:21>DL1ABC|14075.45|PSK31" to=0x00010072
//   6003 write-sent-done
//   6003 post name=1 code=100 lparam=14075450 to=0x00010064
//   7200 text "<APP_FORCE_FREQ:6>7036.5" sent
//   7200 write-sent "<CALL:5>Q1ABC<EOR>" to=0x00010072 nested
//   7201 write-sent-done
//   9000 hang ms=15000
//   24000 hang-end
// ("nested": written from inside the text window's WM_SETTEXT, while the bridge still waits in
// its own delivery.) Typed content: "received" and "post" carry a LinkMessage, "text" and
// "write-sent" a LinkText; the other events carry none. Messages() and Texts() read it.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Transcript.h"

namespace pontara::standin {

// The transcript's events that readers look for, each written in one place by the stand-in.
namespace logger32_events {
inline constexpr std::string_view Received = "received";     // LinkMessage: a code the bridge sent
inline constexpr std::string_view Posted = "post";           // LinkMessage: a code posted to it
inline constexpr std::string_view TextCommand = "text";      // LinkText: a text command received
inline constexpr std::string_view WriteSent = "write-sent";  // LinkText: a write into Sent
inline constexpr std::string_view WriteSentDone = "write-sent-done";  // the write was taken
inline constexpr std::string_view Hang = "hang";         // the thread stops taking messages
inline constexpr std::string_view HangEnd = "hang-end";  // and takes them again
}  // namespace logger32_events

// The window class of the text window, by which another program finds it from outside.
inline constexpr const char* TextClassName = "Logger32StandInText";

// Handles as they travel in lParam, converted as win32/WindowHandle_win.h converts them.
HWND WindowFromParameter(std::int32_t value);
std::int32_t ParameterFromWindow(HWND window);

// How the stand-in answers a connect request (code 1) under one message name.
enum class ConnectAnswer {
    Accept,  // code 0 with lParam 1, then code 3 with the text window
    Reject,  // code 0 with lParam 0
    Ignore,  // no answer
};

struct ReceivedText {
    std::int64_t milliseconds;
    std::string ansi;  // the bytes as they arrived with WM_SETTEXT
    bool sent;
};

class Logger32StandIn {
  public:
    struct Options {
        bool visible = false;
        std::string transcriptPath;  // appended to line by line; empty: kept in memory only
    };

    Logger32StandIn();
    explicit Logger32StandIn(Options options);
    ~Logger32StandIn();
    Logger32StandIn(const Logger32StandIn&) = delete;
    Logger32StandIn& operator=(const Logger32StandIn&) = delete;

    HWND Window() const { return window_; }
    HWND TextWindow() const { return textWindow_; }

    // Script. Every name accepts until told otherwise.
    void SetConnectAnswer(int nameIndex, ConnectAnswer answer);
    void SetConnectAnswerForAll(ConnectAnswer answer);
    // Posts to the bridge's main window (from the last connect request) under the name in use.
    // False when no bridge has asked to connect yet.
    bool ReportDialFrequency(std::int32_t hertz);
    bool ReportClusterValue(std::int32_t value);
    bool SendCode(std::uint32_t code, std::int32_t lParam);
    // WM_SETTEXT of `ansi` to the bridge's Sent field (the last non-zero code-2 lParam), sent
    // from a helper thread while this thread goes on dispatching: the bridge may be inside its
    // own SendMessage to us, or inside a DDE transaction that does not take sent messages.
    // False when no Sent field is known or the bridge did not take the text within `timeout`.
    bool WriteSent(std::string_view ansi,
                   std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));
    // The same write sent straight from this thread, as Logger32 writes Sent from inside its own
    // message handling; called from a TextHandler it nests inside the bridge's delivery, which
    // the bridge must answer while it waits. False when no Sent field is known or the bridge did
    // not take the text within `timeout`.
    bool WriteSentNow(std::string_view ansi,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

    // Logger32 hangs, as one busy with a serial port does: once its thread takes this request
    // (posted, so callable from any thread) it sleeps for `duration` and takes no message
    // meanwhile, neither posted nor sent, so that after 5 s Windows takes its windows for hung.
    void Hang(std::chrono::milliseconds duration);

    // Logger32's own handling of a text command: called on this thread inside the text window's
    // WM_SETTEXT, after the text is recorded and before the sender's call returns.
    using TextHandler = std::function<void(const std::string& ansi)>;
    void OnTextReceived(TextHandler handler) { textHandler_ = std::move(handler); }

    // What happened.
    HWND BridgeWindow() const;
    HWND SentWindow() const;
    int NameInUse() const;  // the name of the last connect request; 0 before the first
    // The codes the bridge posted or sent, each timed by its record.
    std::vector<LinkMessage> Messages() const;
    std::vector<LinkMessage> MessagesWithCode(std::uint32_t code) const;
    std::size_t CountCode(std::uint32_t code) const;
    std::vector<ReceivedText> Texts() const;
    // Stays with the stand-in until it goes.
    const Transcript& Log() const { return transcript_; }
    std::int64_t Milliseconds() const;  // since the stand-in started

    // Every new transcript record (on this thread), and the main window's messages that the
    // stand-in does not handle itself (Logger32Sim.exe's own controls' WM_COMMAND, say).
    using RecordObserver = std::function<void(const standin::Record& record)>;
    using MessageHandler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;
    void OnRecord(RecordObserver observer) { recordObserver_ = std::move(observer); }
    void OnOtherMessage(MessageHandler handler) { otherMessages_ = std::move(handler); }

  private:
    static LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK TextProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    int NameIndexOf(UINT message) const;
    void OnLinkMessage(int nameIndex, std::uint32_t code, std::int32_t lParam);
    void OnText(const char* text);
    bool Post(int nameIndex, std::uint32_t code, std::int32_t lParam);
    // Records an event with its details and what it carries.
    void Write(std::string_view event, std::string_view details = {}, Content content = {});

    Options options_;
    Transcript transcript_;
    std::chrono::steady_clock::time_point start_;  // the transcript's
    std::vector<UINT> messageIds_;
    std::vector<ConnectAnswer> answers_;
    HWND window_ = nullptr;
    HWND textWindow_ = nullptr;

    mutable std::mutex mutex_;
    HWND bridgeWindow_ = nullptr;
    HWND sentWindow_ = nullptr;
    int nameInUse_ = 0;

    RecordObserver recordObserver_;
    MessageHandler otherMessages_;
    TextHandler textHandler_;
};

}  // namespace pontara::standin
