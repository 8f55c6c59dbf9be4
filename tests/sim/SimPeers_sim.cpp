#include "sim/SimPeers_sim.h"

#include "bridge/ForwardedFields.h"
#include "logger32/Logger32Protocol.h"
#include "mixw/MixWAutomation.h"
#include "sim/SimHost_sim.h"

namespace pontara::sim {

std::vector<std::uint32_t> SimLogger32::Codes() const {
    std::vector<std::uint32_t> codes;
    for (const standin::LinkMessage& message : received) {
        codes.push_back(message.code);
    }
    return codes;
}

void SimLogger32::StartAgain() {
    constexpr WindowHandle NextWindows = 0x100;
    running = true;
    mainWindow += NextWindows;
    textWindow += NextWindows;
    sentWindow = 0;
    textWindowNamed = 0;
    acceptedName = 1;
}

void SimLogger32::Receive(SimHost& host, int nameNumber, std::uint32_t code, std::int32_t lParam,
                          bool sent) {
    received.push_back({host.Now(), nameNumber, code, lParam, sent});
    if (code == logger32::SentWindow && lParam != 0) {
        sentWindow = static_cast<WindowHandle>(lParam);
    }
    if (code != logger32::ConnectRequest || !answersConnect) {
        return;
    }
    bool accepted = !rejectedNames.contains(nameNumber);
    if (accepted) {
        acceptedName = nameNumber;
    }
    auto nameTextWindow = [&] {
        if (accepted && namesTextWindow) {
            host.PostFromLogger32(logger32::TextWindow, static_cast<std::int32_t>(textWindow),
                                  nameNumber);
        }
    };
    if (textWindowFirst) {
        textWindowsNamedFirst += accepted && namesTextWindow ? 1 : 0;
        nameTextWindow();
    }
    host.PostFromLogger32(logger32::ConnectAnswer, accepted ? 1 : 0, nameNumber);
    if (!textWindowFirst) {
        nameTextWindow();
    }
}

SimMixW::SimMixW() {
    for (const bridge::ForwardedField& row : bridge::ForwardedFields) {
        items[LowerAscii(row.link.Topic()) + u"|" + LowerAscii(row.link.item)] = std::nullopt;
    }
}

bool SimMixW::BusyAt(int time) const {
    for (const BusySpell& spell : busySpells) {
        if (time >= spell.from && time < spell.until) {
            return true;
        }
    }
    return false;
}

void SimMixW::SetItem(SimHost& host, TextView topic, TextView item, const Text& value) {
    std::u16string key = LowerAscii(topic) + u"|" + LowerAscii(item);
    items[key] = value;
    host.AdviseItem(key, value);
}

std::vector<Text> SimMixW::Macros() const {
    std::vector<Text> macros;
    for (const Call& call : calls) {
        if (call.member == mixw::Member::ExecuteMacros) {
            macros.push_back(call.argument);
        }
    }
    return macros;
}

}  // namespace pontara::sim
