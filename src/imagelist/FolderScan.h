#pragma once

#include <QString>
#include <QStringList>

#include "imagelist/TFileEntry.h"

// Lists the supported images of one folder: plain visible files only (names
// starting with "." are hidden; folders, sockets, devices and dangling links
// are left out; a link to a file counts as that file). Each entry gets a new
// slot; with withTimes, or where the entry type needs a stat() anyway, the slot
// gets the file's size and last-write time (see TFileEntry::Stated). An
// unreadable folder gives an empty list. The order is the folder's own.
TFileList ScanImageFiles(const QString& folder, const QStringList* susieExtensions,
                         bool withTimes = true);

// Reads size and last-write time for the entries that have none yet.
void StatEntries(const QString& folder, TFileList& files);

// Size and last-write time of one file, as the scan records them; false when
// it is not a plain file.
bool StatImageFile(const QString& path, int64_t* size, int64_t* lastWriteNs);
