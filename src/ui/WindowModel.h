#pragma once
// The main window as designed: caption, size, colours, every field, caption label, button and
// timer with its name, value at creation and layout. The Win32 host builds the real
// window from these tables and the simulated host its model; nothing else restates them.
// Layout is in twips (1440 to the inch); the host converts with the screen's real DPI.

#include <optional>
#include <span>
#include <string_view>

#include "platform/WindowControls.h"

namespace pontara {

struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

// The face of the captions, QSO fields, status line and rig buttons is "MS Sans Serif",
// 8.25 point, bold, character set 204 (Cyrillic); the status line is also italic. Default
// keeps the system's dialog font.
enum class Font { Default, Bold, BoldItalic };

struct FieldModel {
    Field field;
    std::u16string_view name;
    std::u16string_view textAtCreation;
    TwipRect rect;
    std::optional<Colour> back;  // none: the system's default for an edit field
    Font font;
};

struct LabelModel {
    std::u16string_view name;
    std::u16string_view caption;
    TwipRect rect;
    Font font;
};

struct ButtonModel {
    Button button;
    std::u16string_view name;
    std::u16string_view caption;
    TwipRect rect;
    bool enabled;
    std::optional<Colour> back;  // none: the default push-button look
    Font font;
};

struct TimerModel {
    TimerId timer;
    std::u16string_view name;
    int interval;
    bool enabled;
};

namespace window_model {
// The main window's caption, which every message box of the program carries too.
inline constexpr std::u16string_view Caption = u"Pontara";
// The status line's text until the bridge finds Logger32.
inline constexpr std::u16string_view StatusAtCreation = u"Waiting start Logger32 and MixW2";
inline constexpr Colour Back = colours::WindowBack;
inline constexpr int ClientWidthTwips = 3255;
inline constexpr std::u16string_view FontFace = u"MS Sans Serif";
inline constexpr double FontPoints = 8.25;
inline constexpr int FontCharset = 204;

// Timer1's interval at creation and when Timer4's tick starts it: the start-up sequencer runs
// this long after the main window is shown.
inline constexpr int SequencerDelay = 1000;
// Timer3's interval at creation, when the bridge starts and each time a change of Sent arms it.
inline constexpr int SpotInterval = 500;
// Timer6's interval: how often the calls that a busy MixW turned away are tried again.
inline constexpr int MixWRetryInterval = 1000;

// The visible part ends a little under the rig buttons; the exchange fields and "Send!" lie
// below it. It grows with the QSO column.
int ClientHeightTwips();

std::span<const FieldModel> Fields();
std::span<const LabelModel> Labels();
std::span<const ButtonModel> Buttons();
std::span<const TimerModel> Timers();

const FieldModel& Of(Field field);
const ButtonModel& Of(Button button);
const TimerModel& Of(TimerId timer);
}  // namespace window_model

}  // namespace pontara
