#pragma once

#include <QByteArray>
#include <QFile>
#include <cstdint>

// Reads an open file into memory, at most `limit` bytes from its start.
// Readers copy the file instead of mapping it: a mapped file that another
// program truncates while we decode would kill the viewer with SIGBUS.
QByteArray ReadFileBytes(QFile& file, int64_t limit);
