#pragma once
// The main window's controls as the seam (platform/Host.h) names them: fields, buttons and
// timers, and colour values. The window's full contents (captions,
// layout, fonts, DDE links, values at creation) are in ui/WindowModel.h.

#include <cstdint>

namespace pontara {

// Single-line edit fields. Text1 is the status line; Sent, Cluster and Freq_logger32 are the
// exchange fields that Logger32 writes into; TextCommand mirrors MixW's "Command" item.
enum class Field {
    Text1,
    Mode,
    Freq,
    Time,
    Callsign,
    HisName,
    Qth,
    RSTr,
    RSTs,
    IOTA,
    Locator,
    QslManag,
    Notes,
    TextCommand,
    Sent,
    Cluster,
    Freq_logger32,
};
inline constexpr int FieldCount = static_cast<int>(Field::Freq_logger32) + 1;

enum class Button { Command1, Command2, Command3, CommandSend };
inline constexpr int ButtonCount = static_cast<int>(Button::CommandSend) + 1;

// Timer is the Logger32 connect and retry timer; the others are numbered as the design names them.
// Timer5 watches whether Logger32's window is still there, whoever owns the rig; Timer6 tries
// again the calls a busy MixW turned away.
enum class TimerId { Timer, Timer1, Timer2, Timer3, Timer4, Timer5, Timer6 };
inline constexpr int TimerCount = static_cast<int>(TimerId::Timer6) + 1;

// A colour as stored: 0x00BBGGRR (red in the low byte), or, with the top bit set, the index of
// a system colour (0x8000000F is the button face, 0x80000004 the colour of menus).
using Colour = std::uint32_t;

constexpr Colour Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return Colour{red} | Colour{green} << 8 | Colour{blue} << 16;
}
constexpr Colour SystemColour(int index) {
    return 0x80000000u | static_cast<Colour>(index);
}
constexpr bool IsSystemColour(Colour colour) {
    return (colour & 0x80000000u) != 0;
}

namespace colours {
inline constexpr Colour ButtonFace = SystemColour(15);
inline constexpr Colour Menu = SystemColour(4);
inline constexpr Colour WindowBack = Rgb(255, 192, 128);
inline constexpr Colour FieldBack = Rgb(255, 255, 128);
inline constexpr Colour ManagerBack = Rgb(255, 255, 0);
inline constexpr Colour Black = Rgb(0, 0, 0);
// Rig buttons and the packet-sideband button.
inline constexpr Colour OwnerButton = 0xC000C0;
inline constexpr Colour OtherButton = 0xFFFF80;
inline constexpr Colour PacketLsb = 0xFFC0C0;
inline constexpr Colour PacketUsb = 0xFFC0FF;
}  // namespace colours

}  // namespace pontara
