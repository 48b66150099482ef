#include "decode/uImageReaders.h"

TZVImageReader::TZVImageReader(TBufImage* slot, const QString& fileName)
    : FileName(fileName), Slot(slot)
{
    auto file = std::make_unique<QFile>(fileName);
    if (file->open(QIODevice::ReadOnly))
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
