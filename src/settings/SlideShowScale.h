#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// The interval scale of the slideshow dialog: the 20 positions of its track
// bar, the number field's range and the label that puts an interval in words.
namespace SlideShowScale {

inline constexpr int PositionCount = 20;

// Milliseconds at each track-bar position.
inline constexpr std::array<int32_t, PositionCount> Intervals { {
    1000,
    2000,
    3000,
    4000,
    5000,
    7000,
    10000,
    15000,
    20000,
    30000,
    45000,
    60000,
    120000,
    180000,
    300000,
    600000,
    900000,
    1800000,
    3600000,
    7200000,
} };

inline constexpr int32_t MinInterval = 1000;
inline constexpr int32_t MaxInterval = 18000000;

// The interval of a position; positions outside 0 ... 19 are taken as the
// nearest end.
int32_t PositionInterval(int position);

// The position nearest to an interval: the first position whose interval is
// at least v, or the one before it when v is strictly nearer to that; a tie
// goes to the higher position. Below the scale 0, above it 19.
int NearestPosition(int64_t v);

// The number field while the user types: empty reads as 1000 and anything
// above 18000000 as 18000000. A value below 1000 stays (it may be the start
// of a longer number); ConfirmedInterval settles it.
int32_t TypedFieldValue(std::optional<int64_t> typed);

// The interval a confirmed dialog stores and a show runs with: the field's
// range 1000 ... 18000000 enforced. A timer below a second would step images
// faster than they load; an interval read from a hand-edited settings file
// goes through here too.
int32_t ConfirmedInterval(int64_t v);

// The localisable texts of the label.
struct TIntervalTexts {
    QString CurrentSetting; // CURRENT_SETTING
    QString Second; // SECOND
    QString Minute; // MINUTE
    QString Hour; // HOUR
};

// The built-in Japanese texts.
const TIntervalTexts& BuiltinIntervalTexts();

// The interval in words, fractions dropped: seconds up to 59999 ms, hours
// from 3600000 ms, minutes between: "5秒", "2分", "5時間".
QString IntervalWords(int64_t ms, const TIntervalTexts& texts = BuiltinIntervalTexts());

// The label under the track bar: "現在の設定(5秒)".
QString IntervalLabel(int64_t ms, const TIntervalTexts& texts = BuiltinIntervalTexts());

} // namespace SlideShowScale
