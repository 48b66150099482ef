#pragma once

#include <QByteArray>
#include <QString>

// Small helpers for tests that work on real files in temporary folders.
namespace TestFiles {

// Writes bytes to path, creating parent folders; fails the test on error.
void Write(const QString& path, const QByteArray& bytes);
QByteArray Read(const QString& path);

} // namespace TestFiles
