#include "app/CaptionFormat.h"

#include <QFile>

namespace CaptionFormat {
namespace {

// Replaces every occurrence of token, continuing after each inserted value so
// a value is never searched for the token it replaced.
void ReplaceAll(QString& text, const QString& token, const QString& value)
{
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(token, from, Qt::CaseSensitive);
        if (at < 0)
            return;
        text.replace(at, token.size(), value);
        from = at + value.size();
    }
}

} // namespace

int64_t FileLength(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return file.size();
}

QString FolderName(const QString& folder)
{
    QString name = folder;
    if (name.endsWith(QLatin1Char('/')) && name.size() > 1)
        name.chop(1);
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    return name.left(260);
}

QString Build(const QString& format, const TCaptionValues& v)
{
    QString text = format + QStringLiteral(" - ") + QLatin1String(Product);
    // Only tokens present cost anything: the file size is read on demand.
    ReplaceAll(text, QStringLiteral("<path>"), v.Folder);
    ReplaceAll(text, QStringLiteral("<name>"), v.Name);
    ReplaceAll(text, QStringLiteral("<curdir>"), FolderName(v.Folder));
    ReplaceAll(text, QStringLiteral("<zoom>"), QString::number(v.Zoom));
    ReplaceAll(text, QStringLiteral("<idx>"), QString::number(v.Index + 1));
    ReplaceAll(text, QStringLiteral("<count>"), QString::number(v.Count));
    if (text.contains(QStringLiteral("<size>")))
        ReplaceAll(text, QStringLiteral("<size>"), QString::number(FileLength(v.Folder + v.Name) / 1024));
    ReplaceAll(text, QStringLiteral("<height>"), QString::number(v.Height));
    ReplaceAll(text, QStringLiteral("<width>"), QString::number(v.Width));
    return text;
}

} // namespace CaptionFormat
