#include "LiveStation.h"

#include <algorithm>
#include <cstdio>

#include "Logger32StandIn.h"
#include "MixWStandIn.h"
#include "StandInThread.h"
#include "Transcript.h"
#include "mixw/MixWAutomation.h"
#include "platform/Text.h"
#include "station/Paths.h"
#include "station/Pump.h"
#include "station/Screenshot.h"
#include "station/WindowQueries.h"
#include "ui/WindowModel.h"

namespace pontara::station {

namespace {

constexpr milliseconds TextTimeout(2000);

}  // namespace

std::string Megabytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
    return text;
}

LiveStation::LiveStation(Options options) : options_(options), traffic_(options.traffic) {
    if (options_.logger32) {
        logger32_ = std::make_unique<standin::Logger32StandIn>();
        traffic_.FollowLogger32(*logger32_);
    }
    if (options_.mixw) {
        auto transcript = std::make_shared<standin::Transcript>();
        mixw_ = std::make_unique<standin::StandInThread>(transcript);
        traffic_.FollowMixW(transcript);
    }
    traffic_.Poll();
}

LiveStation::~LiveStation() {
    // Pontara first, so that it does not meet the stand-ins half gone.
    pontara_.reset();
    mixw_.reset();
    logger32_.reset();
}

standin::Logger32StandIn& LiveStation::Logger32() {
    return *logger32_;
}

void LiveStation::MixW(const std::function<void(standin::MixWStandIn&)>& script) {
    mixw_->Run(script);
}

void LiveStation::SetMixWItem(std::u16string_view item, const std::string& value) {
    std::u16string_view topic;
    for (const mixw::DdeItem& known : mixw::DdeItems) {
        if (known.name == item) {
            topic = mixw::TopicOf(known);
        }
    }
    traffic_.Script(Party::MixW, Party::Pontara,
                    "item " + std::string(topic.begin(), topic.end()) + "|" +
                        std::string(item.begin(), item.end()) + " := \"" + value +
                        "\" (DDE advise on Pontara's link)");
    MixW([&](standin::MixWStandIn& mixw) { mixw.SetItem(topic, item, AsciiText(value)); });
}

void LiveStation::SetMixWDial(double fqA, double audioFq) {
    char account[120];
    std::snprintf(account, sizeof account,
                  "(MixW's dial moves: FqA %.0f Hz, AudioFq %.0f Hz; Pontara reads it on its "
                  "next Timer2 tick)",
                  fqA, audioFq);
    traffic_.Script(Party::MixW, Party::Station, account);
    MixW([&](standin::MixWStandIn& mixw) { mixw.SetFrequency(fqA, audioFq); });
}

void LiveStation::SetMixWQsoData(std::int16_t index, const std::string& value) {
    traffic_.Script(Party::MixW, Party::Station,
                    "(MixW's QSO-data item " + std::to_string(index) + " := \"" + value +
                        "\"; Pontara reads it with GetQsoData)");
    MixW([&](standin::MixWStandIn& mixw) {
        mixw.SetQsoData(index, standin::QsoValue{AsciiText(value)});
    });
}

void LiveStation::LaunchPontara() {
    marker_ = MarkerArgument();
    pontara_.emplace(harness::ChildProcess::Start(harness::PontaraPath(), marker_));
    traffic_.SetZero(pontara_->StartedAt());
    meter_ = std::make_unique<ProcessMeter>(pontara_->Handle(), marker_);
    mainWindow_ = nullptr;
    traffic_.Note("Pontara.exe started, process " + std::to_string(pontara_->Id()));
}

bool LiveStation::PontaraRunning() const {
    return pontara_ && pontara_->Running();
}

HWND LiveStation::MainWindow(milliseconds timeout) {
    if (mainWindow_ == nullptr && pontara_) {
        WaitUntil(
            [&] {
                mainWindow_ = harness::FindTopLevelWindow(pontara_->Id(), PontaraCaption);
                return mainWindow_ != nullptr;
            },
            timeout);
        // The controls are placed after the window is created.
        WaitUntil([&] { return harness::FieldAt(mainWindow_, Field::Freq_logger32) != nullptr; },
                  milliseconds(5000));
    }
    return mainWindow_;
}

ProcessFigures LiveStation::PontaraFigures() {
    return meter_ ? meter_->Read() : ProcessFigures{};
}

bool LiveStation::WaitUntil(const std::function<bool()>& done, milliseconds timeout) {
    return harness::PumpUntil(
        [&] {
            traffic_.Poll();
            return done();
        },
        timeout);
}

void LiveStation::Pause(milliseconds duration) {
    WaitUntil([] { return false; }, duration);
}

const Event* LiveStation::WaitForEvent(std::size_t from,
                                       const std::function<bool(const Event&)>& match,
                                       milliseconds timeout) {
    const Event* found = nullptr;
    WaitUntil(
        [&] {
            found = traffic_.Find(from, match);
            return found != nullptr;
        },
        timeout);
    return found;
}

HWND LiveStation::FieldWindow(Field field) {
    HWND main = MainWindow();
    return main == nullptr ? nullptr : harness::FieldAt(main, field);
}

std::optional<std::string> LiveStation::FieldText(Field field) {
    HWND control = FieldWindow(field);
    if (control == nullptr) {
        return std::nullopt;
    }
    return harness::ControlText(control, TextTimeout);
}

std::optional<std::string> LiveStation::ButtonCaption(Button button) {
    HWND main = MainWindow();
    HWND control = main == nullptr ? nullptr : harness::ButtonAt(main, button);
    if (control == nullptr) {
        return std::nullopt;
    }
    return harness::ControlText(control, TextTimeout);
}

bool LiveStation::ButtonEnabled(Button button) {
    HWND main = MainWindow();
    HWND control = main == nullptr ? nullptr : harness::ButtonAt(main, button);
    return control != nullptr && IsWindowEnabled(control) != FALSE;
}

bool LiveStation::Click(Button button) {
    HWND main = MainWindow();
    HWND control = main == nullptr ? nullptr : harness::ButtonAt(main, button);
    const std::u16string_view name = window_model::Of(button).name;
    traffic_.Script(Party::Station, Party::Pontara,
                    "the operator clicks " + std::string(name.begin(), name.end()) +
                        " (BM_CLICK to the real button)");
    return control != nullptr && PostMessageA(control, BM_CLICK, 0, 0) != FALSE;
}

bool LiveStation::Close() {
    HWND main = MainWindow();
    traffic_.Script(Party::Station, Party::Pontara, "the operator closes the window (WM_CLOSE)");
    return main != nullptr && PostMessageA(main, WM_CLOSE, 0, 0) != FALSE;
}

std::vector<HWND> LiveStation::MessageBoxes() const {
    std::vector<HWND> boxes;
    if (!pontara_) {
        return boxes;
    }
    for (HWND window : harness::TopLevelWindowsOf(pontara_->Id())) {
        if (harness::ClassName(window) == "#32770" && IsWindowVisible(window)) {
            boxes.push_back(window);
        }
    }
    return boxes;
}

HWND LiveStation::WaitForMessageBox(milliseconds timeout) {
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

bool LiveStation::SaveShot(const std::string& path) {
    if (!pontara_) {
        return false;
    }
    RECT area{};
    bool any = false;
    for (HWND window : harness::TopLevelWindowsOf(pontara_->Id())) {
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
    return harness::SaveScreenArea(area, path);
}

}  // namespace pontara::station
