#include "Logger32StandIn.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <iterator>
#include <thread>

#include "logger32/Logger32Protocol.h"
#include "win32/WinUtil_win.h"
#include "win32/WindowHandle_win.h"

namespace pontara::standin {

namespace {

constexpr const char* MainClassName = "Logger32StandIn";
// Posted to the main window by Hang, the milliseconds in wParam.
constexpr UINT HangRequest = WM_APP;

std::string Hex(HWND window) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X",
                  static_cast<unsigned>(static_cast<std::uint32_t>(ParameterFromWindow(window))));
    return buffer;
}

// Dispatches this thread's messages, inbound sent messages included, until `done` holds.
template <typename Predicate>
bool PumpUntil(Predicate done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done()) {
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return false;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
        MsgWaitForMultipleObjectsEx(0, nullptr,
                                    static_cast<DWORD>(std::min<long long>(left.count(), 10)),
                                    QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

void RegisterClasses(HINSTANCE instance, WNDPROC mainProc, WNDPROC textProc) {
    static std::once_flag once;
    std::call_once(once, [&] {
        auto registerClass = [instance](const char* name, WNDPROC proc, int background) {
            WNDCLASSEXA windowClass{};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = proc;
            windowClass.hInstance = instance;
            windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
            windowClass.hbrBackground =
                reinterpret_cast<HBRUSH>(background + 1);  // a system colour
            windowClass.lpszClassName = name;
            RegisterClassExA(&windowClass);
        };
        registerClass(MainClassName, mainProc, COLOR_BTNFACE);
        registerClass(TextClassName, textProc, COLOR_WINDOW);
    });
}

}  // namespace

HWND WindowFromParameter(std::int32_t value) {
    return HwndOf(static_cast<WindowHandle>(value));
}

std::int32_t ParameterFromWindow(HWND window) {
    return static_cast<std::int32_t>(HandleOf(window));
}

Logger32StandIn::Logger32StandIn() : Logger32StandIn(Options{}) {}

Logger32StandIn::Logger32StandIn(Options options)
    : options_(std::move(options)),
      transcript_(options_.transcriptPath),
      start_(transcript_.Start()),
      answers_(logger32::MessageNames.size(), ConnectAnswer::Accept) {
    for (const char* name : logger32::MessageNames) {
        messageIds_.push_back(RegisterWindowMessageA(name));
    }

    HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterClasses(instance, &MainProc, &TextProc);
    CreateWindowExA(0, MainClassName, logger32::WindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                    CW_USEDEFAULT, 660, 560, nullptr, nullptr, instance, this);
    textWindow_ = CreateWindowExA(WS_EX_CLIENTEDGE, TextClassName, "", WS_CHILD | WS_VISIBLE, 8, 8,
                                  620, 56, window_, nullptr, instance, this);
    if (options_.visible) {
        ShowWindow(window_, SW_SHOWNORMAL);
        UpdateWindow(window_);
    }
    Write("start", "window=" + Hex(window_) + " text-window=" + Hex(textWindow_));
}

Logger32StandIn::~Logger32StandIn() {
    // The program's own controls may be gone already.
    recordObserver_ = nullptr;
    otherMessages_ = nullptr;
    textHandler_ = nullptr;
    Write("stop");
    if (window_ != nullptr && IsWindow(window_)) {
        DestroyWindow(window_);
    }
}

void Logger32StandIn::SetConnectAnswer(int nameIndex, ConnectAnswer answer) {
    std::lock_guard lock(mutex_);
    if (nameIndex >= 1 && nameIndex <= static_cast<int>(answers_.size())) {
        answers_[static_cast<std::size_t>(nameIndex - 1)] = answer;
    }
}

void Logger32StandIn::SetConnectAnswerForAll(ConnectAnswer answer) {
    std::lock_guard lock(mutex_);
    std::fill(answers_.begin(), answers_.end(), answer);
}

bool Logger32StandIn::ReportDialFrequency(std::int32_t hertz) {
    return SendCode(logger32::DialFrequency, hertz);
}

bool Logger32StandIn::ReportClusterValue(std::int32_t value) {
    return SendCode(logger32::ClusterValue, value);
}

bool Logger32StandIn::SendCode(std::uint32_t code, std::int32_t lParam) {
    const int name = NameInUse();
    return Post(name == 0 ? 1 : name, code, lParam);
}

bool Logger32StandIn::WriteSent(std::string_view ansi, std::chrono::milliseconds timeout) {
    const HWND sent = SentWindow();
    const std::string text(ansi);
    if (sent == nullptr) {
        Write("write-sent-failed", QuotedBytes(text) + " no-sent-window");
        return false;
    }
    Write(logger32_events::WriteSent, QuotedBytes(text) + " to=" + Hex(sent),
          LinkText{text, false, false});

    std::atomic<bool> done = false;
    BOOL delivered = FALSE;
    DWORD error = 0;
    std::thread sender([&] {
        DWORD_PTR result = 0;
        delivered = SendMessageTimeoutA(sent, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                        SMTO_NORMAL, static_cast<UINT>(timeout.count()), &result);
        if (!delivered) {
            error = GetLastError();
        }
        done = true;
    });
    // SendMessageTimeout ends by itself after `timeout`; the margin covers a busy machine.
    PumpUntil([&] { return done.load(); }, timeout + std::chrono::milliseconds(5000));
    sender.join();

    if (!delivered) {
        Write("write-sent-failed", "error=" + std::to_string(error));
        return false;
    }
    Write(logger32_events::WriteSentDone);
    return true;
}

bool Logger32StandIn::WriteSentNow(std::string_view ansi, std::chrono::milliseconds timeout) {
    const bool nested = InSendMessage() != FALSE;
    const HWND sent = SentWindow();
    const std::string text(ansi);
    if (sent == nullptr) {
        Write("write-sent-failed", QuotedBytes(text) + " no-sent-window");
        return false;
    }
    Write(logger32_events::WriteSent,
          QuotedBytes(text) + " to=" + Hex(sent) + (nested ? " nested" : ""),
          LinkText{text, false, nested});
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(sent, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_NORMAL, static_cast<UINT>(timeout.count()), &result)) {
        Write("write-sent-failed", "error=" + std::to_string(GetLastError()));
        return false;
    }
    Write(logger32_events::WriteSentDone);
    return true;
}

void Logger32StandIn::Hang(std::chrono::milliseconds duration) {
    PostMessageA(window_, HangRequest, static_cast<WPARAM>(duration.count()), 0);
}

HWND Logger32StandIn::BridgeWindow() const {
    std::lock_guard lock(mutex_);
    return bridgeWindow_;
}

HWND Logger32StandIn::SentWindow() const {
    std::lock_guard lock(mutex_);
    return sentWindow_;
}

int Logger32StandIn::NameInUse() const {
    std::lock_guard lock(mutex_);
    return nameInUse_;
}

std::vector<LinkMessage> Logger32StandIn::Messages() const {
    std::vector<LinkMessage> messages;
    for (const Record& record : transcript_.RecordsFrom(0)) {
        const auto* message = std::get_if<LinkMessage>(&record.content);
        if (message != nullptr && record.event == logger32_events::Received) {
            messages.push_back(*message);
        }
    }
    return messages;
}

std::vector<LinkMessage> Logger32StandIn::MessagesWithCode(std::uint32_t code) const {
    std::vector<LinkMessage> found = Messages();
    std::erase_if(found, [code](const LinkMessage& message) { return message.code != code; });
    return found;
}

std::size_t Logger32StandIn::CountCode(std::uint32_t code) const {
    return MessagesWithCode(code).size();
}

std::vector<ReceivedText> Logger32StandIn::Texts() const {
    std::vector<ReceivedText> texts;
    for (const Record& record : transcript_.RecordsFrom(0)) {
        const auto* text = std::get_if<LinkText>(&record.content);
        if (text != nullptr && record.event == logger32_events::TextCommand) {
            texts.push_back({record.milliseconds, text->ansi, text->sent});
        }
    }
    return texts;
}

std::int64_t Logger32StandIn::Milliseconds() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
}

int Logger32StandIn::NameIndexOf(UINT message) const {
    for (std::size_t index = 0; index < messageIds_.size(); ++index) {
        if (messageIds_[index] == message) {
            return static_cast<int>(index) + 1;
        }
    }
    return 0;
}

void Logger32StandIn::OnLinkMessage(int nameIndex, std::uint32_t code, std::int32_t lParam) {
    // Asked first: any send of our own below would change the answer.
    const bool sent = InSendMessage() != FALSE;
    ConnectAnswer answer = ConnectAnswer::Accept;
    {
        std::lock_guard lock(mutex_);
        if (code == logger32::ConnectRequest) {
            bridgeWindow_ = WindowFromParameter(lParam);
            nameInUse_ = nameIndex;
            answer = answers_[static_cast<std::size_t>(nameIndex - 1)];
        } else if (code == logger32::SentWindow && lParam != 0) {
            sentWindow_ = WindowFromParameter(lParam);
        }
    }
    Write(logger32_events::Received,
          "name=" + std::to_string(nameIndex) + " code=" + std::to_string(code) +
              " lparam=" + std::to_string(lParam) + (sent ? " sent" : " posted"),
          LinkMessage{.name = nameIndex, .code = code, .lParam = lParam, .sent = sent});

    if (code != logger32::ConnectRequest) {
        return;
    }
    switch (answer) {
        case ConnectAnswer::Accept:
            Post(nameIndex, logger32::ConnectAnswer, 1);
            Post(nameIndex, logger32::TextWindow, ParameterFromWindow(textWindow_));
            break;
        case ConnectAnswer::Reject:
            Post(nameIndex, logger32::ConnectAnswer, 0);
            break;
        case ConnectAnswer::Ignore:
            Write("ignored", "name=" + std::to_string(nameIndex));
            break;
    }
}

void Logger32StandIn::OnText(const char* text) {
    const bool sent = InSendMessage() != FALSE;
    std::string bytes = text != nullptr ? text : "";
    Write(logger32_events::TextCommand, QuotedBytes(bytes) + (sent ? " sent" : " direct"),
          LinkText{bytes, sent, false});
    if (textHandler_) {
        textHandler_(bytes);
    }
}

bool Logger32StandIn::Post(int nameIndex, std::uint32_t code, std::int32_t lParam) {
    const HWND bridge = BridgeWindow();
    const std::string what = "name=" + std::to_string(nameIndex) + " code=" + std::to_string(code) +
                             " lparam=" + std::to_string(lParam);
    if (bridge == nullptr) {
        Write("post-failed", what + " no-bridge-window");
        return false;
    }
    const UINT id = messageIds_[static_cast<std::size_t>(nameIndex - 1)];
    if (!PostMessageA(bridge, id, code, static_cast<LPARAM>(lParam))) {
        Write("post-failed",
              what + " to=" + Hex(bridge) + " error=" + std::to_string(GetLastError()));
        return false;
    }
    Write(logger32_events::Posted, what + " to=" + Hex(bridge),
          LinkMessage{.name = nameIndex, .code = code, .lParam = lParam});
    return true;
}

void Logger32StandIn::Write(std::string_view event, std::string_view details, Content content) {
    const standin::Record record = transcript_.Add(event, details, std::move(content));
    if (recordObserver_) {
        recordObserver_(record);
    }
}

LRESULT CALLBACK Logger32StandIn::MainProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    auto* self = WindowOwner<Logger32StandIn>(window, message, lParam);
    if (self == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (message == WM_NCCREATE) {
        self->window_ = window;
    }
    if (const int nameIndex = self->NameIndexOf(message); nameIndex != 0) {
        self->OnLinkMessage(nameIndex, static_cast<std::uint32_t>(wParam),
                            static_cast<std::int32_t>(lParam));
        return 0;
    }
    if (message == HangRequest) {
        self->Write(logger32_events::Hang, "ms=" + std::to_string(wParam));
        Sleep(static_cast<DWORD>(wParam));
        self->Write(logger32_events::HangEnd);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        self->window_ = nullptr;
        self->textWindow_ = nullptr;
    } else if (self->otherMessages_) {
        if (std::optional<LRESULT> result = self->otherMessages_(window, message, wParam, lParam)) {
            return *result;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK Logger32StandIn::TextProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    auto* self = WindowOwner<Logger32StandIn>(window, message, lParam);
    switch (message) {
        case WM_SETTEXT: {
            if (self != nullptr && self->textWindow_ == window) {
                self->OnText(reinterpret_cast<const char*>(lParam));
            }
            const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
            InvalidateRect(window, nullptr, TRUE);
            return result;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT area;
            GetClientRect(window, &area);
            InflateRect(&area, -4, -2);
            std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
            const int length = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
            HGDIOBJ previous = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
            SetBkMode(dc, TRANSPARENT);
            DrawTextA(dc, text.data(), length, &area, DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
            SelectObject(dc, previous);
            EndPaint(window, &paint);
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace pontara::standin
