// Feeds arbitrary texts through the change of Sent and the Timer3 tick that follows, under
// either owner of the rig, on the simulated station. Input bytes are UTF-16 units 0 to 253;
// 0xFE takes the next two bytes as one unit (surrogates and all), 0xFF hands the rig to Logger32.

#include <cstddef>
#include <cstdint>

#include "SimulatedStation.h"

namespace {

pontara::Text Decode(const std::uint8_t* data, std::size_t size, bool& logger32HasRig) {
    pontara::Text text;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF) {
            logger32HasRig = true;
        } else if (data[i] == 0xFE && i + 2 < size) {
            text.push_back(static_cast<char16_t>(data[i + 1] << 8 | data[i + 2]));
            i += 2;
        } else {
            text.push_back(data[i]);
        }
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    bool logger32HasRig = false;
    pontara::Text text = Decode(data, size, logger32HasRig);
    pontara::testing::SimulatedStation station;
    station.LaunchAndRun();
    if (logger32HasRig) {
        station.host.Click(pontara::Button::Command2);
    }
    station.host.RunFor(600);
    station.host.SetTextOfWindow(station.host.FieldWindow(pontara::Field::Sent), text);
    station.host.RunFor(600);
    return 0;
}
