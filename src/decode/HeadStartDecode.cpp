#include "decode/HeadStartDecode.h"

#include <QFileInfo>

#include "imagelist/TZorvinImageType.h"

THeadStartDecode::THeadStartDecode(const QString& path, const TDecodeParams& params) : Params(params)
{
    // Plug-ins are not loaded yet: only the built-in readers are used, and a
    // file a plug-in would take is left to the loader.
    Params.SusieExtensions = nullptr;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return;
    if (!TZorvinImageType(path, nullptr).IsSupported())
        return;
    Path = info.absoluteFilePath();
    Worker = std::thread([this] { LoadSlot(&Result, Path, Params); });
}

THeadStartDecode::~THeadStartDecode()
{
    if (Worker.joinable())
        Worker.join();
}

bool THeadStartDecode::Take(const QString& path, const TDecodeParams& params, TBufImage* slot)
{
    std::lock_guard lock(Lock);
    if (Worker.joinable()) {
        Worker.join();
        Finished = true;
    }
    if (Path.isEmpty())
        return false;
    const bool same = path == Path && params.AutoRotate == Params.AutoRotate
        && params.BackColor == Params.BackColor && params.ScreenSize == Params.ScreenSize
        && (!params.SusieExtensions || params.SusieExtensions->isEmpty());
    Path.clear();
    TBufImage result = std::move(Result);
    Result = TBufImage();
    if (!same)
        return false;
    slot->Bitmap = std::move(result.Bitmap);
    slot->Animated = result.Animated;
    slot->Loaded = true;
    return true;
}
