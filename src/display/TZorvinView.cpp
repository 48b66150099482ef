#include "display/uZorvinView.h"

#include <QFileInfo>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

#include "decode/GifDecoder.h"
#include "display/TGifPlayer.h"
#include "display/uImageUtils.h"
#include "imagelist/TZorvinImageType.h"
#include "settings/uOption.h"

namespace {

// Display arithmetic: nearest integer with ties to even, taken from an
// extended-precision value; "x 0.01" is the extended constant nearest 0.01.
constexpr long double Hundredth = 0.01L;

int32_t Round(long double v)
{
    const long double r = nearbyintl(v);
    if (!(r >= std::numeric_limits<int32_t>::min()))  // also NaN
        return std::numeric_limits<int32_t>::min();
    if (r > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    return int32_t(r);
}

// z x w formed as a 32-bit integer, then scaled by 0.01.
int32_t Percent(int32_t z, int32_t w)
{
    return Round(static_cast<long double>(int32_t(int64_t(z) * w)) * Hundredth);
}

constexpr int ZoomSteps[] = {30, 50, 70, 100, 150, 200, 300, 500, 700, 1000, 1500, 2000};

} // namespace

TZorvinView::TZorvinView(IViewCanvas* canvas) : Canvas(canvas) {}

TZorvinView::~TZorvinView()
{
    StopAnimation();
    List.reset();  // stops and joins the loader
}

void TZorvinView::Init(TOption* options, const TDecodeParams& params, TPostFunc post, TDecodeFunc decode)
{
    Options = options;
    SusieExtensions = params.SusieExtensions;
    TDecodeParams p = params;
    p.BackColor = uint32_t(Options->BackColor);
    p.AutoRotate = Options->AutoRotate;
    List = std::make_unique<TImageManager>(p, std::move(post), std::move(decode));
    List->OnImage = [this](TImageManager*, const std::shared_ptr<TBufImage>& slot) { AcceptImage(slot); };
    List->OnAnimation = [this](TImageManager*, std::unique_ptr<TGifAnimation> animation) {
        AcceptAnimation(std::move(animation));
    };
    List->SetBufferRadius(Options->Buffer);
    List->SetAutoRotate(Options->AutoRotate);
    List->SetSort(Options->SortOrder, Options->SortAscend);
}

// ---- opening and moving ---------------------------------------------------

void TZorvinView::OpenPath(const QString& path, bool allowFolder)
{
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    if (allowFolder && info.isDir()) {
        if (OnOpening)
            OnOpening(this, path);
        List->OpenFolder(info.absoluteFilePath(), true);
        return;
    }
    if (!info.exists() || info.isDir())
        return;
    if (TZorvinImageType(path, SusieExtensions).IsSupported()) {
        Source.reset();
        List->OpenFile(info.absoluteFilePath());
    } else if (OnError) {
        OnError(this, path, QString::fromLatin1(FileNotSupported));
    }
}

QString TZorvinView::CurrentFolder() const
{
    return List->FolderPath;
}

QString TZorvinView::CurrentName() const
{
    return List->FileName;
}

int TZorvinView::ImageCount() const
{
    return List->Count();
}

QString TZorvinView::NameAt(int index) const
{
    return List->NameAt(index);
}

int TZorvinView::ImageIndex() const
{
    return List->ImageIndex;
}

bool TZorvinView::IsAtEnd() const
{
    return List->IsLast();
}

void TZorvinView::StepNext()
{
    if (OnLoading)
        OnLoading(this, List->NameAt(List->ImageIndex + 1));
    List->Next();
}

void TZorvinView::StepPrev()
{
    if (OnLoading)
        OnLoading(this, List->NameAt(List->ImageIndex - 1));
    List->Prev();
}

void TZorvinView::GoToIndex(int index)
{
    if (List->Count() == 0)
        return;
    if (OnLoading)
        OnLoading(this, List->NameAt(index));
    List->GoTo(index);
}

// ---- zoom and scroll ------------------------------------------------------

void TZorvinView::SetActualSize(bool on)
{
    IsActualSize = on;
    ScrollPos = QPoint(0, 0);
    IsZoomed = false;
    Redraw();
}

int TZorvinView::ZoomInStep(int z)
{
    for (int step : ZoomSteps) {
        if (step > z)
            return step;
    }
    return -1;
}

int TZorvinView::ZoomOutStep(int z)
{
    int found = -1;
    for (int step : ZoomSteps) {
        if (step < z)
            found = step;
    }
    return found;
}

void TZorvinView::ZoomTo(int percent)
{
    // A zoom of 0 (only an animation so far, or a fit that rounded down to 0)
    // is taken as 1 % so that the centre can be computed.
    const int z = CurrentZoom > 0 ? CurrentZoom : 1;
    const int width = ViewArea.Width;
    const int height = ViewArea.Height;
    const int sw = Scaled.width();
    const int sh = Scaled.height();
    int cx, cy;
    if (percent < z) {
        cx = width / 2 + ScrollPos.x();
        cy = height / 2 + ScrollPos.y();
    } else {
        cx = width < sw ? width / 2 + ScrollPos.x() : sw / 2;
        cy = height < sh ? height / 2 + ScrollPos.y() : sh / 2;
    }
    const long double from = z * Hundredth;
    const int32_t ux = Round(cx / from);
    const int32_t uy = Round(cy / from);
    CurrentZoom = percent;
    const long double to = percent * Hundredth;
    const int32_t vw = Round(width / to);
    const int32_t vh = Round(height / to);
    int sx = Round(to * (ux - vw / 2));
    int sy = Round(to * (uy - vh / 2));
    if (sx < 0)
        sx = 0;
    if (sy < 0)
        sy = 0;
    if (percent < z) {
        if (height >= sh)
            sy = 0;
    } else if (width >= sw) {
        sx = 0;
    }
    ScrollPos = QPoint(sx, sy);
    IsZoomed = true;
    Redraw();
}

void TZorvinView::ScrollBy(int dx, int dy)
{
    const int sw = Scaled.width();
    const int sh = Scaled.height();
    if (sw < ViewArea.Width)
        dx = 0;
    if (sh < ViewArea.Height)
        dy = 0;
    // A step that would pass an edge is dropped whole.
    const int nx = ScrollPos.x() + dx;
    if (nx >= 0 && nx + ViewArea.Width - 1 < sw)
        ScrollPos.setX(nx);
    const int ny = ScrollPos.y() + dy;
    if (ny >= 0 && ny + ViewArea.Height - 1 < sh)
        ScrollPos.setY(ny);
    RefreshView(false);
}

void TZorvinView::ScrollTo(QPoint point)
{
    ScrollPos = point;
    RefreshView(false);
}

// ---- drawing --------------------------------------------------------------

QColor TZorvinView::BackColor() const
{
    const uint32_t c = Options ? uint32_t(Options->BackColor) : 0;
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

int TZorvinView::ReductionMode() const
{
    return Options && Options->ShrinkMode == 3 ? 3 : 4;
}

void TZorvinView::UpdateArea()
{
    if (OnGetArea)
        OnGetArea(this, ViewArea);
}

void TZorvinView::Clear()
{
    QPainter painter(&Canvas->Picture());
    const QRect clip = Canvas->ClipRect();
    painter.fillRect(clip, BackColor());
    painter.end();
    Canvas->Changed(clip);
}

QPoint TZorvinView::DrawOrigin(int w, int h) const
{
    const int x = w <= ViewArea.Width ? ViewArea.Left + (ViewArea.Width - w) / 2 : ViewArea.Left;
    const int y = h <= ViewArea.Height ? ViewArea.Top + (ViewArea.Height - h) / 2 : ViewArea.Top;
    return QPoint(x, y);
}

void TZorvinView::BuildDisplay()
{
    if (!Source)
        return;
    const int w = Source->width();
    const int h = Source->height();
    if (w == 0 || h == 0)
        return;
    int z;
    int sw;
    int sh;
    if (IsZoomed) {
        z = CurrentZoom;
        sw = Percent(z, w);
        sh = Percent(z, h);
    } else if (IsActualSize) {
        z = 100;
        sw = w;
        sh = h;
    } else {
        const int zx = Round(static_cast<long double>(ViewArea.Width) / w * 100);
        const int zy = Round(static_cast<long double>(ViewArea.Height) / h * 100);
        z = std::min(zx, zy);
        sw = Percent(z, w);
        sh = Percent(z, h);
        if (z > 100 && !Options->EnlargePicture) {
            z = 100;
            sw = w;
            sh = h;
        }
    }
    CurrentZoom = z;
    Display = QImage();
    if (z < 100)
        Display = StretchBitmap(*Source, sw, sh, ReductionMode());
    else if (z == 100)
        Display = *Source;
    else
        Display = QImage(1, 1, QImage::Format_RGB32);
    Scaled = QSize(sw, sh);
}

void TZorvinView::PaintStill()
{
    if (!Source || Source->isNull())
        return;
    const int width = ViewArea.Width;
    const int height = ViewArea.Height;
    const int sw = Scaled.width();
    const int sh = Scaled.height();
    const int z = CurrentZoom;
    const QPoint origin = DrawOrigin(sw, sh);
    QPainter painter(&Canvas->Picture());
    QRect drawn;
    if (sw <= width && sh <= height && z <= 100) {
        painter.drawImage(origin, Display);
        drawn = QRect(origin, Display.size());
    } else if (z > 100 && (Options->EnlargePicture || IsZoomed)) {
        // Enlarged: only the visible part of the source is stretched.
        const long double f = z * Hundredth;
        int vw = sw;
        int vh = sh;
        if (sw > width || sh > height) {
            vw = Round(width / f);
            vh = Round(height / f);
        }
        if (vw > Source->width()) {
            vw = Source->width();
            ScrollPos.setX(0);
        }
        if (vh > Source->height()) {
            vh = Source->height();
            ScrollPos.setY(0);
        }
        int left = sw > width ? Round(ScrollPos.x() / f) : 0;
        int top = sh > height ? Round(ScrollPos.y() / f) : 0;
        // Keep the rectangle inside the source (rounding may reach one past
        // its edge); its size, and so the scale, stays as computed.
        left = std::clamp(left, 0, Source->width() - vw);
        top = std::clamp(top, 0, Source->height() - vh);
        const QRect target(0, 0, std::min(width, sw), std::min(height, sh));
        const QImage part = StretchRect(*Source, QRect(left, top, vw, vh), target, 4);
        painter.drawImage(origin, part);
        drawn = QRect(origin, part.size());
    } else {
        // A block of (Width - 1) x (Height - 1) pixels from the display copy;
        // what lies beyond the copy shows the background.
        const int sx = sw < width ? 0 : ScrollPos.x();
        const int sy = sh < height ? 0 : ScrollPos.y();
        const QRect block(sx, sy, width - 1, height - 1);
        const QRect inside = block.intersected(Display.rect());
        drawn = QRect(origin, block.size());
        painter.fillRect(drawn, BackColor());
        if (!inside.isEmpty())
            painter.drawImage(origin + (inside.topLeft() - block.topLeft()), Display, inside);
    }
    painter.end();
    Canvas->Changed(drawn);
}

void TZorvinView::PaintAnimation()
{
    if (!Animation)
        return;
    QSize size = Animation->CanvasSize;
    if (size.width() > ViewArea.Width || size.height() > ViewArea.Height || Options->EnlargePicture)
        size = FitSize(size.width(), size.height(), ViewArea.Width, ViewArea.Height);
    const QRect rect(DrawOrigin(size.width(), size.height()), size);
    Player = std::make_unique<TGifPlayer>(*Animation, size, [this, rect](const QImage& frame) {
        QPainter painter(&Canvas->Picture());
        painter.fillRect(rect, BackColor());
        painter.drawImage(rect.topLeft(), frame);
        painter.end();
        Canvas->Changed(rect);
    });
    Player->Start();
}

void TZorvinView::StopAnimation()
{
    if (Player)
        Player->Stop();
    Player.reset();
}

void TZorvinView::Redraw()
{
    if (Animation) {
        UpdateArea();
        Clear();
        StopAnimation();
        PaintAnimation();
    } else if (Source) {
        UpdateArea();
        BuildDisplay();
        Clear();
        PaintStill();
    } else {
        return;
    }
    if (OnPainted)
        OnPainted(this);
}

void TZorvinView::RefreshView(bool full)
{
    if (!HasImage())
        return;
    if (full) {
        Redraw();
    } else if (Animation) {
        Clear();
        StopAnimation();
        PaintAnimation();  // starts over from the first frame
    } else {
        PaintStill();
    }
}

// ---- taking images over ---------------------------------------------------

void TZorvinView::ClearImage()
{
    Source.reset();
    Display = QImage();
    if (OnPainted)
        OnPainted(this);
    Clear();
}

void TZorvinView::AcceptImage(const std::shared_ptr<TBufImage>& slot)
{
    StopAnimation();
    Animation.reset();
    QImage picture;
    if (!slot || !List->TakePicture(slot, &picture)) {
        ClearImage();
        return;
    }
    UpdateArea();
    Source.reset();
    if (Options->ResetZoom)
        SetActualSize(false);  // draws nothing: there is no image at this point
    ScrollPos = QPoint(0, 0);
    Source = picture;
    Display = QImage();
    if (Options->ShrinkMode == 3 || Options->ShrinkMode == 4) {
        Redraw();
    } else {
        // Two stages: the fast reduction at once, then the quality one over it.
        Options->ShrinkMode = 3;
        Redraw();
        Canvas->Flush();
        Options->ShrinkMode = 4;
        BuildDisplay();
        PaintStill();
        Options->ShrinkMode = 2;
    }
    if (OnImageChanged)
        OnImageChanged(this);
}

void TZorvinView::AcceptAnimation(std::unique_ptr<TGifAnimation> animation)
{
    StopAnimation();
    Animation.reset();
    if (!animation || animation->FrameCount() == 0) {
        ClearImage();
        return;
    }
    Animation = std::move(animation);
    Source.reset();
    UpdateArea();
    Clear();
    PaintAnimation();
    if (OnImageChanged)
        OnImageChanged(this);
    if (OnPainted)
        OnPainted(this);
}

// ---- the current image ----------------------------------------------------

int TZorvinView::ImageWidth() const
{
    if (Animation)
        return Animation->CanvasSize.width();
    return Source ? Source->width() : -1;
}

int TZorvinView::ImageHeight() const
{
    if (Animation)
        return Animation->CanvasSize.height();
    return Source ? Source->height() : -1;
}

const QImage* TZorvinView::SourceBitmap() const
{
    return Source && !Animation ? &*Source : nullptr;
}

const QImage* TZorvinView::DisplayBitmap()
{
    if (Animation)
        return Player ? &Player->CurrentFrameImage() : nullptr;
    return Source ? &Display : nullptr;
}

void TZorvinView::RotateCurrentLeft()
{
    List->RotateLeft();
}

void TZorvinView::RotateCurrentRight()
{
    List->RotateRight();
}

void TZorvinView::DeleteCurrent()
{
    List->DeleteCurrent();
}

void TZorvinView::RemoveCurrent()
{
    List->RemoveCurrent();
}

void TZorvinView::SetAutoRotate(bool on)
{
    List->SetAutoRotate(on);
}

void TZorvinView::SetSortOrder(uint8_t order, bool ascending)
{
    List->SetSort(order, ascending);
}

void TZorvinView::RefreshList()
{
    List->Refresh();
}
