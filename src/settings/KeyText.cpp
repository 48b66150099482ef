#include "settings/KeyText.h"

#include <QKeySequence>
#include <array>

namespace {

constexpr Qt::KeyboardModifiers HeldKeys
    = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

struct KeyName {
    const char* Name;
    int Key;
    bool Keypad;
};

// The names of the key texts. Digits, letters and F1 ... F24 are handled by
// rule below; the keypad digits by their own rule.
constexpr std::array<KeyName, 19> KeyNames { {
    { "BkSp", Qt::Key_Backspace, false },
    { "Tab", Qt::Key_Tab, false },
    { "Enter", Qt::Key_Return, false },
    { "Esc", Qt::Key_Escape, false },
    { "Space", Qt::Key_Space, false },
    { "PgUp", Qt::Key_PageUp, false },
    { "PgDn", Qt::Key_PageDown, false },
    { "End", Qt::Key_End, false },
    { "Home", Qt::Key_Home, false },
    { "Left", Qt::Key_Left, false },
    { "Up", Qt::Key_Up, false },
    { "Right", Qt::Key_Right, false },
    { "Down", Qt::Key_Down, false },
    { "Ins", Qt::Key_Insert, false },
    { "Del", Qt::Key_Delete, false },
    { "Num *", Qt::Key_Asterisk, true },
    { "Num +", Qt::Key_Plus, true },
    { "Num -", Qt::Key_Minus, true },
    { "Num /", Qt::Key_Slash, true },
} };

constexpr int FunctionKeyCount = 24;

bool IsModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
        return true;
    default:
        return false;
    }
}

// A keypad key that is a key of its own, not its main-keyboard twin: the
// digits, the four operators and the decimal separator. The keypad Enter and
// the keypad arrows (Num Lock off) are the same keys as the main ones.
bool IsDistinctKeypadKey(int key)
{
    return (key >= Qt::Key_0 && key <= Qt::Key_9) || key == Qt::Key_Asterisk || key == Qt::Key_Plus
        || key == Qt::Key_Minus || key == Qt::Key_Slash || key == Qt::Key_Period
        || key == Qt::Key_Comma;
}

bool EqualsNoCase(QStringView a, const char* latin1)
{
    return a.compare(QLatin1StringView(latin1), Qt::CaseInsensitive) == 0;
}

// Strips one leading modifier prefix, if any, and adds its modifier.
bool TakePrefix(QStringView& rest, Qt::KeyboardModifiers& mods)
{
    static constexpr std::array<std::pair<const char*, Qt::KeyboardModifier>, 4> prefixes { {
        { "Shift+", Qt::ShiftModifier },
        { "Ctrl+", Qt::ControlModifier },
        { "^", Qt::ControlModifier },
        { "Alt+", Qt::AltModifier },
    } };
    for (const auto& [prefix, mod] : prefixes) {
        const QLatin1StringView p(prefix);
        if (rest.startsWith(p, Qt::CaseInsensitive)) {
            rest = rest.mid(p.size());
            mods |= mod;
            return true;
        }
    }
    return false;
}

// The keypad-digit rule: "Num" anywhere (exact case) and a final digit; the
// modifiers are the words found anywhere in the text, exact case.
bool ReadKeypadDigit(QStringView text, TKeyStroke& out)
{
    if (text.isEmpty() || !text.contains(QLatin1StringView("Num")))
        return false;
    const QChar last = text.back();
    if (last < QLatin1Char('0') || last > QLatin1Char('9'))
        return false;
    out.Key = Qt::Key_0 + (last.unicode() - '0');
    out.Modifiers = Qt::KeypadModifier;
    if (text.contains(QLatin1StringView("Shift")))
        out.Modifiers |= Qt::ShiftModifier;
    if (text.contains(QLatin1StringView("Ctrl")))
        out.Modifiers |= Qt::ControlModifier;
    if (text.contains(QLatin1StringView("Alt")))
        out.Modifiers |= Qt::AltModifier;
    return true;
}

// A key name of the table, a main-keyboard digit, a letter or F1 ... F24.
// Returns the key and whether it is a keypad key; key 0 when it is none.
std::pair<int, bool> ReadTableName(QStringView name)
{
    for (const KeyName& k : KeyNames)
        if (EqualsNoCase(name, k.Name))
            return { k.Key, k.Keypad };
    if (name.size() == 1) {
        const char16_t c = name.front().toUpper().unicode();
        if (c >= u'0' && c <= u'9')
            return { Qt::Key_0 + (c - u'0'), false };
        if (c >= u'A' && c <= u'Z')
            return { Qt::Key_A + (c - u'A'), false };
    }
    if (name.size() >= 2 && name.size() <= 3 && (name.front() == u'F' || name.front() == u'f')) {
        bool ok = false;
        const int n = name.mid(1).toInt(&ok);
        // "F01" is no key name: only the plain decimal number counts.
        if (ok && n >= 1 && n <= FunctionKeyCount && name.mid(1) == QString::number(n))
            return { Qt::Key_F1 + (n - 1), false };
    }
    return { 0, false };
}

// A name as Qt writes the key in portable text. The text must be exactly
// that name (without regard to case): Qt's reader accepts more than it
// writes, and a binding should not depend on that leniency.
TKeyStroke ReadQtKeyName(QStringView name)
{
    if (name.isEmpty())
        return {};
    const QString text = name.toString();
    const QKeySequence seq = QKeySequence::fromString(text, QKeySequence::PortableText);
    if (seq.count() != 1)
        return {};
    const QKeyCombination combo = seq[0];
    const int key = combo.key();
    const Qt::KeyboardModifiers mods = combo.keyboardModifiers();
    if (key == 0 || key == Qt::Key_unknown || IsModifierKey(key) || (mods & ~Qt::KeypadModifier))
        return {};
    // Below Key_Escape Qt's key codes are characters: a control character or
    // half a surrogate pair is no key on any keyboard.
    if (key < Qt::Key_Escape && (key < Qt::Key_Space || QChar::isSurrogate(char32_t(key))))
        return {};
    if (QKeySequence(combo).toString(QKeySequence::PortableText).compare(text, Qt::CaseInsensitive)
        != 0)
        return {};
    return StrokeOfKeyPress(key, mods);
}

QString TableName(int key, bool keypad)
{
    for (const KeyName& k : KeyNames)
        if (k.Key == key && k.Keypad == keypad)
            return QString::fromLatin1(k.Name);
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9)
        return QStringLiteral("Num ") + QChar(u'0' + (key - Qt::Key_0));
    if (keypad)
        return QString();
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return QString(QChar(char16_t(key)));
    if (key >= Qt::Key_F1 && key < Qt::Key_F1 + FunctionKeyCount)
        return QStringLiteral("F") + QString::number(key - Qt::Key_F1 + 1);
    return QString();
}

} // namespace

QKeyCombination TKeyStroke::Combination() const
{
    return QKeyCombination(Modifiers, Qt::Key(Key));
}

TKeyStroke KeyTextToStroke(QStringView text)
{
    TKeyStroke stroke;
    if (ReadKeypadDigit(text, stroke))
        return stroke;

    QStringView rest = text;
    Qt::KeyboardModifiers mods;
    while (TakePrefix(rest, mods)) { }

    const auto [key, keypad] = ReadTableName(rest);
    if (key != 0)
        return TKeyStroke { key, mods | (keypad ? Qt::KeypadModifier : Qt::NoModifier) };

    const TKeyStroke named = ReadQtKeyName(rest);
    if (named.IsEmpty())
        return {};
    return TKeyStroke { named.Key, named.Modifiers | mods };
}

QString StrokeToKeyText(const TKeyStroke& stroke)
{
    if (stroke.IsEmpty())
        return QString();
    QString text;
    if (stroke.Modifiers & Qt::ControlModifier)
        text += QStringLiteral("Ctrl+");
    if (stroke.Modifiers & Qt::AltModifier)
        text += QStringLiteral("Alt+");
    if (stroke.Modifiers & Qt::ShiftModifier)
        text += QStringLiteral("Shift+");
    const bool keypad = stroke.Modifiers.testFlag(Qt::KeypadModifier);
    QString name = TableName(stroke.Key, keypad);
    if (name.isEmpty()) {
        const QKeyCombination combo(
            keypad ? Qt::KeypadModifier : Qt::NoModifier, Qt::Key(stroke.Key));
        name = QKeySequence(combo).toString(QKeySequence::PortableText);
    }
    return text + name;
}

TKeyStroke StrokeOfKeyPress(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == 0 || key == Qt::Key_unknown || IsModifierKey(key))
        return {};
    Qt::KeyboardModifiers mods = modifiers & HeldKeys;
    if (key == Qt::Key_Enter)
        key = Qt::Key_Return;
    // X11 reports Shift+Tab as Backtab.
    if (key == Qt::Key_Backtab) {
        key = Qt::Key_Tab;
        mods |= Qt::ShiftModifier;
    }
    if (modifiers.testFlag(Qt::KeypadModifier) && IsDistinctKeypadKey(key))
        mods |= Qt::KeypadModifier;
    return TKeyStroke { key, mods };
}

TKeyStroke NumberRowStroke(quint32 nativeScanCode, Qt::KeyboardModifiers modifiers)
{
    // xkb key codes (evdev + 8) of the keys AE01 ... AE10.
    constexpr quint32 FirstDigitKey = 10;
    constexpr quint32 ZeroKey = 19;
    if (nativeScanCode < FirstDigitKey || nativeScanCode > ZeroKey)
        return {};
    const int digit = nativeScanCode == ZeroKey ? 0 : int(nativeScanCode - FirstDigitKey) + 1;
    return TKeyStroke { Qt::Key_0 + digit, modifiers & HeldKeys };
}
