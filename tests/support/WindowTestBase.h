#pragma once

#include <QDir>
#include <QObject>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// What the main window's widget tests share: for each test function a fresh
// folder holding the window's own settings file (Ini, not yet written) and
// an empty picture folder (Folder, with a trailing "/").
class TWindowTestBase : public QObject {
protected:
    // Called from init(); false when the folders cannot be made.
    bool MakeSandbox()
    {
        Dir = std::make_unique<QTemporaryDir>();
        if (!Dir->isValid())
            return false;
        Ini = Dir->filePath(QStringLiteral("Zorvin.ini"));
        Folder = Dir->filePath(QStringLiteral("pics")) + QLatin1Char('/');
        return QDir().mkpath(Folder);
    }

    std::unique_ptr<QTemporaryDir> Dir;
    QString Ini;
    QString Folder;
};
