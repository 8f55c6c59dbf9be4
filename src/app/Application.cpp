#include "app/Application.h"

#include "app/ErrorRule.h"
#include "app/Startup.h"
#include "bridge/Logger32Watch.h"
#include "bridge/MainWindowMembers.h"
#include "bridge/MixWBusyWatch.h"
#include "bridge/QsoForwarding.h"
#include "bridge/QsoLogging.h"
#include "bridge/RigOwnership.h"
#include "bridge/SpotClick.h"
#include "logger32/MessageLink.h"

namespace pontara {

struct Application::Parts {
    explicit Parts(Host& host)
        : errors(host),
          link(host),
          forwarding(host, members, link),
          rig(host, members, link, forwarding),
          watch(host, members, link, forwarding),
          logging(host, members, link, forwarding, watch),
          spots(host, members, link),
          busy(host, watch),
          startup(host, members, link, rig, watch, busy) {}

    MainWindowMembers members;
    ErrorRule errors;
    logger32::MessageLink link;
    bridge::QsoForwarding forwarding;
    bridge::RigOwnership rig;
    bridge::Logger32Watch watch;
    bridge::QsoLogging logging;
    bridge::SpotClick spots;
    bridge::MixWBusyWatch busy;
    Startup startup;
};

Application::Application(Host& host) : parts_(std::make_unique<Parts>(host)) {}
Application::~Application() = default;

void Application::Load() {
    parts_->errors.Run([this] { parts_->startup.Load(); });
}

void Application::Unload() {
    parts_->errors.Run([this] { parts_->startup.Unload(); });
}

bool Application::QueryEndSession() {
    return parts_->startup.QueryEndSession();
}

void Application::EndSession(SessionEnd end) {
    parts_->errors.Run([this, end] { parts_->startup.EndSession(end); });
}

void Application::TimerTick(TimerId timer) {
    parts_->errors.Run([this, timer] {
        switch (timer) {
            case TimerId::Timer:
                parts_->link.RetryTick();
                break;
            case TimerId::Timer1:
                parts_->startup.Timer1Tick();
                break;
            case TimerId::Timer2:
                if (!parts_->watch.Logger32Away()) {
                    parts_->forwarding.Timer2Tick();
                }
                break;
            case TimerId::Timer3:
                parts_->spots.Timer3Tick();
                break;
            case TimerId::Timer4:
                parts_->startup.Timer4Tick();
                break;
            case TimerId::Timer5:
                parts_->watch.Timer5Tick();
                break;
            case TimerId::Timer6:
                parts_->busy.Timer6Tick();
                break;
        }
    });
}

void Application::FieldChanged(Field field) {
    parts_->errors.Run([this, field] {
        switch (field) {
            case Field::Sent:
                parts_->spots.SentChanged();
                break;
            case Field::TextCommand:
                parts_->logging.TextCommandChanged();
                break;
            case Field::Freq_logger32:
                parts_->rig.Logger32FrequencyChanged();
                break;
            default:
                break;  // Freq and the other fields have no handler
        }
    });
}

void Application::ButtonClicked(Button button) {
    parts_->errors.Run([this, button] {
        switch (button) {
            case Button::Command1:
                parts_->rig.GiveRigToMixW();
                parts_->watch.RigHandedOver();
                break;
            case Button::Command2:
                parts_->rig.GiveRigToLogger32();
                parts_->watch.RigHandedOver();
                break;
            case Button::Command3:
                parts_->rig.TogglePacketSideband();
                break;
            case Button::CommandSend:
                parts_->logging.LogQso();
                break;
        }
    });
}

std::optional<std::int32_t> Application::WindowMessage(MessageId message, std::uint32_t wParam,
                                                       std::int32_t lParam) {
    std::optional<std::int32_t> result;
    parts_->errors.Run([&] {
        result = parts_->link.BridgeWindowProc(message, wParam, lParam);
        if (result) {
            parts_->watch.CodeArrived(wParam, lParam);
        }
    });
    return result;
}

void Application::WorkPosted(const std::function<void()>& work) {
    parts_->errors.Run(work);
}

}  // namespace pontara
