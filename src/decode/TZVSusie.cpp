#include "decode/ZVRotateImage.h"
#include "decode/uImageReaders.h"

// Plug-in formats arrive with the plug-in host. Until then no plug-in declares
// an extension, nothing is decoded here and the slot stays empty; the
// auto-rotation step already applies to whatever the host will decode.
void TZVSusie::Read()
{
    TZVImageReader::Read();
    if (AutoRotate && Slot && !Slot->Bitmap.isNull())
        TZVRotateImage(Slot).AutoRotate(FileName);
}
