#pragma once

#include <QKeyCombination>
#include <QString>
#include <QStringView>
#include <Qt>

// One key of a key binding: a key with the Shift, Ctrl and Alt keys held.
// Keypad keys that are keys of their own rather than twins of main-keyboard
// keys (the digits "Num 0" ... "Num 9", "Num *", "Num +", "Num -", "Num /"
// and the decimal separator) carry Qt::KeypadModifier as well. The empty stroke (no key) is
// what a text that names no key reads as; it never matches a key press.
struct TKeyStroke {
    int Key = 0; // a Qt::Key value; 0 for none
    Qt::KeyboardModifiers Modifiers;

    bool IsEmpty() const { return Key == 0; }
    QKeyCombination Combination() const;
    // All empty strokes are the same: no key, whatever modifiers they carry.
    friend bool operator==(const TKeyStroke& a, const TKeyStroke& b)
    {
        if (a.IsEmpty() || b.IsEmpty())
            return a.IsEmpty() && b.IsEmpty();
        return a.Key == b.Key && a.Modifiers == b.Modifiers;
    }
};

// Reads one key text: modifier prefixes "Shift+", "Ctrl+" (or "^") and
// "Alt+" in any order and any case, then a key name ("BkSp", "PgDn", "Del",
// "Num *", "F12", "A", ...; case does not matter), else a name Qt gives the
// key in its portable text ("Pause", "Print", "Backspace", ...). A text that
// holds "Num" (exact case) and ends in a digit is the keypad digit, its
// modifiers being the words "Shift", "Ctrl" and "Alt" found anywhere in it
// (exact case). Returns the empty stroke for a text that names no key.
TKeyStroke KeyTextToStroke(QStringView text);

// The key text the options page writes for a stroke: "Ctrl+", "Alt+",
// "Shift+", then the key's name. Empty for the empty stroke.
QString StrokeToKeyText(const TKeyStroke& stroke);

// The stroke a key press stands for, in the terms of the key texts: the
// keypad Enter is Enter, other keypad keys without a key of their own are
// their main keys (keypad arrows with Num Lock off are the arrows), Backtab
// is Shift+Tab, and only Shift, Ctrl and Alt count as modifiers. A press of a
// bare modifier or of an unknown key is the empty stroke.
TKeyStroke StrokeOfKeyPress(int key, Qt::KeyboardModifiers modifiers);

// The main-keyboard digit of a press, read from the key's place rather than
// its character: X11 and Wayland report the keys of the number row as the
// scan codes 10 ("1") ... 18 ("9") and 19 ("0") whatever the layout, while
// the key Qt reports is the character that the layout and Shift give
// (Shift+8 is "*" on a US keyboard). The digit carries the held Shift, Ctrl
// and Alt. The empty stroke for every other scan code.
TKeyStroke NumberRowStroke(quint32 nativeScanCode, Qt::KeyboardModifiers modifiers);
