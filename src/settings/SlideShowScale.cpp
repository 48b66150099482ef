#include "settings/SlideShowScale.h"

#include <algorithm>

namespace SlideShowScale {

int32_t PositionInterval(int position)
{
    return Intervals[size_t(std::clamp(position, 0, PositionCount - 1))];
}

int NearestPosition(int64_t v)
{
    int i = 0;
    while (i < PositionCount && Intervals[size_t(i)] < v)
        ++i;
    if (i == 0)
        return 0;
    if (i == PositionCount)
        return PositionCount - 1;
    const int64_t above = int64_t(Intervals[size_t(i)]) - v;
    const int64_t below = v - int64_t(Intervals[size_t(i - 1)]);
    return below < above ? i - 1 : i;
}

int32_t TypedFieldValue(std::optional<int64_t> typed)
{
    if (!typed)
        return MinInterval;
    if (*typed > MaxInterval)
        return MaxInterval;
    // Spin fields hold no negative numbers; a negative one is no interval.
    return int32_t(std::max<int64_t>(*typed, 0));
}

int32_t ConfirmedInterval(int64_t v)
{
    return int32_t(std::clamp<int64_t>(v, MinInterval, MaxInterval));
}

const TIntervalTexts& BuiltinIntervalTexts()
{
    static const TIntervalTexts texts {
        QStringLiteral("現在の設定"),
        QStringLiteral("秒"),
        QStringLiteral("分"),
        QStringLiteral("時間"),
    };
    return texts;
}

QString IntervalWords(int64_t ms, const TIntervalTexts& texts)
{
    if (ms <= 59999)
        return QString::number(ms / 1000) + texts.Second;
    if (ms >= 3600000)
        return QString::number(ms / 3600000) + texts.Hour;
    return QString::number(ms / 60000) + texts.Minute;
}

QString IntervalLabel(int64_t ms, const TIntervalTexts& texts)
{
    return texts.CurrentSetting + QStringLiteral("(") + IntervalWords(ms, texts)
        + QStringLiteral(")");
}

} // namespace SlideShowScale
