#pragma once
// The bridge as one program: receives every event the host raises and hands it to the handler
// that owns it, under the program-wide error rule.
// Responsibilities: routing host events to the start-up, Logger32-link and bridge handlers.
// Collaborations: Host (platform/Host.h) raises the events; app/ErrorRule.h reports failures.

#include <memory>

#include "platform/Host.h"

namespace pontara {

class Application : public HostEvents {
  public:
    explicit Application(Host& host);
    ~Application() override;

    void Load() override;
    void Unload() override;
    bool QueryEndSession() override;
    void EndSession(SessionEnd end) override;
    void TimerTick(TimerId timer) override;
    void FieldChanged(Field field) override;
    void ButtonClicked(Button button) override;
    std::optional<std::int32_t> WindowMessage(MessageId message, std::uint32_t wParam,
                                              std::int32_t lParam) override;
    void WorkPosted(const std::function<void()>& work) override;

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace pontara
