#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <optional>
#include <string_view>

#include "settings/KeyText.h"
#include "settings/TZvFunc.h"

// The eight mouse gestures of the image area, in the order of their table.
enum class TGesture {
    LeftClick,
    LeftDouble,
    RightClick,
    RightDouble,
    WheelDown,
    WheelUp,
    WheelClick,
    WheelDouble,
};

inline constexpr int GestureCount = 8;

// A gesture's identifier (as the MouseSettings section stores it, and the
// name of its localisable display text) and its built-in display text.
struct TGestureInfo {
    const char* Name;
    const char* Caption; // UTF-8
};

inline constexpr std::array<TGestureInfo, GestureCount> GestureTable { {
    { "MS_LEFTCLICK", "左クリック" },
    { "MS_LEFTDOUBLE", "左ダブルクリック" },
    { "MS_RIGHTCLICK", "右クリック" },
    { "MS_RIGHTDOUBLE", "右ダブルクリック" },
    { "MS_WHEELDOWN", "ホイール↓" },
    { "MS_WHEELUP", "ホイール↑" },
    { "MS_WHEELCLICK", "ホイールクリック" },
    { "MS_WHEELDOUBLE", "ホイールダブルクリック" },
} };

QString GestureName(TGesture gesture);
QString GestureCaption(TGesture gesture);
// The gesture of an identifier (exact case); none for any other text.
std::optional<TGesture> GestureFromName(QStringView name);

// The function numbers in the order of the main window's command list. When
// one key is bound to several functions, the first of them in this order
// runs. (Gestures go by function number instead: the two orders differ.)
inline constexpr std::array<std::string_view, ZvFuncCount> CommandOrderNames { {
    "Close",
    "ShowOption",
    "FullScreen",
    "SetWallPaper",
    "Delete",
    "ShowActSize",
    "ShowWinSize",
    "NextImage",
    "PrevImage",
    "ZoomIn",
    "ZoomOut",
    "StayOnTop",
    "ShowProperty",
    "RotateRight",
    "RotateLeft",
    "SWShowMode",
    "PauseSlideShow",
    "Execute1",
    "Execute2",
    "Execute3",
    "Execute4",
    "Execute5",
    "Execute6",
    "Execute7",
    "Execute8",
    "Execute9",
    "Execute10",
    "OverView",
    "MoveFile",
    "CopyFile",
    "DragLeft",
    "DragLeft2",
    "DragRight",
    "DragRight2",
    "DragTop",
    "DragTop2",
    "DragBottom",
    "DragBottom2",
    "ToggleMenu",
    "Refresh",
} };

// The number of the function of that name (exact case), or -1.
constexpr int FunctionNumber(std::string_view name)
{
    for (int i = 0; i < ZvFuncCount; ++i)
        if (name == ZvFuncTable[size_t(i)].Name)
            return i;
    return -1;
}

inline constexpr std::array<int, ZvFuncCount> CommandOrder = [] {
    std::array<int, ZvFuncCount> order {};
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = FunctionNumber(CommandOrderNames[i]);
    return order;
}();

// Every function once: the command order is a rearrangement of the table.
static_assert([] {
    std::array<bool, ZvFuncCount> seen {};
    for (int n : CommandOrder) {
        if (n < 0 || seen[size_t(n)])
            return false;
        seen[size_t(n)] = true;
    }
    return true;
}());

// A key-binding text as a list of strokes, one per item of the "," list in
// order (the first is the primary shortcut, the others the further ones). An
// item that names no key is kept as the empty stroke, which never matches.
QList<TKeyStroke> ParseKeyBinding(const QString& text);

// A mouse-binding text as its items, in order.
QStringList ParseGestureBinding(const QString& text);

// The function a gesture runs: the first, in table order, whose mouse
// binding lists the gesture's identifier as one of its items (exact case).
// -1 if none does. Read afresh at each gesture, so changes take effect at once.
int FindGestureFunction(const std::array<TZvFunc, ZvFuncCount>& funcs, TGesture gesture);

// The installed key bindings of the forty functions.
class TKeyBindings {
public:
    TKeyBindings() = default;
    explicit TKeyBindings(const std::array<TZvFunc, ZvFuncCount>& funcs);

    // The strokes of one function, primary first; empty for a bad number.
    QList<TKeyStroke> Keys(int func) const;

    // The function a key press runs: the first in command order that has the
    // stroke among its keys; -1 if none. The empty stroke matches nothing.
    int Find(const TKeyStroke& pressed) const;

private:
    std::array<QList<TKeyStroke>, ZvFuncCount> Keys_;
};
