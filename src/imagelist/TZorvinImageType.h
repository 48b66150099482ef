#pragma once

#include <QString>
#include <QStringList>

// Classifies a file name by its extension: the built-in extensions .jpg .jpeg
// .bmp .gif .ico .cur, plus the ".ext" entries that the loaded plug-ins
// declare. A plug-in extension wins over a built-in one (IsSusie is the first
// row of the reader choice, see LoadSlot).
//
// The extension is the text from the last "." after the last "/", dot
// included, lower-cased with Unicode case mapping; it is empty when there is
// no such dot. On Linux a backslash or colon is an ordinary file-name
// character and does not end the folder part.
class TZorvinImageType {
public:
    explicit TZorvinImageType(const QStringList* susieExtensions = nullptr);
    TZorvinImageType(const QString& fileName, const QStringList* susieExtensions = nullptr);

    QString FileName;  // a name or a full path; may be changed before each test

    bool IsJpeg() const;
    bool IsBmp() const;
    bool IsGif() const;
    bool IsIco() const;
    bool IsCur() const;
    bool IsSusie() const;
    // Any of the above, tested in the order IsSusie, IsJpeg, IsBmp, IsGif,
    // IsIco, IsCur.
    bool IsSupported() const;

    // The lower-cased extension of FileName, "" when there is none.
    QString Extension() const;
    static QString ExtensionOf(const QString& fileName);

private:
    // Owned by the caller (the main window fills it once at start-up);
    // entries compare without regard to case. May be null.
    const QStringList* SusieExtensions;
};
