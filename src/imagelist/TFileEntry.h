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
};

using TFileList = std::vector<TFileEntry>;
