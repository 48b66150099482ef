#pragma once

#include <QImage>
#include <cstdint>

// Every decoded picture is allocated through NewPicture, which refuses sizes
// a header may promise but no viewer can hold: more than 16384 pixels on a
// side, or more than 1 GiB of pixels. A refused or failed allocation gives a
// null QImage, which readers turn into an empty slot.
namespace PictureLimits {

constexpr int64_t MaxSide = 16384;
constexpr int64_t MaxBytes = int64_t(1) << 30;

// Sizes are taken as 64-bit so a crafted header cannot overflow the check.
bool Fits(int64_t width, int64_t height, int64_t bytesPerPixel = 4);

QImage NewPicture(int64_t width, int64_t height,
                  QImage::Format format = QImage::Format_RGB32);

} // namespace PictureLimits
