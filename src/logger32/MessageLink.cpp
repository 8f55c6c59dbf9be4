#include "logger32/MessageLink.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>

#include "platform/Timers.h"

namespace pontara::logger32 {

namespace {

// The field whose window code 2 hands Logger32, and the only one Logger32 writes into.
constexpr Field WrittenByLogger32 = Field::Sent;

std::int32_t AsLParam(WindowHandle window) {
    return static_cast<std::int32_t>(window);
}

}  // namespace

void MessageLink::HookWindow() {
    state_.PreviousWindowProc = host_.HookMainWindow();
    AllowLogger32FromLowerRank();
}

// Every name, since a reject moves on to the next; nothing else Logger32 might send is let in.
void MessageLink::AllowLogger32FromLowerRank() {
    for (const char* name : MessageNames) {
        host_.AllowMessageFromLowerRank(host_.RegisterMessage(name));
    }
    host_.AllowTextFromLowerRank(WrittenByLogger32);
}

void MessageLink::UnhookWindow() {
    if (state_.PreviousWindowProc == 0) {
        return;
    }
    host_.UnhookMainWindow(state_.PreviousWindowProc);
    state_.PreviousWindowProc = 0;
}

void MessageLink::ConnectLogger32() {
    state_.Logger32Window = FindLogger32();
    if (state_.Logger32Window == 0) {
        LookForLogger32();
        return;
    }
    StopRetryTimer();
    RequestConnection(host_.RegisterMessage(MessageNames[0]));
}

WindowHandle MessageLink::FindLogger32() const {
    for (const TopLevelWindow& each : host_.TopLevelWindowsTitled(WindowTitle)) {
        if (std::find(NotMainWindowClasses.begin(), NotMainWindowClasses.end(), each.className) ==
            NotMainWindowClasses.end()) {
            return each.window;
        }
    }
    return 0;
}

void MessageLink::LookForLogger32() {
    StartTimer(host_, TimerId::Timer, ConnectRetryInterval);
}

bool MessageLink::Logger32Present() const {
    return state_.Logger32Window != 0 && host_.IsWindow(state_.Logger32Window);
}

void MessageLink::RetryTick() {
    if (host_.Interval(TimerId::Timer) == ConnectRetryInterval) {
        // Logger32Window is 0 or the window of a Logger32 that has closed: keep it until found.
        if (WindowHandle found = FindLogger32(); found != 0) {
            state_.Logger32Window = found;
            StopRetryTimer();
            RequestConnection(host_.RegisterMessage(MessageNames[0]));
        }
        return;
    }
    // A name was rejected: find the one in use and move on to the next.
    for (std::size_t k = 0; k + 1 < MessageNames.size(); ++k) {
        if (host_.RegisterMessage(MessageNames[k]) == state_.Logger32Message) {
            RequestConnection(host_.RegisterMessage(MessageNames[k + 1]));
            StopRetryTimer();
            return;
        }
    }
    if (host_.RegisterMessage(MessageNames.back()) == state_.Logger32Message) {
        StopRetryTimer();
        host_.ShowMessage(Text(AllNamesRejected), Text(TooBusy));
    }
}

std::optional<std::int32_t> MessageLink::BridgeWindowProc(MessageId message, std::uint32_t wParam,
                                                          std::int32_t lParam) {
    if (message != state_.Logger32Message) {
        return std::nullopt;
    }
    switch (wParam) {
        case ConnectAnswer:
            awaitingAnswer_ = false;
            if (lParam != 0) {
                PostCode(SentWindow, 0);
                PostCode(SentWindow, AsLParam(host_.FieldWindow(WrittenByLogger32)));
            } else {
                StartTimer(host_, TimerId::Timer, RejectRetryInterval);
            }
            break;
        case TextWindow:
            state_.Logger32TextWindow = static_cast<WindowHandle>(lParam);
            break;
        default:
            if (const CodeInfo* info = FindCode(wParam);
                info != nullptr && info->direction == Direction::FromLogger32 &&
                info->fills.field) {
                host_.SetFieldText(*info->fills.field, FieldValue(info->fills.written, lParam));
            }
            break;
    }
    return 0;
}

Text MessageLink::FieldValue(Written written, std::int32_t lParam) const {
    switch (written) {
        case Written::Kilohertz:
            return KilohertzText(lParam, host_.DecimalSeparator());
        case Written::Decimal:
            break;
    }
    return AsciiText(std::to_string(lParam));
}

void MessageLink::PostCode(std::uint32_t code, std::int32_t lParam) {
    host_.PostMessageTo(state_.Logger32Window, state_.Logger32Message, code, lParam);
}

void MessageLink::PostCodes(std::span<const CodeWithParameter> codes) {
    for (const CodeWithParameter& each : codes) {
        PostCode(each.code, each.lParam);
    }
}

void MessageLink::SendCode(std::uint32_t code, std::int32_t lParam) {
    host_.SendMessageTo(state_.Logger32Window, state_.Logger32Message, code, lParam);
}

void MessageLink::SendCodes(std::span<const CodeWithParameter> codes) {
    for (const CodeWithParameter& each : codes) {
        SendCode(each.code, each.lParam);
    }
}

bool MessageLink::SendTextCommand(const Text& command) {
    const bool taken = host_.SendText(state_.Logger32TextWindow, command);
    unanswering_ = unanswering_ || !taken;
    return taken;
}

void MessageLink::RequestConnection(MessageId message) {
    state_.Logger32Message = message;
    awaitingAnswer_ = true;
    unanswering_ = false;
    PostCode(ConnectRequest, AsLParam(state_.MainWindow));
}

void MessageLink::StopRetryTimer() {
    StopTimer(host_, TimerId::Timer);
}

Text KilohertzText(std::int32_t hertz, TextView decimalSeparator) {
    const long long magnitude = std::llabs(static_cast<long long>(hertz));
    const long long kilohertz = magnitude / 1000;
    const long long thousandths = magnitude % 1000;
    std::array<char, 24> digits{};
    char* end = digits.data();
    if (kilohertz != 0) {
        end = std::to_chars(end, digits.data() + digits.size(), kilohertz).ptr;
    }
    Text text = hertz < 0 ? u"-" : u"";
    text.append(digits.data(), end);
    text += decimalSeparator;
    for (long long unit = 100; unit > 0; unit /= 10) {
        text += static_cast<char16_t>(u'0' + thousandths / unit % 10);
    }
    return text;
}

}  // namespace pontara::logger32
