#pragma once
// The native tests' station: the bridge on the simulated host, in virtual time, with Logger32 and
// MixW running unless a test says otherwise (tools/station's WineStation is the same station with
// the real Pontara.exe under Wine).

#include <gmock/gmock.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "app/Application.h"
#include "sim/SimHost_sim.h"

namespace pontara::testing {

MATCHER_P(BeginsWith, prefix, "") {
    return arg.starts_with(prefix);
}

// Virtual times of the start-up when both programs run at launch.
inline constexpr int ConnectRequestTime = 4000;  // splash 3000 ms, then Timer1 1000 ms
inline constexpr int RunningTime = 5000;         // the 1000 ms pause, then MixW attached
inline constexpr int FirstForwardingTick = RunningTime + 800;

class SimulatedStation {
  public:
    SimulatedStation() = default;

    // Launches the bridge.
    void Launch() { host.Start(app); }
    // Launches and runs until the bridge is running with the rig at MixW and the handshake done.
    void LaunchAndRun() {
        Launch();
        host.RunFor(RunningTime);
    }
    // Runs up to and including the first Timer2 tick, which opens the links.
    void LaunchAndOpenLinks() {
        LaunchAndRun();
        host.RunFor(FirstForwardingTick - host.Now());
    }
    // Lets the bridge handle what is due, without reaching the next timer tick.
    void Settle() { host.RunFor(0); }

    // MixW changes a QSO item (topic "QSO"), and the link delivers it.
    void MixWSets(const char16_t* item, const Text& value) {
        host.mixw.SetItem(host, u"QSO", item, value);
        Settle();
    }
    // Each item in turn, as the operator types them.
    void MixWSets(std::initializer_list<std::pair<const char16_t*, const char16_t*>> items) {
        for (const auto& [item, value] : items) {
            MixWSets(item, value);
        }
    }

    // What the host traced while it ran `milliseconds` on.
    std::vector<std::string> TraceDuring(int milliseconds) {
        std::size_t mark = host.TraceMark();
        host.RunFor(milliseconds);
        return host.TraceSince(mark);
    }

    std::vector<Text> TextsSince(int time) const {
        std::vector<Text> texts;
        for (const auto& text : host.logger32.texts) {
            if (text.time >= time) {
                texts.push_back(text.text);
            }
        }
        return texts;
    }

    sim::SimHost host;
    Application app{host};
};

}  // namespace pontara::testing
