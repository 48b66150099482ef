#include "imagelist/TFileSort.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <utility>

#include "platform/LocaleCollator.h"

namespace {

int Sign(int64_t a, int64_t b)
{
    return a > b ? 1 : (a < b ? -1 : 0);
}

} // namespace

void TFileSort::Sort(TFileList& files) const
{
    if (SortOrder > Random || files.size() < 2)
        return;
    if (SortOrder == Random) {
        // A fresh permutation at each sort, drawn without looking at entries.
        std::mt19937_64 rng(uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::shuffle(files.begin(), files.end(), rng);
        return;
    }
    if (SortOrder == ByName) {
        SortByName(files);
        return;
    }
    QuickSort(files, 0, int(files.size()) - 1);
}

// Names in a folder are unique and the collation's ties are broken by the
// code units, so the order is total and any correct sort gives the one
// result: sort by precomputed collation keys.
void TFileSort::SortByName(TFileList& files) const
{
    struct Keyed {
        QByteArray Key;
        TFileEntry* Entry;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(files.size());
    for (TFileEntry& entry : files)
        keyed.push_back({LocaleCollator::SortKey(entry.Name), &entry});
    const bool ascend = Ascend;
    std::sort(keyed.begin(), keyed.end(), [ascend](const Keyed& a, const Keyed& b) {
        int r = std::memcmp(a.Key.constData(), b.Key.constData(), size_t(std::min(a.Key.size(), b.Key.size())));
        if (r == 0)
            r = a.Key.size() < b.Key.size() ? -1 : (a.Key.size() > b.Key.size() ? 1 : 0);
        if (r == 0)
            r = a.Entry->Name.compare(b.Entry->Name);
        return ascend ? r < 0 : r > 0;
    });
    TFileList sorted;
    sorted.reserve(files.size());
    for (const Keyed& k : keyed)
        sorted.push_back(std::move(*k.Entry));
    files = std::move(sorted);
}

// Size and date; name order sorts by keys instead (SortByName).
int TFileSort::Compare(const TFileList& files, int a, int b) const
{
    const TBufImage& x = *files[size_t(a)].Slot;
    const TBufImage& y = *files[size_t(b)].Slot;
    const int r = SortOrder == BySize ? Sign(x.FileSize, y.FileSize) : Sign(x.LastWriteTime, y.LastWriteTime);
    return Ascend ? r : -r;
}

// The classic in-place quicksort of string lists: the pivot is tracked by
// position and moves with its entry when exchanged.
void TFileSort::QuickSort(TFileList& files, int lo, int hi) const
{
    int i;
    do {
        i = lo;
        int j = hi;
        int p = (lo + hi) / 2;
        do {
            while (Compare(files, i, p) < 0)
                ++i;
            while (Compare(files, j, p) > 0)
                --j;
            if (i <= j) {
                if (i != j)
                    std::swap(files[size_t(i)], files[size_t(j)]);
                if (p == i)
                    p = j;
                else if (p == j)
                    p = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (lo < j)
            QuickSort(files, lo, j);
        lo = i;
    } while (i < hi);
}
