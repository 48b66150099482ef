#pragma once

#include <QByteArray>
#include <QString>

// Text helpers for tests of files that hold UTF-8 or UTF-16LE text.
namespace TestText {

inline QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// The UTF-16LE bytes of a text, without a byte-order mark.
inline QByteArray Utf16Le(const QString& text)
{
    QByteArray out;
    for (QChar c : text) {
        out += char(c.unicode() & 0xFF);
        out += char(c.unicode() >> 8);
    }
    return out;
}

} // namespace TestText
