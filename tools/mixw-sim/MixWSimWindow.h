#pragma once
// The window of MixWSim.exe: the stand-in's items, dial and last calls, and controls to change
// an item or the dial by hand. Named here so that a test in another process can find the window
// and drive its controls with window messages.
//
// Command line: MixWSim.exe [--transcript <file>] [--fail <member>]...
//   --transcript  appends the transcript (Transcript.h) to the file as events happen
//   --fail        makes the automation member raise an exception (MixWStandIn::FailMember)

namespace pontara::standin::window {

inline constexpr wchar_t kClassName[] = L"PontaraMixWSimWindow";
inline constexpr wchar_t kCaption[] = L"MixW stand-in";

// The item box takes an item name ("Call", "khz": the topic follows from it) or a QSO-data
// index ("19"); "Set" stores the value box's text there. "Set frequency" takes FqA and AudioFq
// in hertz, with "." as the decimal separator.
inline constexpr int kItemBox = 101;
inline constexpr int kValueBox = 102;
inline constexpr int kSetButton = 103;
inline constexpr int kFqABox = 104;
inline constexpr int kAudioFqBox = 105;
inline constexpr int kSetFrequencyButton = 106;
inline constexpr int kStatusLine = 107;
inline constexpr int kStateView = 108;

}  // namespace pontara::standin::window
