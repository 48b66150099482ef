#pragma once

#include <QString>
#include <QStringList>

#include "imagelist/TFileEntry.h"

// Lists the supported images of one folder: plain visible files only (names
// starting with "." are hidden; folders, sockets, devices and dangling links
// are left out; a link to a file counts as that file). Each entry gets a new
// slot with the file's size and last-write time. An unreadable folder gives
// an empty list. The order is the folder's own.
TFileList ScanImageFiles(const QString& folder, const QStringList* susieExtensions);

// Size and last-write time of one file, as the scan records them; false when
// it is not a plain file.
bool StatImageFile(const QString& path, int64_t* size, int64_t* lastWriteNs);
