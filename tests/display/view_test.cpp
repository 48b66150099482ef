// The view painted into a picture of known size: zoom, displayed size,
// origin, scrolling, the enlargement and reduction paths, and animations.

#include <QCoreApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "GuiApp.h"
#include "decode/GifDecoder.h"
#include "display/TGifPlayer.h"
#include "display/TInfoMessage.h"
#include "display/uZorvinView.h"
#include "settings/uOption.h"

namespace {

class TPictureCanvas : public IViewCanvas {
public:
    explicit TPictureCanvas(QSize size) : Canvas(size, QImage::Format_RGB32) { Canvas.fill(Qt::magenta); }
    QImage& Picture() override { return Canvas; }
    void Changed(const QRect&) override
    {
        if (KeepSnapshots)
            Snapshots.push_back(Canvas.copy());
    }
    // What was on screen when the view asked for it to be shown at once.
    void Flush() override { Flushed.push_back(Canvas.copy()); }
    QImage Canvas;
    bool KeepSnapshots = false;
    std::vector<QImage> Snapshots;
    std::vector<QImage> Flushed;
};

// A picture whose colour tells where a pixel came from: red = x, green = y.
QImage Gradient(int w, int h)
{
    QImage p(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(p.scanLine(y));
        for (int x = 0; x < w; ++x)
            row[x] = qRgb(x * 255 / std::max(1, w - 1), y * 255 / std::max(1, h - 1), 128);
    }
    return p;
}

QImage Solid(int w, int h, QColor c)
{
    QImage p(w, h, QImage::Format_RGB32);
    p.fill(c);
    return p;
}

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureGuiApp(); }

    void Open(QSize client)
    {
        Canvas = std::make_unique<TPictureCanvas>(client);
        View = std::make_unique<TZorvinView>(Canvas.get());
        View->OnGetArea = [this](TZorvinView*, TViewArea& a) {
            a.Top = Top;
            a.Left = 0;
            a.Right = Canvas->Canvas.width();
            a.Bottom = Canvas->Canvas.height();
            a.Height = a.Bottom - a.Top + 1;
            a.Width = a.Right - a.Left + 1;
        };
        View->OnPainted = [this](TZorvinView*) { ++Painted; };
        View->Init(&Options, TDecodeParams{}, [](int, quintptr, qintptr) {},
                   [](TBufImage*, const QString&, bool) {});
    }

    void Show(const QImage& picture)
    {
        auto slot = std::make_shared<TBufImage>();
        slot->Bitmap = picture;
        slot->Loaded = true;
        View->AcceptImage(slot);
    }

    QRgb At(int x, int y) const { return Canvas->Canvas.pixel(x, y) & 0xFFFFFF; }

    TOption Options{QString(), QSize(1920, 1080)};
    std::unique_ptr<TPictureCanvas> Canvas;
    std::unique_ptr<TZorvinView> View;
    int Top = 0;
    int Painted = 0;
};

struct FitCase {
    const char* Title;
    QSize Client;
    QSize Picture;
    bool Enlarge;
    int Zoom;
    QSize ScaledSize;
    QPoint Origin;  // where the picture's top-left lands
};

TEST_F(ViewTest, FitZoomSizeAndOrigin)
{
    const FitCase cases[] = {
        {"half of 1600 x 1200 fills 800 x 600", {800, 600}, {1600, 1200}, false, 50, {800, 600}, {0, 0}},
        {"26 % is larger than the client: drawn from the top-left", {1024, 768}, {4000, 3000}, false, 26,
         {1040, 780}, {0, 0}},
        {"small picture centred at 100 %", {800, 600}, {100, 50}, false, 100, {100, 50}, {350, 275}},
        {"enlarged: 801 x 50 x 0.01 = 400.5 rounds to the even 400", {800, 600}, {100, 50}, true, 801,
         {801, 400}, {0, 100}},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.Title);
        Options.EnlargePicture = c.Enlarge;
        Open(c.Client);
        Show(Gradient(c.Picture.width(), c.Picture.height()));
        EXPECT_EQ(View->Zoom(), c.Zoom);
        EXPECT_EQ(QSize(View->ScaledWidth(), View->ScaledHeight()), c.ScaledSize);
        // The picture's top-left pixel is dark (red 0, green 0); the area
        // around it shows the background (black here, so look one pixel in).
        const QRgb corner = At(c.Origin.x(), c.Origin.y());
        EXPECT_LT(qRed(corner), 8);
        EXPECT_LT(qGreen(corner), 8);
        EXPECT_GT(qBlue(corner), 100);
        if (c.Origin.x() > 0)
            EXPECT_EQ(At(c.Origin.x() - 1, c.Origin.y()), 0u) << "background left of the picture";
    }
}

TEST_F(ViewTest, ScrollingStopsAtTheEdgeAndDropsAStepThatWouldPassIt)
{
    Open({1024, 768});
    Show(Gradient(4000, 3000));  // 1040 x 780 in an area of 1025 x 769
    for (int i = 0; i < 40; ++i)
        View->ScrollBy(1, 1);
    EXPECT_EQ(View->Scroll(), QPoint(15, 11));

    Options.EnlargePicture = false;
    Open({800, 600});
    Show(Gradient(1000, 400));
    View->SetActualSize(true);  // 1000 wide in Width 801: scroll X up to 199
    View->ScrollBy(160, 0);
    EXPECT_EQ(View->Scroll().x(), 160);
    View->ScrollBy(50, 0);
    EXPECT_EQ(View->Scroll().x(), 160) << "210 + 800 passes 1000: dropped whole";
    View->ScrollBy(20, 0);
    EXPECT_EQ(View->Scroll().x(), 180);
    View->ScrollBy(0, 30);
    EXPECT_EQ(View->Scroll().y(), 0) << "no vertical scrolling when the picture is lower than the area";
    // The block copy shows the source shifted by the scroll, and the
    // background below the picture.
    EXPECT_EQ(qRed(At(0, 100)), 180 * 255 / 999);
    EXPECT_EQ(At(10, 599), 0u);
}

TEST_F(ViewTest, ZoomSteps)
{
    EXPECT_EQ(TZorvinView::ZoomInStep(12), 30);
    EXPECT_EQ(TZorvinView::ZoomInStep(100), 150);
    EXPECT_EQ(TZorvinView::ZoomInStep(2000), -1);
    EXPECT_EQ(TZorvinView::ZoomOutStep(30), -1);
    EXPECT_EQ(TZorvinView::ZoomOutStep(26), -1);
    EXPECT_EQ(TZorvinView::ZoomOutStep(100), 70);
}

TEST_F(ViewTest, ZoomToRecentresAndAUserZoomCarriesOverUnlessResetZoom)
{
    Open({800, 600});
    Show(Gradient(1600, 1200));
    ASSERT_EQ(View->Zoom(), 50);
    View->ZoomTo(200);  // the centre (400, 300) in scaled pixels = (800, 600) in the source
    EXPECT_EQ(View->Zoom(), 200);
    EXPECT_TRUE(View->Zoomed());
    EXPECT_EQ(QSize(View->ScaledWidth(), View->ScaledHeight()), QSize(3200, 2400));
    // Centre (800, 600) in source pixels, 400 x 300 source pixels visible:
    // scroll (1200, 900). Zooming in examines only the horizontal axis against
    // the old scaled width (801 >= 800), which puts scroll X back to 0.
    EXPECT_EQ(View->Scroll(), QPoint(0, 900));
    // The enlarged paint shows source column 200 and row 600 at the centre.
    EXPECT_NEAR(qRed(At(400, 300)), 200 * 255 / 1599, 2);
    EXPECT_NEAR(qGreen(At(400, 300)), 600 * 255 / 1199, 2);

    Show(Gradient(1600, 1200));
    EXPECT_EQ(View->Zoom(), 200) << "ResetZoom off: the zoom carries over";
    Options.ResetZoom = true;
    Show(Gradient(1600, 1200));
    EXPECT_EQ(View->Zoom(), 50) << "ResetZoom on: fitted again";
    EXPECT_FALSE(View->Zoomed());
}

TEST_F(ViewTest, APictureOver200TimesWiderThanTheAreaGetsZoomZeroAndDrawsNothing)
{
    Open({100, 100});
    Show(Solid(30000, 10, Qt::red));
    EXPECT_EQ(View->Zoom(), 0);
    EXPECT_EQ(At(50, 50), 0u);
    View->ZoomTo(30);  // from zoom 0: must not fail
    EXPECT_EQ(View->Zoom(), 30);
    EXPECT_EQ(View->Scroll().y(), 0);
}

TEST_F(ViewTest, TwoStageModePaintsTheFastReductionThenTheQualityOne)
{
    Options.ShrinkMode = 2;
    Open({100, 100});
    Canvas->KeepSnapshots = true;
    // Fine stripes: dropping rows and columns keeps pure colours, averaging
    // gives grey.
    QImage stripes(400, 400, QImage::Format_RGB32);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 400; ++x)
            stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    Show(stripes);
    ASSERT_GE(Canvas->Snapshots.size(), 3u);
    const QImage& fast = Canvas->Snapshots[Canvas->Snapshots.size() - 2];
    const QImage& quality = Canvas->Snapshots.back();
    ASSERT_EQ(Canvas->Flushed.size(), 1u) << "the fast picture is put on screen before the quality one is made";
    EXPECT_EQ(Canvas->Flushed[0], fast);
    const int fastGrey = qRed(fast.pixel(50, 50));
    EXPECT_TRUE(fastGrey == 0 || fastGrey == 255) << "speed mode keeps whole source pixels";
    EXPECT_NEAR(qRed(quality.pixel(50, 50)), 128, 2) << "quality mode averages";
    EXPECT_EQ(Options.ShrinkMode, 2);
}

TEST_F(ViewTest, AFailedDecodeClearsTheViewButCountsAsAnImage)
{
    Open({200, 100});
    Show(Solid(50, 50, Qt::red));
    Show(QImage());
    EXPECT_TRUE(View->HasImage());
    EXPECT_EQ(View->ImageWidth(), 0);
    EXPECT_EQ(At(100, 50), 0u);
    View->AcceptImage(nullptr);
    EXPECT_FALSE(View->HasImage());
    EXPECT_EQ(View->ImageWidth(), -1);
}

TEST_F(ViewTest, AnAnimationIsCentredAndARepaintStartsItOver)
{
    Open({300, 200});
    auto animation = std::make_unique<TGifAnimation>();
    animation->CanvasSize = QSize(40, 20);
    for (QColor c : {QColor(Qt::red), QColor(Qt::green)}) {
        QImage frame(40, 20, QImage::Format_ARGB32_Premultiplied);
        frame.fill(c);
        animation->Frames.push_back(frame);
        animation->Delays.push_back(100);
    }
    View->AcceptAnimation(std::move(animation));
    EXPECT_EQ(View->ImageWidth(), 40);
    EXPECT_EQ(At(130, 90), qRgb(255, 0, 0) & 0xFFFFFF);  // origin (130, 90)
    EXPECT_EQ(At(129, 90), 0u);
    View->ZoomTo(300);
    EXPECT_EQ(At(130, 90), qRgb(255, 0, 0) & 0xFFFFFF) << "zoom does not apply to animations";
    EXPECT_EQ(TGifPlayer::PlayedDelay(100), 83);
}

struct OverlayCase {
    uint32_t BackColor;  // 0x00BBGGRR
    QRgb Text;
};

TEST_F(ViewTest, LoadingMessageStandsInTheInverseColourOnAnOpaqueBox)
{
    const OverlayCase cases[] = {
        {0x000000, qRgb(255, 255, 255)},
        {0xFFFFFF, qRgb(0, 0, 0)},
        {0x8000FF, qRgb(0, 255, 127)},  // background (255, 0, 128)
    };
    for (const OverlayCase& c : cases) {
        QImage canvas(400, 300, QImage::Format_RGB32);
        canvas.fill(Qt::blue);
        TInfoMessage message(&canvas, c.BackColor, QFont());
        message.Right = 400;
        message.Bottom = 300;
        const QRect box = message.DrawMessage(QStringLiteral("IMG_0001.JPG を読み込んでいます..."));
        ASSERT_FALSE(box.isEmpty());
        EXPECT_EQ(box.right() + 1, 400 - 10);
        EXPECT_EQ(box.top(), 300 - 25);
        const QRgb back = qRgb(int(c.BackColor & 0xFF), int((c.BackColor >> 8) & 0xFF), int(c.BackColor >> 16));
        int text = 0;
        int other = 0;
        for (int y = box.top(); y <= box.bottom(); ++y) {
            for (int x = box.left(); x <= box.right(); ++x) {
                const QRgb p = canvas.pixel(x, y) & 0xFFFFFF;
                text += p == (c.Text & 0xFFFFFF);
                other += p != (c.Text & 0xFFFFFF) && p != (back & 0xFFFFFF);
            }
        }
        EXPECT_GT(text, 20) << "glyph pixels in the inverse colour";
        EXPECT_EQ(canvas.pixel(box.left() - 1, box.top()), QColor(Qt::blue).rgb()) << "nothing left of the box";
        (void)other;  // anti-aliased edges blend the two colours
    }
    QImage canvas(10, 10, QImage::Format_RGB32);
    TInfoMessage empty(&canvas, 0, QFont());
    EXPECT_TRUE(empty.DrawMessage(QString()).isEmpty());
}

} // namespace
