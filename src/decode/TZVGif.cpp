#include "decode/FileBytes.h"
#include "decode/GifDecoder.h"
#include "decode/uImageReaders.h"

#include <exception>

// A GIF is read whole into memory: giflib needs every byte up to the last
// frame, and no file that decodes within the limits is larger than this.
static constexpr int64_t GifReadLimit = int64_t(1) << 30;

static bool LooksLikeGif(QFile& file)
{
    return file.peek(3) == "GIF";
}

void TZVGif::Read()
{
    if (Stream && Slot) {
        try {
            if (LooksLikeGif(*Stream)) {
                const QByteArray bytes = ReadFileBytes(*Stream, GifReadLimit);
                auto still = GifDecoder::DecodeStill(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                                     size_t(bytes.size()));
                if (still.Status == GifDecoder::TGifStatus::Ok) {
                    if (still.FrameCount == 1)
                        Slot->Bitmap = std::move(still.Picture);
                    else
                        // No frame, or two and more: the animation is read
                        // again with LoadGifFile when the slot is shown.
                        Slot->Animated = true;
                }
            }
        } catch (const std::exception&) {
            // Out of memory for the file's bytes: the slot stays empty.
        }
    }
    TZVImageReader::Read();
}

std::unique_ptr<TGifAnimation> LoadGifFile(const QString& path)
{
    try {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || !LooksLikeGif(file))
            return nullptr;
        const QByteArray bytes = ReadFileBytes(file, GifReadLimit);
        file.close();
        return GifDecoder::DecodeAnimation(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                           size_t(bytes.size()));
    } catch (const std::exception&) {
        return nullptr;
    }
}
