#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <unistd.h>

namespace {

QString WithSlash(QString path)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

bool WritableFolder(const QString& folder)
{
    return !folder.isEmpty() && QDir(folder).exists()
        && ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

} // namespace

namespace ProgramFolder {

QString Choose(const QString& executableFolder, const QString& xdgConfigHome, const QString& home)
{
    if (WritableFolder(executableFolder))
        return WithSlash(QDir::cleanPath(executableFolder));
    const QString base = QDir::isAbsolutePath(xdgConfigHome)
        ? xdgConfigHome
        : WithSlash(home.isEmpty() ? QDir::homePath() : home) + QStringLiteral(".config");
    const QString folder = WithSlash(QDir::cleanPath(base)) + QStringLiteral("zorvin/");
    QDir().mkpath(folder);
    return folder;
}

QString Path()
{
    return Choose(QCoreApplication::applicationDirPath(), qEnvironmentVariable("XDG_CONFIG_HOME"),
        qEnvironmentVariable("HOME"));
}

QString FilePath(const QString& name)
{
    return Path() + name;
}

} // namespace ProgramFolder
