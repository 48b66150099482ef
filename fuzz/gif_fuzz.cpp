// The GIF reader on arbitrary bytes: the still path the slot uses and the
// whole compositor the player uses. The canvas is capped at a million pixels
// and an animation at 64 MiB so that the fuzzer spends its time on parsing
// rather than on filling big canvases; the reader's own limits are tested in
// tests/decode/gif_test.cpp.
#include <cstddef>
#include <cstdint>

#include "decode/GifDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    GifDecoder::TGifLimits limits;
    limits.MaxCanvasPixels = int64_t(1) << 20;
    limits.MaxAnimationBytes = int64_t(64) << 20;

    const GifDecoder::TGifStill still = GifDecoder::DecodeStill(data, size, limits);
    if (!still.Picture.isNull()) {
        if (still.FrameCount != 1)
            __builtin_trap();
        volatile QRgb last = still.Picture.pixel(still.Picture.width() - 1, still.Picture.height() - 1);
        (void)last;
    }

    const auto animation = GifDecoder::DecodeAnimation(data, size, limits);
    if (animation) {
        if (animation->FrameCount() < 1 || animation->Delays.size() != animation->Frames.size())
            __builtin_trap();
        for (const QImage& frame : animation->Frames) {
            if (frame.size() != animation->CanvasSize)
                __builtin_trap();
            volatile QRgb last = frame.pixel(frame.width() - 1, frame.height() - 1);
            (void)last;
        }
    }
    return 0;
}
