// The EXIF reader over bytes in memory: once as a whole file (the APP1
// search included) and once with the bytes taken as the TIFF structure of an
// APP1 segment, so the fuzzer spends its time in the directory parser.
// Errors are suppressed through OnError; every entry's values are touched
// so a value block shorter than its count shows up.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "decode/ExifInfo.h"
#include "decode/MzFileUtils.h"

namespace {

void Touch(const TEntryItems& items)
{
    volatile uint64_t sum = 0;
    for (int i = 0; i < items.Count(); ++i) {
        const TEntryItem& e = items[i];
        const int last = e.Count > 0 ? int(std::min<uint32_t>(e.Count, 1u << 20) - 1) : 0;
        sum = sum + e.GetByte(last) + uint8_t(e.GetSByte(last)) + e.GetShort(last) + e.GetLong(last)
              + uint16_t(e.GetSShort(last)) + uint32_t(e.GetSLong(last)) + e.GetRational(last).Denominator
              + uint32_t(e.GetSRational(last).Numerator) + uint64_t(e.GetFloat(last) != 0.0f)
              + uint64_t(e.GetDouble(last) != 0.0) + uint64_t(e.GetText().size()) + uint64_t(e.GetBlock().size());
    }
}

void Parse(const uint8_t* data, size_t size)
{
    TExifInfo info;
    info.OnError = [](TExifInfo*, int, bool& allowError) { allowError = false; };
    TMzMemoryStream stream(data, size);
    info.LoadFromStream(stream);
    volatile int orientation = info.Orientation();
    (void)orientation;
    Touch(info.Entries);
    Touch(info.ThumbnailEntries);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Parse(data, size);
    static const uint8_t app1[] = {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x00, 'E', 'x', 'i', 'f', 0, 0};
    std::vector<uint8_t> jpeg(app1, app1 + sizeof app1);
    jpeg.insert(jpeg.end(), data, data + size);
    Parse(jpeg.data(), jpeg.size());
    return 0;
}
