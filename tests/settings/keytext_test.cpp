#include <gtest/gtest.h>

#include "settings/KeyText.h"

#include <ostream>

void PrintTo(const TKeyStroke& stroke, std::ostream* os)
{
    *os << "{key 0x" << std::hex << stroke.Key << ", modifiers 0x" << stroke.Modifiers.toInt()
        << std::dec << "}";
}

namespace {

constexpr Qt::KeyboardModifiers None = Qt::NoModifier;
constexpr Qt::KeyboardModifiers Shift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers Alt = Qt::AltModifier;
constexpr Qt::KeyboardModifiers Pad = Qt::KeypadModifier;

struct TextCase {
    const char* text;
    int key; // 0: the text names no key
    Qt::KeyboardModifiers mods;
};

class KeyTextTable : public ::testing::TestWithParam<TextCase> { };

TEST_P(KeyTextTable, ReadsKeyAndModifiers)
{
    const TextCase& c = GetParam();
    const TKeyStroke stroke = KeyTextToStroke(QString::fromUtf8(c.text));
    EXPECT_EQ(stroke.Key, c.key) << c.text;
    EXPECT_EQ(stroke.Modifiers, c.key ? c.mods : None) << c.text;
    EXPECT_EQ(stroke.IsEmpty(), c.key == 0) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Texts, KeyTextTable,
    ::testing::Values(
        // The key-name table, names in any case.
        TextCase { "BkSp", Qt::Key_Backspace, None }, TextCase { "Tab", Qt::Key_Tab, None },
        TextCase { "Enter", Qt::Key_Return, None }, TextCase { "Esc", Qt::Key_Escape, None },
        TextCase { "Space", Qt::Key_Space, None }, TextCase { "PgUp", Qt::Key_PageUp, None },
        TextCase { "pgdn", Qt::Key_PageDown, None }, TextCase { "End", Qt::Key_End, None },
        TextCase { "HOME", Qt::Key_Home, None }, TextCase { "Left", Qt::Key_Left, None },
        TextCase { "Up", Qt::Key_Up, None }, TextCase { "Right", Qt::Key_Right, None },
        TextCase { "down", Qt::Key_Down, None }, TextCase { "Ins", Qt::Key_Insert, None },
        TextCase { "Del", Qt::Key_Delete, None }, TextCase { "0", Qt::Key_0, None },
        TextCase { "9", Qt::Key_9, None }, TextCase { "A", Qt::Key_A, None },
        TextCase { "z", Qt::Key_Z, None }, TextCase { "Num *", Qt::Key_Asterisk, Pad },
        TextCase { "Num +", Qt::Key_Plus, Pad }, TextCase { "num -", Qt::Key_Minus, Pad },
        TextCase { "Num /", Qt::Key_Slash, Pad }, TextCase { "F1", Qt::Key_F1, None },
        TextCase { "f12", Qt::Key_F12, None }, TextCase { "F24", Qt::Key_F24, None },
        // Modifier prefixes in any order and any case; "^" is Ctrl.
        TextCase { "Ctrl+A", Qt::Key_A, Ctrl }, TextCase { "ctrl+a", Qt::Key_A, Ctrl },
        TextCase { "CTRL+A", Qt::Key_A, Ctrl }, TextCase { "^A", Qt::Key_A, Ctrl },
        TextCase { "^del", Qt::Key_Delete, Ctrl },
        TextCase { "Shift+Ctrl+Alt+Del", Qt::Key_Delete, Shift | Ctrl | Alt },
        TextCase { "alt+SHIFT+^PgUp", Qt::Key_PageUp, Shift | Ctrl | Alt },
        TextCase { "Ctrl+Alt+Shift+F5", Qt::Key_F5, Shift | Ctrl | Alt },
        TextCase { "Shift+Num *", Qt::Key_Asterisk, Shift | Pad },
        // Keypad digits: "Num" in exact case, a final digit, the modifier
        // words anywhere and in exact case.
        TextCase { "Num 8", Qt::Key_8, Pad }, TextCase { "Ctrl+Num 5", Qt::Key_5, Ctrl | Pad },
        TextCase { "Num 0", Qt::Key_0, Pad },
        TextCase { "Alt+Shift+Num 9", Qt::Key_9, Shift | Alt | Pad },
        TextCase { "Num5", Qt::Key_5, Pad }, TextCase { "Num+8", Qt::Key_8, Pad },
        TextCase { "ctrl+Num 5", Qt::Key_5, Pad }, TextCase { "^Num 5", Qt::Key_5, Pad },
        TextCase { "Num 5Ctrl 7", Qt::Key_7, Ctrl | Pad },
        // Other texts: the names Qt gives keys, with our prefixes.
        TextCase { "Pause", Qt::Key_Pause, None }, TextCase { "print", Qt::Key_Print, None },
        TextCase { "Backspace", Qt::Key_Backspace, None },
        TextCase { "Return", Qt::Key_Return, None },
        TextCase { "ScrollLock", Qt::Key_ScrollLock, None }, TextCase { "F25", Qt::Key_F25, None },
        TextCase { "Shift+Pause", Qt::Key_Pause, Shift }, TextCase { "Num+.", Qt::Key_Period, Pad },
        TextCase { "Num+Enter", Qt::Key_Return, None }, TextCase { "Backtab", Qt::Key_Tab, Shift },
        TextCase { "*", Qt::Key_Asterisk, None }, TextCase { "+", Qt::Key_Plus, None },
        TextCase { "Ctrl++", Qt::Key_Plus, Ctrl },
        // Texts that name no key.
        TextCase { "", 0, None }, TextCase { "Ctrl+", 0, None }, TextCase { "^", 0, None },
        TextCase { "Foo", 0, None }, TextCase { "Ctrl+Foo", 0, None },
        TextCase { "num 8", 0, None }, TextCase { "Num", 0, None }, TextCase { "F0", 0, None },
        TextCase { "F01", 0, None }, TextCase { "A B", 0, None }, TextCase { " A", 0, None },
        TextCase { "Escape", 0, None }, TextCase { "Meta+A", 0, None },
        TextCase { "Shift", 0, None }, TextCase { "Ctrl+Shift", 0, None },
        TextCase { "Control", 0, None }));

struct WriteCase {
    int key;
    Qt::KeyboardModifiers mods;
    const char* text;
};

class StrokeTextTable : public ::testing::TestWithParam<WriteCase> { };

// The options page writes "Ctrl+", "Alt+", "Shift+" in that order, and what
// it writes reads back as the same stroke.
TEST_P(StrokeTextTable, WritesTextThatReadsBack)
{
    const WriteCase& c = GetParam();
    const TKeyStroke stroke { c.key, c.mods };
    const QString text = StrokeToKeyText(stroke);
    EXPECT_EQ(text, QString::fromUtf8(c.text));
    EXPECT_EQ(KeyTextToStroke(text), stroke) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Strokes, StrokeTextTable,
    ::testing::Values(WriteCase { Qt::Key_Delete, Shift | Ctrl | Alt, "Ctrl+Alt+Shift+Del" },
        WriteCase { Qt::Key_A, Shift | Alt, "Alt+Shift+A" },
        WriteCase { Qt::Key_Return, None, "Enter" },
        WriteCase { Qt::Key_Backspace, Ctrl, "Ctrl+BkSp" },
        WriteCase { Qt::Key_5, Ctrl | Pad, "Ctrl+Num 5" }, WriteCase { Qt::Key_8, Pad, "Num 8" },
        WriteCase { Qt::Key_8, None, "8" },
        WriteCase { Qt::Key_8, Shift | Ctrl | Alt | Pad, "Ctrl+Alt+Shift+Num 8" },
        WriteCase { Qt::Key_Asterisk, Pad, "Num *" }, WriteCase { Qt::Key_F24, Alt, "Alt+F24" },
        WriteCase { Qt::Key_Pause, Shift, "Shift+Pause" },
        WriteCase { Qt::Key_Period, Pad, "Num+." },
        WriteCase { Qt::Key_Period, Ctrl | Pad, "Ctrl+Num+." },
        WriteCase { Qt::Key_Asterisk, None, "*" }, WriteCase { Qt::Key_Plus, Ctrl, "Ctrl++" },
        WriteCase { 0, Ctrl, "" }));

struct PressCase {
    int key;
    Qt::KeyboardModifiers mods;
    int expectKey; // 0: no stroke
    Qt::KeyboardModifiers expectMods;
};

class KeyPressTable : public ::testing::TestWithParam<PressCase> { };

// Presses are read as the key texts name keys: the keypad digits are keys of
// their own, keypad Enter and keypad arrows are not.
TEST_P(KeyPressTable, PressReadsAsStroke)
{
    const PressCase& c = GetParam();
    const TKeyStroke stroke = StrokeOfKeyPress(c.key, c.mods);
    EXPECT_EQ(stroke.Key, c.expectKey);
    EXPECT_EQ(stroke.Modifiers, c.expectKey ? c.expectMods : None);
}

INSTANTIATE_TEST_SUITE_P(Presses, KeyPressTable,
    ::testing::Values(PressCase { Qt::Key_8, Pad, Qt::Key_8, Pad },
        PressCase { Qt::Key_8, None, Qt::Key_8, None },
        PressCase { Qt::Key_5, Ctrl | Pad, Qt::Key_5, Ctrl | Pad },
        PressCase { Qt::Key_Enter, Pad, Qt::Key_Return, None },
        PressCase { Qt::Key_Up, Pad, Qt::Key_Up, None },
        PressCase { Qt::Key_Delete, Pad, Qt::Key_Delete, None },
        PressCase { Qt::Key_Slash, Pad, Qt::Key_Slash, Pad },
        PressCase { Qt::Key_Backtab, Shift, Qt::Key_Tab, Shift },
        PressCase { Qt::Key_A, Ctrl | Qt::MetaModifier, Qt::Key_A, Ctrl },
        PressCase { Qt::Key_A, Qt::GroupSwitchModifier, Qt::Key_A, None },
        PressCase { Qt::Key_Shift, Shift, 0, None }, PressCase { Qt::Key_Control, Ctrl, 0, None },
        PressCase { Qt::Key_unknown, None, 0, None }, PressCase { 0, None, 0, None }));

// Each keypad digit text is the pressed keypad key and not the main digit.
TEST(KeypadDigits, EveryDigitIsTheKeypadKeyOnly)
{
    for (int d = 0; d <= 9; ++d) {
        const TKeyStroke bound = KeyTextToStroke(QStringLiteral("Num %1").arg(d));
        EXPECT_EQ(bound, StrokeOfKeyPress(Qt::Key_0 + d, Pad)) << d;
        EXPECT_FALSE(bound == StrokeOfKeyPress(Qt::Key_0 + d, None)) << d;
    }
}

// The number row by its place: Shift+8 is "Shift+8" whatever character the
// layout gives it; scan codes off the row name no digit.
TEST(NumberRow, ScanCodesGiveTheMainDigitWithTheHeldKeys)
{
    EXPECT_EQ(NumberRowStroke(17, Shift), (TKeyStroke { Qt::Key_8, Shift }));
    EXPECT_EQ(NumberRowStroke(10, Ctrl | Pad | Qt::MetaModifier), (TKeyStroke { Qt::Key_1, Ctrl }));
    EXPECT_EQ(NumberRowStroke(18, None), (TKeyStroke { Qt::Key_9, None }));
    EXPECT_EQ(NumberRowStroke(19, Shift), (TKeyStroke { Qt::Key_0, Shift }));
    EXPECT_EQ(NumberRowStroke(17, Shift), KeyTextToStroke(u"Shift+8"));
    for (quint32 code : { 0u, 9u, 20u, 80u, 0xFFFFFFFFu })
        EXPECT_TRUE(NumberRowStroke(code, Shift).IsEmpty()) << code;
}

} // namespace

namespace {

// Key texts come from a settings file anybody can edit: odd texts read as
// some stroke or none, never more.
TEST(KeyTextInput, OddTextsReadSafely)
{
    EXPECT_EQ(KeyTextToStroke(QString(QStringLiteral("Ctrl+")).repeated(100000) + QLatin1Char('A')),
        (TKeyStroke { Qt::Key_A, Qt::ControlModifier }));
    EXPECT_EQ(KeyTextToStroke(
                  QStringLiteral("Num") + QString(1 << 20, QLatin1Char('x')) + QLatin1Char('5')),
        (TKeyStroke { Qt::Key_5, Qt::KeypadModifier }));
    EXPECT_TRUE(KeyTextToStroke(QString(1 << 20, QLatin1Char('x'))).IsEmpty());
    EXPECT_TRUE(KeyTextToStroke(QString(QChar(0xD800))).IsEmpty());
    EXPECT_TRUE(KeyTextToStroke(QStringLiteral("Ctrl+") + QChar(0xDC00)).IsEmpty());
    EXPECT_TRUE(KeyTextToStroke(QString(3, QChar(0))).IsEmpty());
    EXPECT_TRUE(KeyTextToStroke(QStringLiteral("Ctrl+A, B")).IsEmpty());
    EXPECT_TRUE(KeyTextToStroke(QStringLiteral("Num+Num+Num+")).IsEmpty());
}

} // namespace
