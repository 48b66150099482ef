#include "settings/Bindings.h"

#include "settings/uUtils.h"

namespace {

const QString ListSeparator = QStringLiteral(",");

} // namespace

QString GestureName(TGesture gesture)
{
    return QString::fromLatin1(GestureTable[size_t(gesture)].Name);
}

QString GestureCaption(TGesture gesture)
{
    return QString::fromUtf8(GestureTable[size_t(gesture)].Caption);
}

std::optional<TGesture> GestureFromName(QStringView name)
{
    for (int i = 0; i < GestureCount; ++i)
        if (name == QLatin1StringView(GestureTable[size_t(i)].Name))
            return TGesture(i);
    return std::nullopt;
}

QList<TKeyStroke> ParseKeyBinding(const QString& text)
{
    QStringList items;
    SplitList(text, ListSeparator, &items);
    QList<TKeyStroke> strokes;
    strokes.reserve(items.size());
    for (const QString& item : items)
        strokes.append(KeyTextToStroke(item));
    return strokes;
}

QStringList ParseGestureBinding(const QString& text)
{
    QStringList items;
    SplitList(text, ListSeparator, &items);
    return items;
}

// Whole items, not substrings: an identifier that is not one of the eight
// ("MS_WHEELDOWNX", say) must never match.
int FindGestureFunction(const std::array<TZvFunc, ZvFuncCount>& funcs, TGesture gesture)
{
    const QString name = GestureName(gesture);
    for (int i = 0; i < ZvFuncCount; ++i)
        if (ParseGestureBinding(funcs[size_t(i)].Mouse).contains(name, Qt::CaseSensitive))
            return i;
    return -1;
}

TKeyBindings::TKeyBindings(const std::array<TZvFunc, ZvFuncCount>& funcs)
{
    for (size_t i = 0; i < funcs.size(); ++i)
        Keys_[i] = ParseKeyBinding(funcs[i].Key);
}

QList<TKeyStroke> TKeyBindings::Keys(int func) const
{
    if (func < 0 || func >= ZvFuncCount)
        return {};
    return Keys_[size_t(func)];
}

int TKeyBindings::Find(const TKeyStroke& pressed) const
{
    if (pressed.IsEmpty())
        return -1;
    for (int func : CommandOrder)
        if (Keys_[size_t(func)].contains(pressed))
            return func;
    return -1;
}
