#include "imagelist/FolderScan.h"

#include <QFile>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "imagelist/TZorvinImageType.h"

namespace {

bool StatAt(int dirFd, const char* name, int64_t* size, int64_t* lastWriteNs)
{
    struct stat st;
    if (fstatat(dirFd, name, &st, 0) != 0 || !S_ISREG(st.st_mode))
        return false;
    *size = st.st_size;
    *lastWriteNs = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

} // namespace

bool StatImageFile(const QString& path, int64_t* size, int64_t* lastWriteNs)
{
    return StatAt(AT_FDCWD, QFile::encodeName(path).constData(), size, lastWriteNs);
}

void StatEntries(const QString& folder, TFileList& files)
{
    for (TFileEntry& entry : files) {
        if (entry.Stated)
            continue;
        entry.Stated = StatImageFile(folder + entry.Name, &entry.Slot->FileSize,
                                     &entry.Slot->LastWriteTime);
    }
}

TFileList ScanImageFiles(const QString& folder, const QStringList* susieExtensions, bool withTimes)
{
    TFileList list;
    DIR* dir = opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return list;
    const int dirFd = dirfd(dir);
    TZorvinImageType type(QString(), susieExtensions);
    while (const dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.')
            continue;  // hidden, and "." / ".."
        if (e->d_type != DT_REG && e->d_type != DT_LNK && e->d_type != DT_UNKNOWN)
            continue;  // folders, sockets, devices, pipes
        type.FileName = QFile::decodeName(e->d_name);
        if (!type.IsSupported())
            continue;
        auto slot = std::make_shared<TBufImage>();
        const bool stat = withTimes || e->d_type != DT_REG;
        if (stat && !StatAt(dirFd, e->d_name, &slot->FileSize, &slot->LastWriteTime))
            continue;  // dangling link, or a link to something else
        list.push_back({type.FileName, std::move(slot), stat});
    }
    closedir(dir);
    return list;
}
