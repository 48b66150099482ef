#include "imagelist/TZorvinImageType.h"

TZorvinImageType::TZorvinImageType(const QStringList* susieExtensions)
    : SusieExtensions(susieExtensions)
{
}

TZorvinImageType::TZorvinImageType(const QString& fileName, const QStringList* susieExtensions)
    : FileName(fileName), SusieExtensions(susieExtensions)
{
}

QString TZorvinImageType::ExtensionOf(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < fileName.lastIndexOf(QLatin1Char('/')))
        return QString();
    return fileName.mid(dot).toLower();
}

QString TZorvinImageType::Extension() const
{
    return ExtensionOf(FileName);
}

bool TZorvinImageType::IsJpeg() const
{
    const QString ext = Extension();
    return ext == QLatin1String(".jpg") || ext == QLatin1String(".jpeg");
}

bool TZorvinImageType::IsBmp() const
{
    return Extension() == QLatin1String(".bmp");
}

bool TZorvinImageType::IsGif() const
{
    return Extension() == QLatin1String(".gif");
}

bool TZorvinImageType::IsIco() const
{
    return Extension() == QLatin1String(".ico");
}

bool TZorvinImageType::IsCur() const
{
    return Extension() == QLatin1String(".cur");
}

bool TZorvinImageType::IsSusie() const
{
    if (!SusieExtensions)
        return false;
    const QString ext = Extension();
    return !ext.isEmpty() && SusieExtensions->contains(ext, Qt::CaseInsensitive);
}

bool TZorvinImageType::IsSupported() const
{
    return IsSusie() || IsJpeg() || IsBmp() || IsGif() || IsIco() || IsCur();
}
