#include "decode/GifDecoder.h"

#include "decode/PictureLimits.h"

#include <algorithm>
#include <cstring>

#include <gif_lib.h>

namespace GifDecoder {

int DelayMs(int centiseconds)
{
    return centiseconds <= 1 ? 100 : centiseconds * 10;
}

namespace {

struct TMemoryInput {
    const uint8_t* Data;
    size_t Size;
    size_t Pos;
};

int ReadMemory(GifFileType* gif, GifByteType* buffer, int length)
{
    auto* input = static_cast<TMemoryInput*>(gif->UserData);
    if (length <= 0)
        return 0;
    const size_t n = std::min(size_t(length), input->Size - input->Pos);
    std::memcpy(buffer, input->Data + input->Pos, n);
    input->Pos += n;
    return int(n);
}

struct TGifCloser {
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using TGifFile = std::unique_ptr<GifFileType, TGifCloser>;

enum class TWalkMode { Still, Animation };

// Draws frames on the canvas one after the other and applies each frame's
// disposal once it has been shown (GIF89a, section 23).
class TCompositor {
public:
    QImage Canvas;  // ARGB32_Premultiplied; parts no frame covered are transparent

    bool Allocate(int width, int height)
    {
        Canvas = PictureLimits::NewPicture(width, height, QImage::Format_ARGB32_Premultiplied);
        if (Canvas.isNull())
            return false;
        Canvas.fill(0);
        return true;
    }

    // Before the frame's pixels: remember what "restore to previous" returns to.
    void BeginFrame(int disposal)
    {
        if (disposal == DISPOSE_PREVIOUS)
            Previous = Canvas;  // shared; drawing the frame detaches the canvas
        else
            Previous = QImage();
    }

    // One decoded row of the frame, y in frame coordinates.
    void DrawRow(const GifPixelType* pixels, const GifImageDesc& desc, int y,
                 const uint32_t* palette, int transparent)
    {
        const int64_t cy = int64_t(desc.Top) + y;
        if (cy < 0 || cy >= Canvas.height())
            return;
        // Frames are clipped to the canvas.
        const int64_t left = desc.Left;
        const int64_t lastX = std::min<int64_t>(desc.Width, int64_t(Canvas.width()) - left);
        if (lastX <= 0)
            return;
        auto* row = reinterpret_cast<uint32_t*>(Canvas.scanLine(int(cy)));
        for (int64_t x = 0; x < lastX; ++x) {
            const GifPixelType index = pixels[x];
            if (int(index) != transparent)
                row[left + x] = palette[index];
        }
    }

    void EndFrame(int disposal, const GifImageDesc& desc)
    {
        if (disposal == DISPOSE_BACKGROUND) {
            // "Restore to background": browsers clear to transparent, and so do
            // we; the background colour index is ignored.
            const int64_t x0 = desc.Left, y0 = desc.Top;
            const int64_t x1 = std::min<int64_t>(x0 + desc.Width, Canvas.width());
            const int64_t y1 = std::min<int64_t>(y0 + desc.Height, Canvas.height());
            if (x0 >= x1)
                return;
            for (int64_t y = y0; y < y1; ++y) {
                auto* row = reinterpret_cast<uint32_t*>(Canvas.scanLine(int(y)));
                std::fill(row + x0, row + x1, 0u);
            }
        } else if (disposal == DISPOSE_PREVIOUS && !Previous.isNull()) {
            Canvas = Previous;
        }
        Previous = QImage();
    }

private:
    QImage Previous;
};

// The frame's colour table as opaque premultiplied pixels. An index beyond the
// table (or a frame with no table at all) draws black, as giflib's own tools
// and most browsers do.
void BuildPalette(const ColorMapObject* map, uint32_t* palette)
{
    std::fill(palette, palette + 256, 0xFF000000u);
    if (!map || !map->Colors)
        return;
    const int count = std::clamp(map->ColorCount, 0, 256);
    for (int i = 0; i < count; ++i) {
        const GifColorType& c = map->Colors[i];
        palette[i] = 0xFF000000u | (uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue;
    }
}

// Reads and throws away the rest of the frame's LZW data.
bool SkipFrameData(GifFileType* gif)
{
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR)
        return false;
    while (block)
        if (DGifGetCodeNext(gif, &block) == GIF_ERROR)
            return false;
    return true;
}

bool DecodeFrame(GifFileType* gif, TCompositor& compositor, const GraphicsControlBlock& gcb,
                 std::vector<GifPixelType>& line)
{
    const GifImageDesc desc = gif->Image;
    if (desc.Width <= 0 || desc.Height <= 0)
        return SkipFrameData(gif);

    uint32_t palette[256];
    BuildPalette(desc.ColorMap ? desc.ColorMap : gif->SColorMap, palette);
    line.resize(size_t(desc.Width));

    // Interlaced frames come in four passes: every 8th row from 0, every 8th
    // from 4, every 4th from 2, every 2nd from 1.
    static constexpr int Start[4] = {0, 4, 2, 1};
    static constexpr int Step[4] = {8, 8, 4, 2};
    const int passes = desc.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = desc.Interlace ? Start[pass] : 0;
        const int step = desc.Interlace ? Step[pass] : 1;
        for (int y = start; y < desc.Height; y += step) {
            if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR)
                return false;
            compositor.DrawRow(line.data(), desc, y, palette, gcb.TransparentColor);
        }
    }
    return true;
}

GraphicsControlBlock NoControl()
{
    GraphicsControlBlock gcb;
    gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
    gcb.UserInputFlag = false;
    gcb.DelayTime = 0;
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    return gcb;
}

// Reads an extension record; picks up the graphic control block for the
// next frame and the application loop count.
bool ReadExtension(GifFileType* gif, GraphicsControlBlock& gcb, int& loopCount)
{
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
        return false;
    bool loopBlock = false;
    if (block && code == GRAPHICS_EXT_FUNC_CODE) {
        // A malformed block (length other than 4) is ignored.
        GraphicsControlBlock read = NoControl();
        if (DGifExtensionToGCB(block[0], block + 1, &read) == GIF_OK)
            gcb = read;
    } else if (block && code == APPLICATION_EXT_FUNC_CODE && block[0] == 11) {
        loopBlock = std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0
                    || std::memcmp(block + 1, "ANIMEXTS1.0", 11) == 0;
    }
    for (;;) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
            return false;
        if (!block)
            return true;
        // Sub-block 1 of the looping extension: 1, then the count (LSB first).
        if (loopBlock && block[0] >= 3 && block[1] == 1) {
            loopCount = block[2] | (block[3] << 8);
            loopBlock = false;
        }
    }
}

struct TWalk {
    TGifStatus Status = TGifStatus::Unreadable;
    int FramesSeen = 0;
    QImage Still;
    std::unique_ptr<TGifAnimation> Animation;
};

TWalk Walk(const uint8_t* data, size_t size, TWalkMode mode, const TGifLimits& limits)
{
    TWalk walk;
    if (!data || size == 0)
        return walk;
    TMemoryInput input{data, size, 0};
    int error = 0;
    TGifFile gif(DGifOpen(&input, ReadMemory, &error));
    if (!gif)
        return walk;

    auto animation = std::make_unique<TGifAnimation>();
    TCompositor compositor;
    std::vector<GifPixelType> line;
    GraphicsControlBlock gcb = NoControl();
    int loopCount = -1;
    // A damaged record after at least one complete frame ends the file there.
    auto finish = [&](TGifStatus status) {
        walk.Status = status;
        if (status == TGifStatus::Unreadable && walk.FramesSeen > 0)
            walk.Status = TGifStatus::Ok;
        if (walk.Status != TGifStatus::Ok)
            return std::move(walk);
        if (mode == TWalkMode::Still) {
            walk.Still = compositor.Canvas;
        } else if (animation->FrameCount() > 0) {
            animation->LoopCount = loopCount;
            walk.Animation = std::move(animation);
        }
        return std::move(walk);
    };

    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR)
            return finish(TGifStatus::Unreadable);
        if (type == TERMINATE_RECORD_TYPE)
            return finish(TGifStatus::Ok);
        if (type == EXTENSION_RECORD_TYPE) {
            if (!ReadExtension(gif.get(), gcb, loopCount))
                return finish(TGifStatus::Unreadable);
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            return finish(TGifStatus::Unreadable);

        if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
            return finish(TGifStatus::Unreadable);
        if (mode == TWalkMode::Still && walk.FramesSeen == 1) {
            walk.FramesSeen = 2;
            walk.Status = TGifStatus::Ok;
            return walk;  // animated: the picture is not needed
        }

        if (compositor.Canvas.isNull()) {
            // A file whose logical screen is empty takes the first frame's extent.
            int64_t width = gif->SWidth, height = gif->SHeight;
            if (width <= 0 || height <= 0) {
                width = int64_t(gif->Image.Left) + gif->Image.Width;
                height = int64_t(gif->Image.Top) + gif->Image.Height;
            }
            if (width * height > limits.MaxCanvasPixels
                || !compositor.Allocate(int(std::min<int64_t>(width, INT32_MAX)),
                                     int(std::min<int64_t>(height, INT32_MAX))))
                return finish(TGifStatus::TooLarge);
            animation->CanvasSize = compositor.Canvas.size();
        }
        const int64_t canvasBytes = compositor.Canvas.sizeInBytes();
        if (mode == TWalkMode::Animation
            && (int64_t(animation->FrameCount()) + 1) * canvasBytes > limits.MaxAnimationBytes)
            return finish(TGifStatus::TooLarge);

        const int disposal = gcb.DisposalMode;
        compositor.BeginFrame(disposal);
        if (!DecodeFrame(gif.get(), compositor, gcb, line))
            return finish(TGifStatus::Unreadable);
        ++walk.FramesSeen;
        if (mode == TWalkMode::Animation) {
            animation->Frames.push_back(compositor.Canvas);
            animation->Delays.push_back(DelayMs(gcb.DelayTime));
            compositor.EndFrame(disposal, gif->Image);
        }
        gcb = NoControl();
    }
}

} // namespace

TGifStill DecodeStill(const uint8_t* data, size_t size, const TGifLimits& limits)
{
    TWalk walk = Walk(data, size, TWalkMode::Still, limits);
    TGifStill still;
    still.Status = walk.Status;
    still.FrameCount = walk.FramesSeen;
    if (walk.Status != TGifStatus::Ok || walk.FramesSeen != 1)
        return still;

    QImage picture = std::move(walk.Still);
    bool opaque = true;
    for (int y = 0; y < picture.height() && opaque; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            if ((row[x] >> 24) != 0xFF) {
                opaque = false;
                break;
            }
    }
    // Opaque premultiplied pixels are already RGB32 pixels: no conversion pass.
    if (opaque)
        picture.reinterpretAsFormat(QImage::Format_RGB32);
    still.Picture = std::move(picture);
    return still;
}

std::unique_ptr<TGifAnimation> DecodeAnimation(const uint8_t* data, size_t size,
                                               const TGifLimits& limits)
{
    return Walk(data, size, TWalkMode::Animation, limits).Animation;
}

} // namespace GifDecoder
