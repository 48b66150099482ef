#include "settings/DelimitedText.h"

#include "settings/uUtils.h"

QStringList ReadDelimitedText(const QString& text, QChar delimiter)
{
    QStringList names;
    const qsizetype nul = text.indexOf(QChar(0));
    const QStringView s = nul < 0 ? QStringView(text) : QStringView(text).left(nul);
    qsizetype p = 0;
    const qsizetype n = s.size();
    while (p < n && IsBlankOrControl(s[p]))
        ++p;
    while (p < n) {
        const qsizetype start = p;
        while (p < n && !IsBlankOrControl(s[p]) && s[p] != delimiter)
            ++p;
        names.append(s.mid(start, p - start).toString());
        while (p < n && IsBlankOrControl(s[p]))
            ++p;
        if (p < n && s[p] == delimiter) {
            if (p + 1 == n)
                names.append(QString());
            do
                ++p;
            while (p < n && IsBlankOrControl(s[p]));
        }
    }
    return names;
}

QString WriteDelimitedText(const QStringList& names, QChar delimiter)
{
    const QChar quote = QLatin1Char(' ');
    if (names.size() == 1 && names.front().isEmpty())
        return QString(2, quote);
    QStringList parts;
    for (const QString& name : names) {
        bool quoted = false;
        for (QChar c : name) {
            if (c.unicode() == 0)
                break;
            if (IsBlankOrControl(c) || c == delimiter) {
                quoted = true;
                break;
            }
        }
        if (quoted) {
            QString inner = name;
            inner.replace(quote, QString(2, quote));
            parts.append(quote + inner + quote);
        } else {
            parts.append(name);
        }
    }
    return parts.join(delimiter);
}
