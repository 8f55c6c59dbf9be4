#pragma once
// Reading the texts Logger32 writes into the bridge's Sent field (token syntax in
// logger32/TextCommands.h).
//
// Spot click, when the operator clicks a DX spot:
//   <APP_DXSPOT_CLICKED:n>CALL|FREQUENCY|MODE
// recognised by its characters 2 to 19 reading "APP_DXSPOT_CLICKED". Its value is everything after
// the token's ">", whatever n says. CALL may be empty; FREQUENCY is in kilohertz
// as Logger32 writes it and is passed to MixW unchanged; MODE is everything after the second
// "|", cut at 10 characters (so a fourth field makes it match no mode).
//
// QSO fields, while Logger32 owns the radio: the tokens CALL, MODE, RST_SENT, RST_RCVD and
// NAME, and the markers <EOR> and <EOF>, anywhere in the text, e.g.
//   <EOR><CALL:5>Q1ABC<MODE:3>SSB<RST_SENT:2>59<RST_RCVD:2>57<NAME:4>Jaan<EOF>
//
// A QSO token whose ">" is missing or whose length is not a plain number gives nothing, never a
// shifted value; a length that runs past the end of the text takes the characters that are there.

#include <optional>

#include "logger32/TextCommands.h"
#include "platform/Text.h"

namespace pontara::logger32 {

// Characters 2 to 19 of a text (fewer when it is shorter): what marks a spot click.
TextView SpotClickMark(TextView text);

struct SpotClick {
    Text call;
    Text frequency;
    Text mode;
};

// The spot of a spot-click text; none when the text is not one, has no ">" after its tag, lacks
// the two "|" or names no frequency.
std::optional<SpotClick> ReadSpotClick(TextView text);

// The value of the first "<TAG:n>" token in the text; none when there is none or it is
// malformed. A tag's word inside another token's value ("MODESTO") is not its token.
std::optional<Text> ReadTokenValue(TextView text, TextView tag);

}  // namespace pontara::logger32
