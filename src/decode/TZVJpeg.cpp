#include "decode/FileBytes.h"
#include "decode/JpegDecoder.h"
#include "decode/ZVRotateImage.h"
#include "decode/uImageReaders.h"

#include <exception>

// Files larger than this are not read: no JPEG that decodes within the
// picture limits needs so many bytes.
static constexpr int64_t JpegReadLimit = int64_t(1) << 30;

void TZVJpeg::Read()
{
    if (Stream && Slot) {
        try {
            // Only a file that starts with the JPEG start marker is copied into
            // memory: a large file of another kind misnamed .jpg is not read.
            if (Stream->peek(2) == QByteArray("\xFF\xD8", 2)) {
                const QByteArray bytes = ReadFileBytes(*Stream, JpegReadLimit);
                auto result = JpegDecoder::Decode(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                                  size_t(bytes.size()), ScreenSize);
                if (result.Status == JpegDecoder::TJpegStatus::Ok)
                    Slot->Bitmap = std::move(result.Picture);
            }
        } catch (const std::exception&) {
            // Out of memory for the file's bytes: the slot stays empty.
        }
    }
    TZVImageReader::Read();
    // The file is closed: the EXIF reader opens it again by name. A failed
    // decode has nothing to turn.
    if (AutoRotate && Slot && !Slot->Bitmap.isNull())
        TZVRotateImage(Slot).AutoRotate(FileName);
}
