#pragma once

// The image list as the main thread sees it: what the view talks to. It keeps
// the main thread's copy of the folder, name and position, receives the
// loader's messages and hands ready slots and animations to the view.

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "decode/uImageReaders.h"
#include "imagelist/uImgLoader.h"

class TGifAnimation;

class TImageManager : public QObject {
public:
    using TImageEvent = std::function<void(TImageManager*, const std::shared_ptr<TBufImage>& slot)>;
    using TAnimationEvent = std::function<void(TImageManager*, std::unique_ptr<TGifAnimation> animation)>;

    // The loader starts at once and idles. Without a post function messages
    // are queued into this object's thread; without a decode function files
    // are decoded by the readers with the given parameters.
    explicit TImageManager(const TDecodeParams& params, TPostFunc post = {}, TDecodeFunc decode = {});
    ~TImageManager() override;  // stops and joins the loader

    QString FolderPath;   // the list's folder as last seen, with a trailing "/"
    QString FileName;     // the current entry's name as last seen; empty for none
    int ImageIndex = -1;  // the current position as last seen; -1 for none
    TImageEvent OnImage;          // this slot is the image to show (null: show nothing)
    TAnimationEvent OnAnimation;  // show this animation (null: reading it failed)

    int Count() const;
    bool IsLast() const;
    void Next();
    void Prev();
    void GoTo(int index);
    QString NameAt(int index) const;
    void OpenFile(const QString& path);
    void OpenFolder(const QString& folder, bool selectFirst);
    void DeleteCurrent();  // to the trash
    void RemoveCurrent();  // after a move: the file is gone from the folder
    void SetSort(uint8_t order, bool ascending);
    void Refresh();
    void SetBufferRadius(int n);
    void SetAutoRotate(bool on);
    void RotateLeft();
    void RotateRight();

    // The view takes a delivered slot's picture through this: a shared copy
    // taken under the list lock, and the slot marked as shown. False when the
    // slot is not decoded (then nothing is taken).
    bool TakePicture(const std::shared_ptr<TBufImage>& slot, QImage* picture);

    // The loader's messages arrive here, on the main thread.
    void WndProc(int message, quintptr wParam, qintptr lParam);

    TImageLoader& Loader() { return *ImageLoader; }

private:
    void Deliver(const std::shared_ptr<TBufImage>& slot);
    void MoveTo(int index);
    void Rotate(int direction);
    void RemoveCurrentEntry(bool toTrash);
    void FireAnimation(quintptr animation);

    std::unique_ptr<TImageLoader> ImageLoader;
};
