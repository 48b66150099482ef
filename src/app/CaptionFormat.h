#pragma once

#include <QString>
#include <cstdint>

// The title bar text: the caption format with " - Zorvin Lite" appended and
// its tokens replaced, each in turn, left to right, case-sensitive.
struct TCaptionValues {
    QString Folder;  // ends with "/"
    QString Name;
    int Zoom = 0;
    int Index = -1;  // zero-based
    int Count = 0;
    int Width = -1;
    int Height = -1;
};

namespace CaptionFormat {

constexpr const char* Product = "Zorvin Lite";

// The file's size in bytes, or -1 when it cannot be opened.
int64_t FileLength(const QString& path);

QString Build(const QString& format, const TCaptionValues& values);

// "<curdir>": the current folder's own name.
QString FolderName(const QString& folder);

} // namespace CaptionFormat
