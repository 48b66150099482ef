#include "imagelist/uImgMan.h"

#include "decode/GifDecoder.h"
#include "decode/ZVRotateImage.h"

namespace {

void SplitPath(const QString& path, QString* folder, QString* name)
{
    const qsizetype cut = path.lastIndexOf(QLatin1Char('/')) + 1;
    *folder = path.left(cut);
    *name = path.mid(cut);
}

} // namespace

TImageManager::TImageManager(const TDecodeParams& params, TPostFunc post, TDecodeFunc decode)
{
    if (!post) {
        post = [this](int message, quintptr wParam, qintptr lParam) {
            QMetaObject::invokeMethod(
                this, [this, message, wParam, lParam] { WndProc(message, wParam, lParam); },
                Qt::QueuedConnection);
        };
    }
    if (!decode) {
        decode = [params](TBufImage* slot, const QString& path, bool autoRotate) {
            TDecodeParams p = params;
            p.AutoRotate = autoRotate;
            LoadSlot(slot, path, p);
        };
    }
    auto readAnimation = [](const QString& path) -> quintptr {
        return quintptr(LoadGifFile(path).release());
    };
    ImageLoader = std::make_unique<TImageLoader>(std::move(post), std::move(decode), readAnimation,
                                                 params.SusieExtensions);
}

TImageManager::~TImageManager()
{
    ImageLoader.reset();
}

int TImageManager::Count() const
{
    return ImageLoader->Count();
}

bool TImageManager::IsLast() const
{
    const int count = ImageLoader->Count();
    return count == 0 || ImageLoader->CurrentIndex() == count - 1;
}

QString TImageManager::NameAt(int index) const
{
    return ImageLoader->NameAt(index);
}

void TImageManager::Next()
{
    if (!IsLast())
        MoveTo(ImageLoader->CurrentIndex() + 1);
}

void TImageManager::Prev()
{
    if (ImageLoader->CurrentIndex() > 0)
        MoveTo(ImageLoader->CurrentIndex() - 1);
}

void TImageManager::GoTo(int index)
{
    if (index >= 0 && index < ImageLoader->Count())
        MoveTo(index);
}

// A decoded neighbour is shown at once; an animated one is read and posted by
// the loader; one not decoded yet is shown when the loader has decoded it.
void TImageManager::MoveTo(int index)
{
    const std::shared_ptr<TBufImage> slot = ImageLoader->SlotAt(index);
    FileName = ImageLoader->NameAt(index);
    ImageIndex = index;
    bool deliver = false;
    if (slot) {
        std::lock_guard lock(ImageLoader->ListLock());
        if (slot->Loaded) {
            if (slot->Animated)
                slot->NotifyPending = true;
            else
                deliver = true;
        }
    }
    if (deliver)
        Deliver(slot);
    ImageLoader->SetCurrentIndex(ImageIndex);
}

void TImageManager::Deliver(const std::shared_ptr<TBufImage>& slot)
{
    if (!slot)
        return;
    bool animated;
    {
        std::lock_guard lock(ImageLoader->ListLock());
        if (!slot->Loaded) {
            slot->NotifyPending = true;  // the loader posts it when ready
            return;
        }
        slot->NotifyPending = false;
        animated = slot->Animated;
    }
    if (animated) {
        FireAnimation(quintptr(LoadGifFile(FolderPath + FileName).release()));
    } else if (OnImage) {
        OnImage(this, slot);
    }
}

void TImageManager::FireAnimation(quintptr animation)
{
    std::unique_ptr<TGifAnimation> owned(reinterpret_cast<TGifAnimation*>(animation));
    if (OnAnimation)
        OnAnimation(this, std::move(owned));
}

bool TImageManager::TakePicture(const std::shared_ptr<TBufImage>& slot, QImage* picture)
{
    if (!slot)
        return false;
    std::lock_guard lock(ImageLoader->ListLock());
    if (!slot->Loaded)
        return false;
    slot->Shown = true;
    *picture = slot->Bitmap;
    return true;
}

void TImageManager::OpenFolder(const QString& folder, bool selectFirst)
{
    ImageLoader->SetFolder(folder, selectFirst);
    FolderPath = ImageLoader->Folder();
    if (selectFirst) {
        FileName = ImageLoader->CurrentName();
        ImageIndex = ImageLoader->CurrentIndex();
    }
}

void TImageManager::OpenFile(const QString& path)
{
    QString folder, name;
    SplitPath(path, &folder, &name);
    if (folder.isEmpty())
        folder = FolderPath;
    OpenFolder(folder, false);
    FileName = name;
    const int i = ImageLoader->IndexOf(name);
    if (i >= 0) {
        ImageIndex = i;
        Deliver(ImageLoader->SlotAt(i));
        ImageLoader->SetCurrentIndex(i);
    } else {
        ImageLoader->SelectFile(folder + name);
        ImageIndex = ImageLoader->CurrentIndex();
    }
}

void TImageManager::DeleteCurrent()
{
    RemoveCurrentEntry(true);
}

void TImageManager::RemoveCurrent()
{
    RemoveCurrentEntry(false);
}

// The neighbour is shown before the entry goes: the next one moves into the
// position, or the previous one when the last entry goes.
void TImageManager::RemoveCurrentEntry(bool toTrash)
{
    const int i = ImageLoader->IndexOf(FileName);
    const int n = ImageLoader->Count();
    std::shared_ptr<TBufImage> slot;
    if (n < 2) {
        FileName.clear();
        ImageIndex = -1;
    } else if (n == i + 1) {
        slot = ImageLoader->SlotAt(i - 1);
        FileName = ImageLoader->NameAt(i - 1);
        ImageIndex = i - 1;
    } else {
        slot = ImageLoader->SlotAt(i + 1);
        FileName = ImageLoader->NameAt(i + 1);
    }
    if (slot)
        Deliver(slot);
    else if (FileName.isEmpty() && OnImage)
        OnImage(this, nullptr);
    if (toTrash)
        ImageLoader->DeleteCurrentFile();
    else
        ImageLoader->RemoveCurrent();
}

void TImageManager::SetSort(uint8_t order, bool ascending)
{
    ImageLoader->SetSortOrder(order);
    ImageLoader->SetSortAscend(ascending);
}

void TImageManager::Refresh()
{
    ImageLoader->Refresh();
}

void TImageManager::SetBufferRadius(int n)
{
    ImageLoader->SetBufferRadius(n);
}

void TImageManager::SetAutoRotate(bool on)
{
    ImageLoader->SetAutoRotate(on);
}

void TImageManager::RotateLeft()
{
    Rotate(2);
}

void TImageManager::RotateRight()
{
    Rotate(1);
}

// Turns the current picture outside the lock and publishes it unless the
// slot was emptied meanwhile; then shows it again.
void TImageManager::Rotate(int direction)
{
    const std::shared_ptr<TBufImage> slot = ImageLoader->SlotAt(ImageIndex);
    if (!slot)
        return;
    QImage source;
    uint64_t generation;
    {
        std::lock_guard lock(ImageLoader->ListLock());
        if (!slot->Loaded)
            return;
        source = slot->Bitmap;
        generation = slot->Generation;
    }
    QImage turned = source.isNull() ? QImage() : TZVRotateImage::RotateBitmap90(source, direction);
    {
        std::lock_guard lock(ImageLoader->ListLock());
        if (slot->Generation != generation)
            return;
        slot->Bitmap = std::move(turned);
    }
    Deliver(slot);
}

void TImageManager::WndProc(int message, quintptr wParam, qintptr lParam)
{
    if (message == TImageLoader::WM_SLOT_READY) {
        if (lParam == 1) {
            ImageIndex = ImageLoader->CurrentIndex();
            FileName = ImageLoader->CurrentName();
        }
        // The slot may have left the list since the message was posted.
        const std::shared_ptr<TBufImage> slot = wParam ? ImageLoader->FindSlot(wParam) : nullptr;
        if (wParam && !slot) {
            ImageLoader->ResumePrefetch();
            return;
        }
        if (OnImage)
            OnImage(this, slot);
        ImageLoader->ResumePrefetch();
    } else if (message == TImageLoader::WM_ANIMATION_READY) {
        FireAnimation(wParam);
        ImageLoader->ResumePrefetch();
    }
}
