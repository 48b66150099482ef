#pragma once

#include <QString>
#include <QStringList>

// Blank or control character: every code unit up to and including the space.
bool IsBlankOrControl(QChar c);

// Removes blanks and control characters from both ends.
QString TrimBlanks(QStringView text);

// The shared list splitter of binding lists (","), program records ("<>")
// and extension lists (";"). The list is cleared; the text is trimmed of
// blanks and control characters; if nothing remains the list stays empty.
// Otherwise the text is cut at every occurrence of the separator, left to
// right; empty pieces are skipped and every other piece is added trimmed
// (so a piece of blanks only adds an empty item). Items keep their order.
// A null list is a programming error; an empty separator cuts nothing.
void SplitList(const QString& text, const QString& separator, QStringList* list);
