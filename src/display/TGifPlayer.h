#pragma once

#include <QImage>
#include <QObject>
#include <QRect>
#include <QTimer>
#include <functional>
#include <vector>

class TGifAnimation;

// Plays an animation on the main thread: each frame, scaled to the target
// size once, is handed to a drawing function for its delay divided by 1.2
// (played at 120 % speed), looping for ever whatever the file's loop count.
class TGifPlayer : public QObject {
public:
    static constexpr int SpeedPercent = 120;
    using TDrawFrame = std::function<void(const QImage& frame)>;

    // The animation must outlive the player.
    TGifPlayer(const TGifAnimation& animation, QSize size, TDrawFrame draw);

    void Start();  // from the first frame
    void Stop();
    int CurrentFrame() const { return Current; }
    const QImage& CurrentFrameImage();
    static int PlayedDelay(int delayMs);

private:
    void Show();
    const QImage& Scaled(int frame);

    const TGifAnimation& Animation;
    QSize Size;
    TDrawFrame Draw;
    std::vector<QImage> ScaledFrames;
    QTimer Timer;
    int Current = 0;
};
