#include "decode/FileBytes.h"

#include <algorithm>
#include <sys/mman.h>

void AdviseHugePages(void* data, size_t size)
{
    constexpr uintptr_t Block = uintptr_t(2) << 20;
    if (!data || size < 4 * Block)
        return;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + Block - 1) & ~(Block - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + size) & ~(Block - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);  // advice only
}

QByteArray ReadFileBytes(QFile& file, int64_t limit)
{
    const int64_t size = std::min<int64_t>(file.size(), limit);
    if (size <= 0 || !file.seek(0))
        return QByteArray();
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    AdviseHugePages(bytes.data(), size_t(size));
    int64_t done = 0;
    while (done < size) {
        const int64_t got = file.read(bytes.data() + done, size - done);
        if (got <= 0)
            break;  // the file shrank under us: decode what is there
        done += got;
    }
    bytes.truncate(qsizetype(done));
    return bytes;
}
