#include "bridge/RigOwnership.h"

#include "bridge/StatusTexts.h"
#include "mixw/MixWMacros.h"
#include "ui/WindowModel.h"

namespace pontara::bridge {

namespace {
constexpr TextView PacketUsbCaption = u"PKT_USB";
constexpr TextView PacketLsbCaption = u"PKT_LSB";
}  // namespace

void RigOwnership::GiveRigToMixW() {
    members_.Logger32HasRig = false;
    host_.SetBackColour(Button::Command1, colours::OwnerButton);
    host_.SetEnabled(Button::Command1, false);
    host_.SetEnabled(Button::Command2, true);
    host_.SetBackColour(Button::Command2, colours::OtherButton);
    host_.SetBackColour(Button::Command3, colours::PacketLsb);
    link_.PostCodes(logger32::MixWTakesRig);
    host_.SetFieldText(Field::Text1, Text(status::MixWControlActive));
    forwarding_.Forget();
    if (!members_.MixWHasRig) {
        AskToCloseSoundcardWindows();
        StartForwarding(host_);
        // The box dispatched messages while it was open; look again before touching the ports.
        if (!members_.MixWHasRig) {
            ToggleMixWPorts();
        }
    }
    members_.MixWHasRig = true;
}

void RigOwnership::GiveRigToLogger32() {
    members_.Logger32HasRig = true;
    forwarding_.Forget();
    members_.MixWHasRig = false;
    ToggleMixWPorts();
    host_.SetBackColour(Button::Command2, colours::OwnerButton);
    host_.SetEnabled(Button::Command2, false);
    host_.SetEnabled(Button::Command1, true);
    host_.SetBackColour(Button::Command1, colours::OtherButton);
    link_.PostCodes(logger32::Logger32TakesRig);
    StopForwarding(host_);
    host_.SetFieldText(Field::Text1, Text(status::Logger32ControlActive));
}

void RigOwnership::TogglePacketSideband() {
    members_.PacketUsb = !members_.PacketUsb;
    host_.SetCaption(Button::Command3,
                     Text(members_.PacketUsb ? PacketUsbCaption : PacketLsbCaption));
    host_.SetBackColour(Button::Command3,
                        members_.PacketUsb ? colours::PacketUsb : colours::PacketLsb);
}

void RigOwnership::Logger32FrequencyChanged() {
    if (!members_.Logger32HasRig) {
        return;
    }
    Text tune =
        Text(macros::TuneOpen) + host_.FieldText(Field::Freq_logger32) + Text(macros::TuneClose);
    members_.MixW().ExecuteMacros(tune);
}

void RigOwnership::AskToCloseSoundcardWindows() {
    host_.ShowMessage(Text(status::CloseSoundcardWindows), Text(window_model::Caption));
}

void ToggleMixWPorts(MixWAutomation& mixw) {
    mixw.ExecuteMacros(Text(macros::ToggleCatPort));
    mixw.ExecuteMacros(Text(macros::TogglePttPort));
}

void RigOwnership::ToggleMixWPorts() {
    bridge::ToggleMixWPorts(members_.MixW());
}

}  // namespace pontara::bridge
