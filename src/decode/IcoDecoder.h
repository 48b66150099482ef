#pragma once

// Reads icon (.ico) and cursor (.cur) files as the viewer shows them: one
// image of the file at the system's icon size, drawn on the background
// colour. Pure function of bytes; every directory entry is checked against
// the end of the buffer before it is looked at.
//
// Which image: the one the system would pick for its standard icon size.
// An image of exactly that size wins, the deeper colour first. Without one,
// the smallest image larger than the size is scaled down (scaling down looks
// better than scaling up), and only when every image is smaller the largest
// of them is scaled up. Sizes and depths are read from the image data, not
// from the directory, whose fields are often wrong (0 for 256, cursor hot
// spots in the depth field). If the chosen image cannot be decoded, the
// next in that order is tried. Entries whose offset or size run past the
// file are skipped.
//
// How it is drawn: PNG entries and 32-bit entries with alpha are blended
// over the background. Other entries follow the AND/XOR rule of icon
// drawing: where the mask is set the background shows, XOR-ed with the
// image colour (black there leaves the background as it is).

#include <QImage>
#include <cstddef>
#include <cstdint>

namespace IcoDecoder {

constexpr int SystemIconSize = 32;

// An RGB32 picture of iconSize × iconSize on backColor (0x00BBGGRR), or a
// null picture when the bytes are not an icon or cursor file with a readable
// image. maxPixels bounds the size of any image decoded from the file.
QImage Decode(const uint8_t* data, size_t size, uint32_t backColor,
              int iconSize = SystemIconSize, int64_t maxPixels = 1024 * 1024);

} // namespace IcoDecoder
