#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "imagelist/TBufImage.h"

// One entry of the image list: the file name (no folder) and its slot. The
// slot is shared so a decode in progress keeps it alive when the entry is
// dropped meanwhile; the list lock guards the slot's fields.
struct TFileEntry {
    QString Name;
    std::shared_ptr<TBufImage> Slot;
    // The slot's FileSize and LastWriteTime are read. A scan for a list sorted
    // by name or at random skips the stat() of plain files: it is most of the
    // cost of opening a big folder, and only the size and date orders need it.
    bool Stated = false;
};

using TFileList = std::vector<TFileEntry>;
