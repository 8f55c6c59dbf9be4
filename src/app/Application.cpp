#include "app/Application.h"

namespace pontara {

struct Application::Parts {};

Application::Application(Host&) : parts_(std::make_unique<Parts>()) {}
Application::~Application() = default;

void Application::Load() {}
void Application::Unload() {}
void Application::TimerTick(TimerId) {}
void Application::FieldChanged(Field) {}
void Application::ButtonClicked(Button) {}
std::optional<std::int32_t> Application::WindowMessage(MessageId, std::uint32_t, std::int32_t) {
    return std::nullopt;
}

}  // namespace pontara
