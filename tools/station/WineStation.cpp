#include "station/WineStation.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "logger32/Logger32Protocol.h"
#include "mixw/MixWAutomation.h"
#include "station/Paths.h"
#include "station/Pump.h"
#include "station/WindowQueries.h"
#include "ui/MainWindow_win.h"

namespace pontara::harness {

namespace {

using namespace std::chrono_literals;

// The advise links Pontara opens on its first forwarding tick, one per linked field.
constexpr std::size_t LinkedFieldCount = mixw::DdeItems.size();

// Logger32's transcript events, compacted; none for the stand-in's own doings (its posts, its
// writes into Sent, start and stop).
std::optional<std::string> CompactLogger32Event(const std::string& event) {
    unsigned name = 0;
    unsigned long code = 0;
    long lParam = 0;
    char how[16] = {};
    if (std::sscanf(event.c_str(), "received name=%u code=%lu lparam=%ld %15s", &name, &code,
                    &lParam, how) == 4) {
        std::string compact = "code " + std::to_string(code) + " " + std::to_string(lParam);
        return std::string(how) == "sent" ? compact + " sent" : compact;
    }
    if (event.starts_with("text \"")) {
        std::size_t at = 5;
        return "text " + standin::Unquoted(event, at, standin::WideUnits::Escaped);
    }
    return std::nullopt;
}

// MixW's calls that change it, compacted; every other event as it stands.
std::string CompactMixWEvent(const std::string& event) {
    constexpr std::string_view macro = "call ExecuteMacros(BSTR \"";
    constexpr std::string_view field = "call SetQsoData(I2 ";
    if (event.starts_with(macro) && event.ends_with(")")) {
        std::size_t end = macro.size() - 1;
        const std::string text = standin::Unquoted(event, end, standin::WideUnits::Escaped);
        if (end == event.size() - 1) {
            return "ExecuteMacros " + text;
        }
    }
    if (event.starts_with(field) && event.ends_with(")")) {
        const std::size_t comma = event.find(", BSTR|BYREF \"");
        if (comma != std::string::npos) {
            std::size_t end = comma + 13;
            const std::string text = standin::Unquoted(event, end, standin::WideUnits::Escaped);
            if (end == event.size() - 1) {
                return "SetQsoData " + event.substr(field.size(), comma - field.size()) + " " +
                       text;
            }
        }
    }
    return event;
}

bool IsCallThatChangesMixW(const std::string& compact) {
    return compact.starts_with("ExecuteMacros ") || compact.starts_with("SetQsoData ");
}

}  // namespace

WineStation::WineStation() : WineStation(Options{}) {}

WineStation::WineStation(Options options)
    : options_(std::move(options)), start_(std::chrono::steady_clock::now()) {
    if (options_.startLogger32) {
        StartLogger32();
    }
    if (options_.startMixW) {
        StartMixW();
    }
    pontara_.emplace(StartPontara());
    mainWindow_ = WaitForPontaraWindow(pontara_->Id(), 10s);
}

WineStation::~WineStation() {
    if (pontara_) {
        pontara_->Kill();
    }
}

void WineStation::StartLogger32() {
    standin::Logger32StandIn::Options options;
    if (!options_.artifactName.empty()) {
        options.transcriptPath = ArtifactPath(options_.artifactName + "-logger32.txt");
        DeleteFileA(options.transcriptPath.c_str());
    }
    logger32_ = std::make_unique<standin::Logger32StandIn>(options);
}

void WineStation::StartMixW() {
    std::filesystem::path file;
    if (!options_.artifactName.empty()) {
        const std::string path = ArtifactPath(options_.artifactName + "-mixw.txt");
        DeleteFileA(path.c_str());
        file = path;
    }
    auto transcript = std::make_shared<standin::Transcript>(file);
    mixw_ = std::make_unique<standin::StandInThread>(std::move(transcript));
}

HWND WineStation::FieldWindow(Field field) const {
    return GetDlgItem(mainWindow_, FirstFieldId + static_cast<int>(field));
}

HWND WineStation::ButtonWindow(Button button) const {
    return GetDlgItem(mainWindow_, FirstButtonId + static_cast<int>(button));
}

std::string WineStation::FieldText(Field field) const {
    return ControlText(FieldWindow(field)).value_or("<no answer>");
}

std::string WineStation::Caption(Button button) const {
    return ControlText(ButtonWindow(button)).value_or("<no answer>");
}

bool WineStation::WaitUntilRunning(std::chrono::milliseconds timeout) {
    if (mainWindow_ == nullptr || !logger32_ || !mixw_) {
        return false;
    }
    return PumpUntil(
        [&] {
            const std::vector<standin::ReceivedMessage> last =
                logger32_->MessagesWithCode(logger32::RigHandoverLast);
            if (last.empty() || last.back().lParam != 0) {
                return false;
            }
            const std::vector<std::string> events = mixw_->Log()->Events();
            return static_cast<std::size_t>(
                       std::count_if(events.begin(), events.end(), [](const std::string& event) {
                           return event.starts_with("dde-advstart ");
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
        if (auto compact = CompactLogger32Event(record.What())) {
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
        arrivals.push_back({ToStationTime(record.at), CompactMixWEvent(record.What())});
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
    mixw_->Run([&](standin::MixWStandIn& mixw) { mixw.SetItem(topic, item, value); });
}

void WineStation::MixWTunes(double fqA, double audioFq) {
    mixw_->Run([&](standin::MixWStandIn& mixw) { mixw.SetFrequency(fqA, audioFq); });
}

void WineStation::Click(Button button) const {
    PostMessageA(ButtonWindow(button), BM_CLICK, 0, 0);
}

void WineStation::Close() const {
    PostMessageA(mainWindow_, WM_CLOSE, 0, 0);
}

std::string Listed(const std::vector<Arrival>& arrivals) {
    std::string list;
    for (const Arrival& arrival : arrivals) {
        list += std::to_string(arrival.at) + " " + arrival.what + "\n";
    }
    return list;
}

void Measure(const std::string& name, std::int64_t value) {
    std::printf("MEASURE %s %lld\n", name.c_str(), static_cast<long long>(value));
    std::fflush(stdout);
}

}  // namespace pontara::harness
