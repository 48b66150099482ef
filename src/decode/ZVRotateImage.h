#pragma once

#include <QImage>
#include <QString>

class TBufImage;

// Quarter turns of a slot's picture, and the automatic turn a photo's EXIF
// orientation asks for. Turns are pixel-exact and keep the picture's format
// (RGB32 or ARGB32_Premultiplied; any other format is converted to RGB32
// first). A turn whose picture cannot be allocated (PictureLimits refuses it)
// leaves the slot with an empty picture.
class TZVRotateImage {
public:
    explicit TZVRotateImage(TBufImage* slot);

    // Reads the EXIF orientation of fileName and turns the slot's picture:
    // 6 turns it right, 8 turns it left, anything else leaves it. Never throws;
    // a file without readable EXIF leaves the picture as it is.
    void AutoRotate(const QString& fileName);

    // Turn the slot's picture a quarter clockwise / anticlockwise in place and
    // return the slot (nullptr when constructed without one).
    TBufImage* RotateRight();
    TBufImage* RotateLeft();

    // A quarter turn of source: direction 1 is clockwise, anything else is
    // anticlockwise. Gives a null QImage when source is null or the turned
    // picture cannot be allocated.
    static QImage RotateBitmap90(const QImage& source, int direction);

private:
    TBufImage* FSlot;
};
