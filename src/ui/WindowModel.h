#pragma once
// The main window as designed: caption, size, colours, every field, caption label, button and
// timer with its name, value at creation, layout and DDE link. The Win32 host builds the real
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

// A field's DDE link as stored with it: "service|topic" and the item. Opening it makes an
// automatic (advise) link in text format.
struct DdeLink {
    std::u16string_view topic;  // "MixW|QSO", "MIXW|QSO" or "MixW|CAT"
    std::u16string_view item;

    std::u16string_view Service() const { return topic.substr(0, topic.find(u'|')); }
    std::u16string_view Topic() const { return topic.substr(topic.find(u'|') + 1); }
};

struct FieldModel {
    Field field;
    std::u16string_view name;
    std::u16string_view textAtCreation;
    TwipRect rect;
    std::optional<Colour> back;  // none: the system's default for an edit field
    Font font;
    std::optional<DdeLink> link;
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
