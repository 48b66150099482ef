#include "decode/JpegDecoder.h"

#include "decode/PictureLimits.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <cstring>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace JpegDecoder {

int ScaleDenominator(QSize imageSize, QSize screenSize)
{
    if (screenSize.width() <= 0 || screenSize.height() <= 0 || imageSize.isEmpty())
        return 1;
    const double rw = double(imageSize.width()) / double(screenSize.width());
    const double rh = double(imageSize.height()) / double(screenSize.height());
    const double r = rw < rh ? rw : rh;
    if (r > 8)
        return 8;
    if (r > 4)
        return 4;
    if (r > 2)
        return 2;
    return 1;
}

QSize ScaledSize(QSize imageSize, int denominator)
{
    if (denominator <= 1)
        return imageSize;
    return QSize((imageSize.width() + denominator - 1) / denominator,
                 (imageSize.height() + denominator - 1) / denominator);
}

namespace {

// libjpeg's default error_exit calls exit(); ours jumps back to the decode,
// which then reports the failure. Messages are never printed.
struct TErrorManager {
    jpeg_error_mgr Pub;
    jmp_buf Jump;
    TJpegStatus Failure;
    bool RanOut;  // the source reached the end of the data
};

struct TProgress {
    jpeg_progress_mgr Pub;
    int MaxScans;
};

void Fail(j_common_ptr cinfo, TJpegStatus status)
{
    auto* err = reinterpret_cast<TErrorManager*>(cinfo->err);
    err->Failure = status;
    longjmp(err->Jump, 1);
}

void OnErrorExit(j_common_ptr cinfo)
{
    Fail(cinfo, TJpegStatus::Unreadable);
}

// libjpeg warns and goes on with invented data when the file is damaged. We
// keep that picture for damage inside the data, but refuse a file that ends
// before the picture does. The source warns when it reaches the end, yet a
// Huffman decoder reads ahead, so a complete picture without its end marker
// warns too; only a Huffman decoder that then really needs the missing bits
// ("premature end of data segment" after the end) proves a truncated picture.
// The arithmetic decoder reads no further than it needs and never says so.
void OnEmitMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return;  // trace messages
    auto* err = reinterpret_cast<TErrorManager*>(cinfo->err);
    const int code = cinfo->err->msg_code;
    if (code == JWRN_JPEG_EOF) {
        err->RanOut = true;
        if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->arith_code)
            Fail(cinfo, TJpegStatus::Truncated);
    } else if (code == JWRN_HIT_MARKER && err->RanOut) {
        Fail(cinfo, TJpegStatus::Truncated);
    }
    cinfo->err->num_warnings++;
}

void OnOutputMessage(j_common_ptr) {}

void OnProgress(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    auto* progress = reinterpret_cast<TProgress*>(cinfo->progress);
    if (dinfo->input_scan_number > progress->MaxScans)
        Fail(cinfo, TJpegStatus::Unreadable);
}

inline uint8_t Mul255(unsigned a, unsigned b)
{
    const unsigned t = a * b + 128;
    return uint8_t((t + (t >> 8)) >> 8);
}

// CMYK from libjpeg (YCCK arrives converted to CMYK) to 0xFFRRGGBB. Files with
// Adobe's APP14 marker (every CMYK/YCCK file that Photoshop and ImageMagick
// write) store the inks inverted: 255 means no ink.
void CmykRowToRgb32(const uint8_t* src, uint32_t* dst, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, src += 4) {
        unsigned c = src[0], m = src[1], y = src[2], k = src[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        dst[x] = 0xFF000000u | (uint32_t(Mul255(c, k)) << 16) | (uint32_t(Mul255(m, k)) << 8)
                 | uint32_t(Mul255(y, k));
    }
}

// Everything that must survive a longjmp lives here, outside the function that
// calls setjmp, so no object with a destructor is skipped by the jump.
struct TDecodeState {
    jpeg_decompress_struct Info;
    TErrorManager Error;
    TProgress Progress;
    QImage Picture;
    std::vector<uint8_t> CmykRows;
    QSize ImageSize;
};

bool DecodeInto(TDecodeState& s, const uint8_t* data, size_t size, QSize screenSize,
                const TJpegLimits& limits)
{
    j_decompress_ptr cinfo = &s.Info;
    if (setjmp(s.Error.Jump))
        return false;

    jpeg_create_decompress(cinfo);
    cinfo->mem->max_memory_to_use = limits.MaxDecoderMemory;
    s.Progress.Pub.progress_monitor = OnProgress;
    s.Progress.MaxScans = limits.MaxScans;
    cinfo->progress = &s.Progress.Pub;

    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK)
        return false;
    s.ImageSize = QSize(int(cinfo->image_width), int(cinfo->image_height));

    cinfo->scale_num = 1;
    cinfo->scale_denom = unsigned(ScaleDenominator(s.ImageSize, screenSize));
    cinfo->dct_method = JDCT_ISLOW;
    cinfo->do_fancy_upsampling = TRUE;
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    // Format_RGB32 pixels are 0xFFRRGGBB words: B, G, R, X in memory on a
    // little-endian machine.
    constexpr J_COLOR_SPACE Rgb32 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;
    cinfo->out_color_space = cmyk ? JCS_CMYK : Rgb32;

    jpeg_calc_output_dimensions(cinfo);
    const int64_t width = cinfo->output_width;
    const int64_t height = cinfo->output_height;
    if (!PictureLimits::Fits(width, height, 4)) {
        s.Error.Failure = TJpegStatus::TooLarge;
        return false;
    }
    s.Picture = PictureLimits::NewPicture(width, height, QImage::Format_RGB32);
    if (s.Picture.isNull()) {
        s.Error.Failure = TJpegStatus::TooLarge;
        return false;
    }

    jpeg_start_decompress(cinfo);
    // Several rows per call: libjpeg emits rec_outbuf_height rows at once when
    // it can, which saves a copy through its own buffer.
    constexpr int Batch = 4;
    JSAMPROW rows[Batch];
    if (cmyk) {
        s.CmykRows.resize(size_t(width) * 4 * Batch);
        const bool inverted = cinfo->saw_Adobe_marker;
        while (cinfo->output_scanline < cinfo->output_height) {
            const int first = int(cinfo->output_scanline);
            for (int i = 0; i < Batch; ++i)
                rows[i] = s.CmykRows.data() + size_t(i) * size_t(width) * 4;
            const int got = int(jpeg_read_scanlines(cinfo, rows, Batch));
            if (got <= 0)
                return false;
            for (int i = 0; i < got; ++i)
                CmykRowToRgb32(rows[i], reinterpret_cast<uint32_t*>(s.Picture.scanLine(first + i)),
                               int(width), inverted);
        }
    } else {
        while (cinfo->output_scanline < cinfo->output_height) {
            const int first = int(cinfo->output_scanline);
            const int count = std::min<int>(Batch, int(cinfo->output_height) - first);
            for (int i = 0; i < count; ++i)
                rows[i] = s.Picture.scanLine(first + i);
            if (jpeg_read_scanlines(cinfo, rows, JDIMENSION(count)) == 0)
                return false;
        }
    }
    // Every row is there. jpeg_finish_decompress would only look for the EOI
    // marker, and a file that lacks it is still a complete picture.
    return true;
}

} // namespace

TJpegResult Decode(const uint8_t* data, size_t size, QSize screenSize, const TJpegLimits& limits)
{
    TJpegResult result;
    if (!data || size == 0)
        return result;

    TDecodeState state;
    std::memset(&state.Info, 0, sizeof state.Info);
    state.Error.Failure = TJpegStatus::Unreadable;
    state.Error.RanOut = false;
    state.Info.err = jpeg_std_error(&state.Error.Pub);
    state.Error.Pub.error_exit = OnErrorExit;
    state.Error.Pub.emit_message = OnEmitMessage;
    state.Error.Pub.output_message = OnOutputMessage;

    const bool ok = DecodeInto(state, data, size, screenSize, limits);
    jpeg_destroy_decompress(&state.Info);

    result.ImageSize = state.ImageSize;
    if (ok) {
        result.Status = TJpegStatus::Ok;
        result.Picture = std::move(state.Picture);
    } else {
        result.Status = state.Error.Failure;
    }
    return result;
}

} // namespace JpegDecoder
