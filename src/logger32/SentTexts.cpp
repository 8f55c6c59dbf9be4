#include "logger32/SentTexts.h"

#include <algorithm>

namespace pontara::logger32 {

namespace {

// The value of the token whose ":" stands at `colon`: the digits up to the next ">", read as
// a count, then that many characters, or as many as the text still holds.
std::optional<Text> ValueAfterColon(TextView text, std::size_t colon) {
    std::size_t close = text.find(u'>', colon + 1);
    if (close == TextView::npos || close == colon + 1) {
        return std::nullopt;
    }
    std::size_t length = 0;
    for (std::size_t i = colon + 1; i < close; ++i) {
        char16_t digit = text[i];
        if (digit < u'0' || digit > u'9') {
            return std::nullopt;
        }
        length = std::min(length * 10 + static_cast<std::size_t>(digit - u'0'), text.size());
    }
    return Text(text.substr(close + 1, length));
}

Text Opening(TextView tag) {
    Text opening(1, u'<');
    opening += tag;
    opening += u':';
    return opening;
}

}  // namespace

TextView SpotClickMark(TextView text) {
    return text.size() <= 1 ? TextView{} : text.substr(1, 18);
}

std::optional<SpotClick> ReadSpotClick(TextView text) {
    if (!text.starts_with(Opening(tags::AppDxSpotClicked))) {
        return std::nullopt;
    }
    // Logger32's count is not relied on: the value is everything after the token's ">".
    std::size_t close = text.find(u'>', tags::AppDxSpotClicked.size() + 2);
    if (close == TextView::npos) {
        return std::nullopt;
    }
    TextView value = text.substr(close + 1);
    std::size_t first = value.find(u'|');
    std::size_t second = first == TextView::npos ? TextView::npos : value.find(u'|', first + 1);
    if (second == TextView::npos) {
        return std::nullopt;
    }
    SpotClick spot{Text(value.substr(0, first)), Text(value.substr(first + 1, second - first - 1)),
                   Text(value.substr(second + 1, 10))};
    if (spot.frequency.empty()) {
        return std::nullopt;
    }
    return spot;
}

std::optional<Text> ReadTokenValue(TextView text, TextView tag) {
    Text opening = Opening(tag);
    std::size_t at = text.find(opening);
    if (at == TextView::npos) {
        return std::nullopt;
    }
    return ValueAfterColon(text, at + opening.size() - 1);
}

}  // namespace pontara::logger32
