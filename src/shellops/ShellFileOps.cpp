#include "shellops/ShellFileOps.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

bool ShellDeleteFile(const QString& path)
{
    // Qt writes the freedesktop layout (files/ + info/*.trashinfo) into the
    // home trash, or into the volume's .Trash-$uid for other file systems. It
    // creates the home trash only inside an existing data folder, which a
    // fresh account may not have yet.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    return QFile::moveToTrash(path);
}
