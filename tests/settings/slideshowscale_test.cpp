#include <gtest/gtest.h>

#include "TestText.h"
#include "settings/SlideShowScale.h"

namespace {

using namespace SlideShowScale;
using TestText::U;

struct FieldCase {
    std::optional<int64_t> typed; // nullopt: the field was emptied
    int32_t field; // the field afterwards
    int position; // the track bar afterwards
    const char* label;
};

class TypedFieldTable : public ::testing::TestWithParam<FieldCase> { };

// What the dialog shows after a value is typed into the number field (or
// set there from the settings when the dialog fills).
TEST_P(TypedFieldTable, FieldTrackBarAndLabel)
{
    const FieldCase& c = GetParam();
    const int32_t field = TypedFieldValue(c.typed);
    EXPECT_EQ(field, c.field);
    EXPECT_EQ(NearestPosition(field), c.position) << field;
    EXPECT_EQ(IntervalLabel(field), U(c.label)) << field;
}

INSTANTIATE_TEST_SUITE_P(Values, TypedFieldTable,
    ::testing::Values(FieldCase { 5000, 5000, 4, "現在の設定(5秒)" },
        FieldCase { 1000, 1000, 0, "現在の設定(1秒)" },
        // 5000 and 7000 are equally far: the higher position wins.
        FieldCase { 6000, 6000, 5, "現在の設定(6秒)" },
        FieldCase { 12000, 12000, 6, "現在の設定(12秒)" },
        FieldCase { 12500, 12500, 7, "現在の設定(12秒)" },
        FieldCase { 5999, 5999, 4, "現在の設定(5秒)" },
        FieldCase { 6001, 6001, 5, "現在の設定(6秒)" },
        FieldCase { 20000000, 18000000, 19, "現在の設定(5時間)" },
        FieldCase { int64_t(1) << 40, 18000000, 19, "現在の設定(5時間)" },
        FieldCase { 7200001, 7200001, 19, "現在の設定(2時間)" },
        FieldCase { std::nullopt, 1000, 0, "現在の設定(1秒)" },
        // Part way through typing a longer number.
        FieldCase { 5, 5, 0, "現在の設定(0秒)" }, FieldCase { 0, 0, 0, "現在の設定(0秒)" },
        FieldCase { -3000, 0, 0, "現在の設定(0秒)" }));

struct TrackCase {
    int position;
    int32_t interval;
    const char* label;
};

class TrackBarTable : public ::testing::TestWithParam<TrackCase> { };

// Moving the track bar sets the field to the position's interval, which
// brings the track bar back to the same position.
TEST_P(TrackBarTable, PositionSetsFieldAndLabel)
{
    const TrackCase& c = GetParam();
    EXPECT_EQ(PositionInterval(c.position), c.interval);
    EXPECT_EQ(IntervalLabel(c.interval), U(c.label));
    EXPECT_EQ(NearestPosition(c.interval), c.position);
}

INSTANTIATE_TEST_SUITE_P(Positions, TrackBarTable,
    ::testing::Values(TrackCase { 0, 1000, "現在の設定(1秒)" },
        TrackCase { 4, 5000, "現在の設定(5秒)" }, TrackCase { 5, 7000, "現在の設定(7秒)" },
        TrackCase { 10, 45000, "現在の設定(45秒)" }, TrackCase { 11, 60000, "現在の設定(1分)" },
        TrackCase { 12, 120000, "現在の設定(2分)" }, TrackCase { 17, 1800000, "現在の設定(30分)" },
        TrackCase { 18, 3600000, "現在の設定(1時間)" },
        TrackCase { 19, 7200000, "現在の設定(2時間)" }));

TEST(IntervalScale, EveryPositionIsItsOwnNearest)
{
    for (int p = 0; p < PositionCount; ++p)
        EXPECT_EQ(NearestPosition(PositionInterval(p)), p);
    // Midpoints go up, one millisecond below goes down (every interval is a
    // whole number of seconds, so every midpoint is a whole millisecond).
    for (int p = 1; p < PositionCount; ++p) {
        const int64_t mid = (int64_t(Intervals[size_t(p - 1)]) + Intervals[size_t(p)]) / 2;
        EXPECT_EQ(NearestPosition(mid), p) << p;
        EXPECT_EQ(NearestPosition(mid - 1), p - 1) << p;
        EXPECT_EQ(NearestPosition(mid + 1), p) << p;
    }
    EXPECT_EQ(PositionInterval(-1), 1000);
    EXPECT_EQ(PositionInterval(20), 7200000);
}

struct WordsCase {
    int64_t ms;
    const char* label;
};

class LabelTable : public ::testing::TestWithParam<WordsCase> { };

// Seconds up to 59999 ms, minutes up to 3599999 ms, hours from there;
// fractions dropped.
TEST_P(LabelTable, IntervalInWords)
{
    EXPECT_EQ(IntervalLabel(GetParam().ms), U(GetParam().label)) << GetParam().ms;
}

INSTANTIATE_TEST_SUITE_P(Limits, LabelTable,
    ::testing::Values(WordsCase { 59999, "現在の設定(59秒)" },
        WordsCase { 60000, "現在の設定(1分)" }, WordsCase { 90000, "現在の設定(1分)" },
        WordsCase { 3599999, "現在の設定(59分)" }, WordsCase { 3600000, "現在の設定(1時間)" },
        WordsCase { 7200000, "現在の設定(2時間)" }, WordsCase { 18000000, "現在の設定(5時間)" },
        WordsCase { 999, "現在の設定(0秒)" }));

TEST(IntervalLabel, TranslatedTexts)
{
    const TIntervalTexts english { U("Current setting"), U(" s"), U(" min"), U(" h") };
    EXPECT_EQ(IntervalLabel(45000, english), U("Current setting(45 s)"));
    EXPECT_EQ(IntervalLabel(120000, english), U("Current setting(2 min)"));
    EXPECT_EQ(IntervalLabel(3600000, english), U("Current setting(1 h)"));
}

// A confirmed dialog and a hand-edited settings file both give an interval
// inside the field's range.
TEST(ConfirmedInterval, KeepsTheFieldRange)
{
    const std::array<std::pair<int64_t, int32_t>, 8> cases { {
        { 500, 1000 },
        { 0, 1000 },
        { -1, 1000 },
        { 1000, 1000 },
        { 5000, 5000 },
        { 18000000, 18000000 },
        { 18000001, 18000000 },
        { INT64_MAX, 18000000 },
    } };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(ConfirmedInterval(in), out) << in;
}

} // namespace
