#pragma once

#include <QImage>
#include <cstdint>

// The slot of one list entry: its decoded picture and the flags by which the
// loader, the image list and the view hand the picture to each other.
// The list lock guards the flags; the picture is a QImage (implicitly shared),
// so a view that holds a copy keeps it valid after the slot is emptied.
class TBufImage {
public:
    QImage Bitmap;               // empty (null) until decoded or after emptying
    bool Loaded = false;         // the reader has finished, successfully or not
    bool NotifyPending = false;  // deliver to the display when ready
    bool Animated = false;       // a GIF of more than one frame; Bitmap stays empty
    bool Shown = false;          // the view has taken the picture since its decode
    int64_t FileSize = 0;        // bytes, from the directory entry
    int64_t LastWriteTime = 0;   // nanoseconds since the Unix epoch (UTC)
    // Counts the emptyings, so a decode that ran while the slot was emptied
    // (refresh, re-sort) is recognised as stale and not published.
    uint64_t Generation = 0;

    void ResetBitmap() { Bitmap = QImage(); }
    void Reset() { Loaded = NotifyPending = Animated = Shown = false; }
    // Eviction, refresh and re-sort empty a slot this way.
    void Empty()
    {
        ResetBitmap();
        Reset();
        ++Generation;
    }
};
