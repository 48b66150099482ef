#include "decode/FileBytes.h"

#include <algorithm>

QByteArray ReadFileBytes(QFile& file, int64_t limit)
{
    const int64_t size = std::min<int64_t>(file.size(), limit);
    if (size <= 0 || !file.seek(0))
        return QByteArray();
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
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
