#include "decode/ZVRotateImage.h"

#include "imagelist/TBufImage.h"

TZVRotateImage::TZVRotateImage(TBufImage* slot) : FSlot(slot) {}

void TZVRotateImage::AutoRotate(const QString&) {}

TBufImage* TZVRotateImage::RotateRight() { return FSlot; }

TBufImage* TZVRotateImage::RotateLeft() { return FSlot; }

QImage TZVRotateImage::RotateBitmap90(const QImage&, int) { return QImage(); }
