#include "display/TGifPlayer.h"

#include "decode/GifDecoder.h"
#include "display/uImageUtils.h"

TGifPlayer::TGifPlayer(const TGifAnimation& animation, QSize size, TDrawFrame draw)
    : Animation(animation), Size(size), Draw(std::move(draw)),
      ScaledFrames(size_t(animation.FrameCount()))
{
    Timer.setSingleShot(true);
    Timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&Timer, &QTimer::timeout, this, [this] {
        Current = (Current + 1) % Animation.FrameCount();
        Show();
    });
}

int TGifPlayer::PlayedDelay(int delayMs)
{
    return delayMs * 100 / SpeedPercent;
}

void TGifPlayer::Start()
{
    Timer.stop();
    Current = 0;
    if (Animation.FrameCount() > 0)
        Show();
}

void TGifPlayer::Stop()
{
    Timer.stop();
}

const QImage& TGifPlayer::CurrentFrameImage()
{
    return Scaled(Current);
}

// Frames are scaled to the target once, when first shown.
const QImage& TGifPlayer::Scaled(int frame)
{
    QImage& scaled = ScaledFrames[size_t(frame)];
    if (scaled.isNull()) {
        const QImage& original = Animation.Frame(frame);
        scaled = original.size() == Size ? original : StretchBitmap(original, Size.width(), Size.height(), 4);
    }
    return scaled;
}

void TGifPlayer::Show()
{
    Draw(Scaled(Current));
    if (Animation.FrameCount() > 1)
        Timer.start(PlayedDelay(Animation.Delay(Current)));
}
