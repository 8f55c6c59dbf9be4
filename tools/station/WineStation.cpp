#include "station/WineStation.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "MixWStandIn.h"
#include "bridge/ForwardedFields.h"
#include "logger32/Logger32Protocol.h"
#include "mixw/MixWAutomation.h"
#include "station/Paths.h"
#include "station/Pump.h"
#include "station/Screenshot.h"
#include "station/WindowQueries.h"
#include "ui/MainWindow_win.h"
#include "ui/WindowModel.h"

namespace pontara::harness {

namespace {

using namespace std::chrono_literals;

// The advise links Pontara opens on its first forwarding tick, one per linked field.
constexpr std::size_t LinkedFieldCount = bridge::ForwardedFields.size();

// Logger32's records, compacted; none for the stand-in's own doings (its posts, its writes into
// Sent, start and stop).
std::optional<std::string> CompactLogger32Record(const standin::Record& record) {
    if (record.event == standin::logger32_events::Received) {
        const auto& message = std::get<standin::LinkMessage>(record.content);
        const std::string compact =
            "code " + std::to_string(message.code) + " " + std::to_string(message.lParam);
        return message.sent ? compact + " sent" : compact;
    }
    if (record.event == standin::logger32_events::TextCommand) {
        return "text " + std::get<standin::LinkText>(record.content).ansi;
    }
    return std::nullopt;
}

// The text argument of a call that MixW took; none for any other argument or call.
std::optional<std::string> TextArgument(const standin::AutomationCall& call, std::size_t index) {
    if (call.refusedWith != 0 || call.raised || index >= call.arguments.size() ||
        !call.arguments[index].text || !call.arguments[index].value) {
        return std::nullopt;
    }
    return standin::EscapedOf(*call.arguments[index].value);
}

// MixW's calls that change it, compacted; every other record as the transcript has it.
std::string CompactMixWRecord(const standin::Record& record) {
    const auto* call = std::get_if<standin::AutomationCall>(&record.content);
    if (call != nullptr && call->member == station::RecordedName(mixw::Member::ExecuteMacros) &&
        call->arguments.size() == 1) {
        if (const std::optional<std::string> macro = TextArgument(*call, 0)) {
            return call->member + " " + *macro;
        }
    }
    if (call != nullptr && call->member == station::RecordedName(mixw::Member::SetQsoData) &&
        call->arguments.size() == 2 && call->arguments[0].value) {
        if (const std::optional<std::string> text = TextArgument(*call, 1)) {
            return call->member + " " + AsciiOf(*call->arguments[0].value) + " " + *text;
        }
    }
    return record.What();
}

bool IsCallThatChangesMixW(const std::string& compact) {
    return compact.starts_with(station::RecordedName(mixw::Member::ExecuteMacros) + " ") ||
           compact.starts_with(station::RecordedName(mixw::Member::SetQsoData) + " ");
}

}  // namespace

WineStation::WineStation() : WineStation(Options{}) {}

WineStation::WineStation(Options options)
    : options_(std::move(options)),
      start_(std::chrono::steady_clock::now()),
      traffic_(options_.traffic) {
    if (options_.startLogger32) {
        StartLogger32();
    }
    if (options_.startMixW) {
        StartMixW();
    }
    traffic_.Poll();
    if (options_.launchPontara) {
        LaunchPontara();
        MainWindow();
    }
}

WineStation::~WineStation() {
    // Pontara first, so that it does not meet the stand-ins half gone.
    if (pontara_) {
        pontara_->Kill();
    }
    for (std::thread& sender : senders_) {
        sender.join();
    }
    mixw_.reset();
    logger32_.reset();
}

void WineStation::StartLogger32() {
    standin::Logger32StandIn::Options options;
    if (!options_.artifactName.empty()) {
        options.transcriptPath = ArtifactPath(options_.artifactName + "-logger32.txt");
        DeleteFileA(options.transcriptPath.c_str());
    }
    logger32_ = std::make_unique<standin::Logger32StandIn>(options);
    traffic_.FollowLogger32(*logger32_);
}

void WineStation::StartMixW() {
    std::filesystem::path file;
    if (!options_.artifactName.empty()) {
        const std::string path = ArtifactPath(options_.artifactName + "-mixw.txt");
        DeleteFileA(path.c_str());
        file = path;
    }
    auto transcript = std::make_shared<standin::Transcript>(file);
    mixw_ = std::make_unique<standin::StandInThread>(transcript);
    traffic_.FollowMixW(std::move(transcript));
}

void WineStation::LaunchPontara() {
    const std::string marker = station::MarkerArgument();
    pontara_.emplace(ChildProcess::Start(PontaraPath(), marker));
    traffic_.SetZero(pontara_->StartedAt());
    meter_ = std::make_unique<station::ProcessMeter>(pontara_->Handle(), marker);
    mainWindow_ = nullptr;
    traffic_.Note("Pontara.exe started, process " + std::to_string(pontara_->Id()));
}

bool WineStation::PontaraRunning() const {
    return pontara_ && pontara_->Running();
}

HWND WineStation::MainWindow() {
    if (mainWindow_ == nullptr && pontara_) {
        WaitUntil(
            [&] {
                mainWindow_ = FindTopLevelWindow(pontara_->Id(), AsciiOf(window_model::Caption));
                return mainWindow_ != nullptr;
            },
            15s);
        // The controls are placed after the window is created.
        WaitUntil([&] { return FieldAt(mainWindow_, Field::Freq_logger32) != nullptr; }, 5s);
    }
    return mainWindow_;
}

station::ProcessFigures WineStation::PontaraFigures() {
    return meter_ ? meter_->Read() : station::ProcessFigures{};
}

bool WineStation::WaitUntil(const std::function<bool()>& done, milliseconds timeout) {
    return PumpUntil(
        [&] {
            traffic_.Poll();
            return done();
        },
        timeout);
}

void WineStation::Pause(milliseconds duration) {
    WaitUntil([] { return false; }, duration);
}

std::uint64_t WineStation::RunSeconds(std::chrono::steady_clock::time_point begin, int seconds,
                                      const std::string& namePrefix,
                                      const std::function<void(int second)>& afterSecond) {
    std::uint64_t largest = 0;
    for (int second = 1; second <= seconds; ++second) {
        if (!namePrefix.empty()) {
            char number[16];
            std::snprintf(number, sizeof number, "%05d", second);
            const Text name = AsciiText(namePrefix + number);
            mixw_->Run([&](standin::MixWStandIn& mixw) { mixw.SetItem(u"QSO", u"Name", name); });
        }
        WaitUntil(
            [&] {
                return std::chrono::steady_clock::now() >= begin + std::chrono::seconds(second);
            },
            2000ms);
        if (second % 10 == 0) {
            largest = std::max(largest, PontaraFigures().workingSet);
        }
        afterSecond(second);
    }
    return largest;
}

const station::Event* WineStation::WaitForEvent(std::size_t from, const station::Match& match,
                                                milliseconds timeout) {
    const station::Event* found = nullptr;
    WaitUntil(
        [&] {
            found = traffic_.Find(from, match);
            return found != nullptr;
        },
        timeout);
    return found;
}

bool WineStation::WaitUntilRunning(milliseconds timeout) {
    if (MainWindow() == nullptr || !logger32_ || !mixw_) {
        return false;
    }
    return WaitUntil(
        [&] {
            const std::vector<standin::LinkMessage> last =
                logger32_->MessagesWithCode(logger32::RigHandoverLast);
            if (last.empty() || last.back().lParam != 0) {
                return false;
            }
            const std::vector<standin::Record> records = mixw_->Log()->RecordsFrom(0);
            return static_cast<std::size_t>(std::count_if(
                       records.begin(), records.end(), [](const standin::Record& record) {
                           return record.event == standin::mixw_events::DdeAdviseStart;
                       })) >= LinkedFieldCount;
        },
        timeout);
}

StationTime WineStation::Now() const {
    return ToStationTime(std::chrono::steady_clock::now());
}

StationTime WineStation::ToStationTime(std::chrono::steady_clock::time_point time) const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(time - start_).count();
}

WineStation::Mark WineStation::MarkNow() const {
    Mark mark;
    if (logger32_) {
        mark.logger32 = logger32_->Log().Size();
    }
    if (mixw_) {
        mark.mixw = mixw_->Log()->Size();
    }
    return mark;
}

std::vector<Arrival> WineStation::AtLogger32Since(const Mark& mark) const {
    std::vector<Arrival> arrivals;
    if (!logger32_) {
        return arrivals;
    }
    for (const standin::Record& record : logger32_->Log().RecordsFrom(mark.logger32)) {
        if (auto compact = CompactLogger32Record(record)) {
            arrivals.push_back({ToStationTime(record.at), *compact});
        }
    }
    return arrivals;
}

std::vector<std::string> WineStation::Logger32CodesSince(const Mark& mark) const {
    std::vector<std::string> codes;
    for (const Arrival& arrival : AtLogger32Since(mark)) {
        if (arrival.what.starts_with("code ")) {
            codes.push_back(arrival.what);
        }
    }
    return codes;
}

std::vector<std::string> WineStation::Logger32TextsSince(const Mark& mark) const {
    std::vector<std::string> texts;
    for (const Arrival& arrival : AtLogger32Since(mark)) {
        if (arrival.what.starts_with("text ")) {
            texts.push_back(arrival.what.substr(5));
        }
    }
    return texts;
}

std::vector<Arrival> WineStation::AtMixWSince(const Mark& mark) const {
    std::vector<Arrival> arrivals;
    if (!mixw_) {
        return arrivals;
    }
    for (const standin::Record& record : mixw_->Log()->RecordsFrom(mark.mixw)) {
        arrivals.push_back({ToStationTime(record.at), CompactMixWRecord(record)});
    }
    return arrivals;
}

std::vector<Arrival> WineStation::MixWCallArrivalsSince(const Mark& mark) const {
    std::vector<Arrival> calls = AtMixWSince(mark);
    std::erase_if(calls,
                  [](const Arrival& arrival) { return !IsCallThatChangesMixW(arrival.what); });
    return calls;
}

std::vector<std::string> WineStation::MixWCallsSince(const Mark& mark) const {
    std::vector<std::string> calls;
    for (const Arrival& arrival : MixWCallArrivalsSince(mark)) {
        calls.push_back(arrival.what);
    }
    return calls;
}

void WineStation::MixWSets(TextView topic, TextView item, const Text& value) {
    traffic_.Script(station::Party::MixW, station::Party::Pontara,
                    "item " + standin::Utf8Of(topic) + "|" + standin::Utf8Of(item) + " := \"" +
                        standin::Utf8Of(value) + "\" (DDE advise on Pontara's link)");
    mixw_->Run([&](standin::MixWStandIn& mixw) { mixw.SetItem(topic, item, value); });
}

void WineStation::MixWTunes(double fqA, double audioFq) {
    char account[120];
    std::snprintf(account, sizeof account,
                  "(MixW's dial moves: FqA %.0f Hz, AudioFq %.0f Hz; Pontara reads it on its "
                  "next Timer2 tick)",
                  fqA, audioFq);
    traffic_.Script(station::Party::MixW, station::Party::Station, account);
    mixw_->Run([&](standin::MixWStandIn& mixw) { mixw.SetFrequency(fqA, audioFq); });
}

void WineStation::MixWSetsQsoData(std::int16_t index, const Text& value) {
    traffic_.Script(station::Party::MixW, station::Party::Station,
                    "(MixW's QSO-data item " + std::to_string(index) + " := \"" +
                        standin::Utf8Of(value) + "\"; Pontara reads it with GetQsoData)");
    mixw_->Run(
        [&](standin::MixWStandIn& mixw) { mixw.SetQsoData(index, standin::QsoValue{value}); });
}

HWND WineStation::FieldWindow(Field field) const {
    return GetDlgItem(mainWindow_, FirstFieldId + static_cast<int>(field));
}

HWND WineStation::ButtonWindow(Button button) const {
    return GetDlgItem(mainWindow_, FirstButtonId + static_cast<int>(button));
}

std::string WineStation::FieldText(Field field) {
    MainWindow();
    return ControlText(FieldWindow(field)).value_or("<no answer>");
}

std::string WineStation::Caption(Button button) {
    MainWindow();
    return ControlText(ButtonWindow(button)).value_or("<no answer>");
}

std::string WineStation::WaitForFieldText(Field field, const std::string& expected,
                                          milliseconds timeout) {
    return WaitForText([&] { return FieldText(field); }, expected, timeout);
}

std::string WineStation::WaitForCaption(Button button, const std::string& expected,
                                        milliseconds timeout) {
    return WaitForText([&] { return Caption(button); }, expected, timeout);
}

std::string WineStation::WaitForText(const std::function<std::string()>& read,
                                     const std::string& expected, milliseconds timeout) {
    std::string seen = "<no answer>";
    auto next = std::chrono::steady_clock::now();
    WaitUntil(
        [&] {
            if (std::chrono::steady_clock::now() < next) {
                return false;
            }
            next = std::chrono::steady_clock::now() + 250ms;
            seen = read();
            return seen == expected;
        },
        timeout);
    return seen;
}

bool WineStation::ButtonEnabled(Button button) {
    MainWindow();
    HWND control = ButtonWindow(button);
    return control != nullptr && IsWindowEnabled(control) != FALSE;
}

bool WineStation::Click(Button button) {
    traffic_.Script(station::Party::Station, station::Party::Pontara,
                    "the operator clicks " + standin::Utf8Of(window_model::Of(button).name) +
                        " (BM_CLICK to the real button)");
    MainWindow();
    HWND control = ButtonWindow(button);
    return control != nullptr && PostMessageA(control, BM_CLICK, 0, 0) != FALSE;
}

bool WineStation::Close() {
    traffic_.Script(station::Party::Station, station::Party::Pontara,
                    "the operator closes the window (WM_CLOSE)");
    HWND main = MainWindow();
    return main != nullptr && PostMessageA(main, WM_CLOSE, 0, 0) != FALSE;
}

void WineStation::SendClose() {
    traffic_.Script(station::Party::Station, station::Party::Pontara,
                    "another program closes the window (WM_CLOSE sent)");
    HWND main = MainWindow();
    senders_.emplace_back([main] {
        constexpr UINT Wait = 30000;
        SendMessageTimeoutW(main, WM_CLOSE, 0, 0, SMTO_NORMAL, Wait, nullptr);
    });
}

std::optional<bool> WineStation::EndSession(bool closesOnlyPontara) {
    traffic_.Script(station::Party::Station, station::Party::Pontara,
                    closesOnlyPontara ? "the Restart Manager closes Pontara (WM_QUERYENDSESSION, "
                                        "then WM_ENDSESSION, ENDSESSION_CLOSEAPP)"
                                      : "Windows ends the session (WM_QUERYENDSESSION, then "
                                        "WM_ENDSESSION)");
    HWND main = MainWindow();
    if (main == nullptr) {
        return std::nullopt;
    }
    const LPARAM reason = closesOnlyPontara ? ENDSESSION_CLOSEAPP : 0;
    enum Answer { Pending, Agreed, Refused, None };
    std::atomic<Answer> answer = Pending;
    // This thread serves the stand-ins, which Pontara talks to while it answers.
    std::thread windows([&, reason] {
        constexpr UINT Wait = 10000;
        DWORD_PTR agreed = FALSE;
        if (SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, reason, SMTO_NORMAL, Wait, &agreed) ==
            0) {
            answer = None;
            return;
        }
        if (agreed != FALSE) {
            // Pontara ends inside: this send reports no answer.
            SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, reason, SMTO_NORMAL, Wait, nullptr);
        }
        answer = agreed != FALSE ? Agreed : Refused;
    });
    WaitUntil([&] { return answer != Pending; }, std::chrono::seconds(25));
    windows.join();
    return answer == None ? std::nullopt : std::optional<bool>(answer == Agreed);
}

std::vector<HWND> WineStation::MessageBoxes() const {
    std::vector<HWND> boxes;
    if (!pontara_) {
        return boxes;
    }
    for (HWND window : TopLevelWindowsOf(pontara_->Id())) {
        if (ClassName(window) == "#32770" && IsWindowVisible(window)) {
            boxes.push_back(window);
        }
    }
    return boxes;
}

HWND WineStation::WaitForMessageBox(milliseconds timeout) {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            std::vector<HWND> boxes = MessageBoxes();
            box = boxes.empty() ? nullptr : boxes.front();
            return box != nullptr;
        },
        timeout);
    return box;
}

bool WineStation::SaveShot(const std::string& path) {
    if (!pontara_) {
        return false;
    }
    RECT area{};
    bool any = false;
    for (HWND window : TopLevelWindowsOf(pontara_->Id())) {
        if (!IsWindowVisible(window)) {
            continue;
        }
        RECT rect{};
        GetWindowRect(window, &rect);
        if (rect.right <= rect.left || rect.bottom <= rect.top) {
            continue;
        }
        if (!any) {
            area = rect;
            any = true;
        } else {
            UnionRect(&area, &area, &rect);
        }
    }
    if (!any) {
        return false;
    }
    InflateRect(&area, 12, 12);
    return SaveScreenArea(area, path);
}

std::string Listed(const std::vector<Arrival>& arrivals) {
    std::string list;
    for (const Arrival& arrival : arrivals) {
        list += std::to_string(arrival.at) + " " + arrival.what + "\n";
    }
    return list;
}

std::string Megabytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
    return text;
}

void Measure(const std::string& name, std::int64_t value) {
    std::printf("MEASURE %s %lld\n", name.c_str(), static_cast<long long>(value));
    std::fflush(stdout);
}

}  // namespace pontara::harness
