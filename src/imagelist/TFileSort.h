#pragma once

#include <cstdint>

#include "imagelist/TFileEntry.h"

// Sorts the image list in place by name (the user's locale collation,
// case-sensitive, not numeric), size, last-write time or at random.
class TFileSort {
public:
    enum Order : uint8_t { ByName = 0, BySize = 1, ByDate = 2, Random = 3 };

    TFileSort(uint8_t order, bool ascending) : SortOrder(order), Ascend(ascending) {}

    // The size and date orders read each slot's FileSize and LastWriteTime.
    static bool NeedsTimes(uint8_t order) { return order == BySize || order == ByDate; }

    // Any order outside 0..3 leaves the list as it is. Equal entries end in an
    // order that depends on the quicksort, as the sort is not stable.
    void Sort(TFileList& files) const;

private:
    int Compare(const TFileList& files, int a, int b) const;
    void QuickSort(TFileList& files, int lo, int hi) const;
    void SortByName(TFileList& files) const;

    uint8_t SortOrder;
    bool Ascend;
};
