#include "decode/uImageReaders.h"
#include "imagelist/TZorvinImageType.h"

// The reader choice: the first row that matches wins, so a plug-in that
// declares a built-in extension takes those files over.
//   1 IsSusie -> TZVSusie   2 IsJpeg -> TZVJpeg   3 IsBmp -> TZVBmp
//   4 IsGif -> TZVGif       5 IsIco or IsCur -> TZVIco
static std::unique_ptr<TZVImageReader> ChooseReader(TBufImage* slot, const QString& path,
                                                    const TDecodeParams& params)
{
    const TZorvinImageType type(path, params.SusieExtensions);
    if (type.IsSusie()) {
        auto reader = std::make_unique<TZVSusie>(slot, path);
        reader->AutoRotate = params.AutoRotate;
        return reader;
    }
    if (type.IsJpeg()) {
        auto reader = std::make_unique<TZVJpeg>(slot, path);
        reader->AutoRotate = params.AutoRotate;
        reader->ScreenSize = params.ScreenSize;
        return reader;
    }
    if (type.IsBmp())
        return std::make_unique<TZVBmp>(slot, path);
    if (type.IsGif())
        return std::make_unique<TZVGif>(slot, path);
    if (type.IsIco() || type.IsCur()) {
        auto reader = std::make_unique<TZVIco>(slot, path);
        reader->BackColor = params.BackColor;
        return reader;
    }
    return nullptr;
}

void LoadSlot(TBufImage* slot, const QString& path, const TDecodeParams& params)
{
    // Constructing the reader opens the file; destroying it marks the slot
    // Loaded, whatever Read achieved. A name no reader takes leaves the slot
    // untouched.
    if (auto reader = ChooseReader(slot, path, params))
        reader->Read();
}
