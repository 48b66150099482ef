#include "decode/uImageReaders.h"

#include <sys/stat.h>

namespace {

// Only plain files are read: opening a FIFO or a device named like an image
// would block the loader or never end.
bool IsPlainFile(const QString& path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

TZVImageReader::TZVImageReader(TBufImage* slot, const QString& fileName)
    : FileName(fileName), Slot(slot)
{
    auto file = std::make_unique<QFile>(fileName);
    if (IsPlainFile(fileName) && file->open(QIODevice::ReadOnly))
        Stream = std::move(file);
    else if (Slot)
        Slot->Loaded = true;
}

TZVImageReader::~TZVImageReader()
{
    if (Slot)
        Slot->Loaded = true;
}

void TZVImageReader::Read()
{
    Stream.reset();
}
