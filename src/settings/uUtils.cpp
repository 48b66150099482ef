#include "settings/uUtils.h"

bool IsBlankOrControl(QChar c)
{
    return c.unicode() <= u' ';
}

QString TrimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlankOrControl(text[begin]))
        ++begin;
    while (end > begin && IsBlankOrControl(text[end - 1]))
        --end;
    return text.mid(begin, end - begin).toString();
}

void SplitList(const QString& text, const QString& separator, QStringList* list)
{
    Q_ASSERT(list);
    if (!list)
        return;
    list->clear();
    const QString rest = TrimBlanks(text);
    if (rest.isEmpty())
        return;
    if (separator.isEmpty()) {
        list->append(rest);
        return;
    }
    qsizetype start = 0;
    for (;;) {
        const qsizetype at = rest.indexOf(separator, start);
        const qsizetype end = at < 0 ? rest.size() : at;
        if (end > start)
            list->append(TrimBlanks(QStringView(rest).mid(start, end - start)));
        if (at < 0)
            break;
        start = at + separator.size();
    }
}
