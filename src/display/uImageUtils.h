#pragma once

// The scaling routines: every change of picture size in the viewer goes
// through StretchBitmap (whole picture), StretchRect (a rectangle of a
// picture) and FitSize (the size at which a picture fits an area).
//
// Pictures are QImage in Format_RGB32 or Format_ARGB32_Premultiplied; the
// result keeps the source's format (any other format is converted to RGB32,
// or to ARGB32_Premultiplied when it carries alpha, before scaling).
// Premultiplied channels are averaged as they are.
//
// Modes:
//   COLORONCOLOR (3) - speed: whole rows and columns are dropped or
//       repeated. Target column i (0-based) of a dstLen-wide result takes
//       source column floor(i * srcLen / dstLen), computed exactly in 64-bit
//       integers; rows follow the same rule. srcLen/dstLen are the lengths of
//       the source rectangle and target along that axis.
//   HALFTONE (4) - quality: on an axis that is reduced (or kept), each target
//       pixel is the area-weighted mean of the source pixels it covers (a box
//       filter with fractional edge weights), within +-1 per channel of the
//       exact mean; on an axis that is enlarged, bilinear interpolation
//       between pixel centres, held at the edges of the source rectangle.
//       Separable: horizontal pass, then vertical. A constant picture stays
//       exactly constant.
//   Any other value of mode acts as HALFTONE.
// Both modes give an exact copy when the sizes are equal.
//
// Large pictures are scaled with the rows split over the cores; the routines
// are reentrant and may be called from any thread.

#include <QImage>
#include <QRect>
#include <QSize>

constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;

// Inclusive rectangle: covers Right - Left + 1 columns and Bottom - Top + 1
// rows (a QRect converts with FromQRect, as its right()/bottom() are
// inclusive too).
struct TIntRect {
    int Left = 0;
    int Top = 0;
    int Right = -1;
    int Bottom = -1;

    int Width() const { return Right - Left + 1; }
    int Height() const { return Bottom - Top + 1; }
    static TIntRect FromQRect(const QRect& r) { return {r.left(), r.top(), r.right(), r.bottom()}; }
};

// The whole source stretched to width x height. A null QImage when the
// source is null, a side is zero or negative, or the allocation is refused
// (PictureLimits::NewPicture).
QImage StretchBitmap(const QImage& source, int width, int height, int mode);

// A new picture of targetRect's size (targetRect.Width() x Height(); callers
// pass targets starting at 0,0, and only the size is used) holding
// sourceRect of source stretched onto it. The source is read in place, so a
// small rectangle of a huge picture costs no copy of the picture.
// Parts of sourceRect beyond the picture's edges take the nearest edge pixel.
// A null QImage when the source is null, either rectangle is empty, the
// source rectangle lies wholly outside the picture, or the allocation is
// refused.
QImage StretchRect(const QImage& source, TIntRect sourceRect, TIntRect targetRect, int mode);
QImage StretchRect(const QImage& source, const QRect& sourceRect, const QRect& targetRect, int mode);

// The largest size with the aspect ratio of w x h that fits into
// areaW x areaH (enlarging as well as reducing). Landscape (w > h) fits the
// width first, portrait and square the height first; the other side is
// Round(product / side) with the product formed in integers (64 bits, so
// sides beyond 46340 cannot overflow it), the division in long double and
// ties going to even. A zero or negative side of the picture or a negative
// side of the area gives QSize(0, 0).
QSize FitSize(int w, int h, int areaW, int areaH);
