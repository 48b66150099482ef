#pragma once

// The display model of the main window: holds the current image, decides the
// zoom and the displayed size, keeps the scroll position and paints the
// visible part onto the canvas it is given. It owns the image list and is the
// one path by which the window opens, navigates, zooms, scrolls, rotates,
// deletes and refreshes. It draws when called and never invalidates anything.

#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "display/IViewCanvas.h"
#include "display/TViewArea.h"
#include "imagelist/uImgMan.h"

class TOption;
class TGifAnimation;
class TGifPlayer;

class TZorvinView {
public:
    using TViewEvent = std::function<void(TZorvinView*)>;
    using TPathEvent = std::function<void(TZorvinView*, const QString& path)>;
    using TErrorEvent = std::function<void(TZorvinView*, const QString& path, const QString& key)>;
    using TAreaEvent = std::function<void(TZorvinView*, TViewArea& area)>;

    explicit TZorvinView(IViewCanvas* canvas);
    ~TZorvinView();
    TZorvinView(const TZorvinView&) = delete;
    TZorvinView& operator=(const TZorvinView&) = delete;

    // Creates the image list with the settings' prefetch count, auto-rotation
    // and sort order. params carries what decoding needs besides the settings
    // (screen size, plug-in extensions); post and decode are for tests.
    void Init(TOption* options, const TDecodeParams& params, TPostFunc post = {}, TDecodeFunc decode = {});

    TPathEvent OnOpening;
    TErrorEvent OnError;
    TViewEvent OnImageChanged;
    TAreaEvent OnGetArea;
    TViewEvent OnPainted;
    TPathEvent OnLoading;

    static constexpr const char* FileNotSupported = "FILE_NOT_SUPPORED";

    void OpenPath(const QString& path, bool allowFolder);
    QString CurrentFolder() const;
    QString CurrentName() const;
    int ImageCount() const;
    int ImageIndex() const;
    // The name of the list's entry at index, in the list's order; empty
    // outside the list.
    QString NameAt(int index) const;
    bool IsAtEnd() const;
    void StepNext();
    void StepPrev();
    void GoToIndex(int index);

    void SetActualSize(bool on);
    void ZoomTo(int percent);
    void ScrollBy(int dx, int dy);
    void ScrollTo(QPoint point);
    void Redraw();
    void RefreshView(bool full);

    bool HasImage() const { return Source.has_value() || Animation != nullptr; }
    int ImageWidth() const;
    int ImageHeight() const;
    const QImage* SourceBitmap() const;
    const QImage* DisplayBitmap();

    void RotateCurrentLeft();
    void RotateCurrentRight();
    void DeleteCurrent();
    void RemoveCurrent();
    void SetAutoRotate(bool on);
    void SetSortOrder(uint8_t order, bool ascending);
    void RefreshList();

    // The image list's two callbacks.
    void AcceptImage(const std::shared_ptr<TBufImage>& slot);
    void AcceptAnimation(std::unique_ptr<TGifAnimation> animation);

    // The zoom command steps: the next step above / below z, or -1.
    static int ZoomInStep(int z);
    static int ZoomOutStep(int z);

    int Zoom() const { return CurrentZoom; }
    bool Zoomed() const { return IsZoomed; }
    bool ActualSize() const { return IsActualSize; }
    int ScaledWidth() const { return Scaled.width(); }
    int ScaledHeight() const { return Scaled.height(); }
    QPoint Scroll() const { return ScrollPos; }
    const TViewArea& Area() const { return ViewArea; }
    TImageManager* ImageList() { return List.get(); }

private:
    void UpdateArea();
    void BuildDisplay();
    void Clear();
    void PaintStill();
    void PaintAnimation();
    void StopAnimation();
    void ClearImage();
    QPoint DrawOrigin(int w, int h) const;
    int ReductionMode() const;
    QColor BackColor() const;

    IViewCanvas* Canvas;
    TOption* Options = nullptr;
    const QStringList* SusieExtensions = nullptr;
    std::unique_ptr<TImageManager> List;
    TViewArea ViewArea;
    std::optional<QImage> Source;  // the current still image; a failed decode is a 0 x 0 one
    QImage Display;                // reduced, exact, or a 1 x 1 placeholder above 100 %
    std::unique_ptr<TGifAnimation> Animation;
    std::unique_ptr<TGifPlayer> Player;
    QSize Scaled{0, 0};
    QPoint ScrollPos{0, 0};
    bool IsZoomed = false;
    int CurrentZoom = 0;
    bool IsActualSize = false;
};
