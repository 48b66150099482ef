#pragma once

// GIF bytes to pictures, through giflib's record API and a compositor of our
// own. Pure functions of the bytes: no settings, no state.

#include <QImage>
#include <QSize>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "decode/PictureLimits.h"

// An animated GIF ready to play: every frame is the whole canvas as it looks
// while that frame is shown (disposal of the frames before it applied), so a
// player only draws Frame(i) for Delay(i) milliseconds.
class TGifAnimation {
public:
    QSize CanvasSize;
    std::vector<QImage> Frames;  // Format_ARGB32_Premultiplied, CanvasSize each
    std::vector<int> Delays;     // milliseconds, one per frame
    // The NETSCAPE2.0 (or ANIMEXTS1.0) loop count: -1 when the file has none,
    // 0 for ever, n > 0 to repeat the animation n more times.
    int LoopCount = -1;

    int FrameCount() const { return int(Frames.size()); }
    const QImage& Frame(int i) const { return Frames[size_t(i)]; }
    int Delay(int i) const { return Delays[size_t(i)]; }
    // How many times the whole animation plays; 0 means for ever. As in the
    // browsers, a loop count n plays n + 1 times and no count plays once.
    int PlayCount() const { return LoopCount < 0 ? 1 : LoopCount == 0 ? 0 : LoopCount + 1; }
};

namespace GifDecoder {

enum class TGifStatus {
    Ok,
    Unreadable,  // not a GIF, or damaged before the first frame was complete
    TooLarge,    // the canvas, or all frames together, exceed the limits
};

// The composited frames of one animation may take at most this many bytes
// (frame count x canvas width x canvas height x 4). A crafted file of a few
// kilobytes can declare thousands of frames on a big canvas; beyond the bound
// the animation is refused rather than truncated, since a shortened loop would
// look like a different animation. 1 GiB holds 1000 frames of 500 x 500 or
// 129 frames of 1920 x 1080.
constexpr int64_t MaxAnimationBytes = int64_t(1) << 30;

struct TGifLimits {
    // The canvas (the file's logical screen) is refused beyond this many
    // pixels, besides PictureLimits' own refusal.
    int64_t MaxCanvasPixels = PictureLimits::MaxSide * PictureLimits::MaxSide;
    int64_t MaxAnimationBytes = GifDecoder::MaxAnimationBytes;
};

// A delay of 0 or 1 hundredth of a second plays as 100 ms, as browsers do:
// such files were made for browsers and race otherwise. Longer delays play
// as written.
int DelayMs(int centiseconds);

struct TGifStill {
    TGifStatus Status = TGifStatus::Unreadable;
    // Image descriptors seen: 0, 1, or 2 (the walk stops at the second).
    int FrameCount = 0;
    // The only frame on the whole canvas when FrameCount is 1: RGB32 when
    // every pixel is opaque, else ARGB32_Premultiplied with the parts the
    // frame does not cover transparent.
    QImage Picture;
};

// For the slot: decodes the first frame and stops at a second one.
TGifStill DecodeStill(const uint8_t* data, size_t size, const TGifLimits& limits = {});

// Every frame, composited. A frame whose data is damaged ends the animation
// after the complete frames before it; with no complete frame, or over the
// limits, the result is null.
std::unique_ptr<TGifAnimation> DecodeAnimation(const uint8_t* data, size_t size,
                                               const TGifLimits& limits = {});

} // namespace GifDecoder

// Reads a GIF file completely as an animation for the player; null when the
// file cannot be read or holds no complete frame. The caller owns the result.
std::unique_ptr<TGifAnimation> LoadGifFile(const QString& path);
