#pragma once

#include <QString>

#include <memory>
#include <mutex>
#include <thread>

#include "decode/uImageReaders.h"
#include "imagelist/TBufImage.h"

// Decodes the file the program was started with on a thread of its own while
// the application and its window are still being built, so that the loader
// finds the first picture ready instead of starting its decode only after
// the window's first showing.
//
// One-shot: the first Take, whatever file it asks for, ends the head start;
// a picture nobody asked for is freed then, so it never lingers beside the
// loader's window of pictures.
class THeadStartDecode {
public:
    // Starts decoding when the path is a plain file of a built-in type;
    // otherwise does nothing and every Take returns false.
    THeadStartDecode(const QString& path, const TDecodeParams& params);
    ~THeadStartDecode();
    THeadStartDecode(const THeadStartDecode&) = delete;
    THeadStartDecode& operator=(const THeadStartDecode&) = delete;

    bool Started() const { return Worker.joinable() || Finished; }

    // Moves the decoded picture into the slot when the path and the decode
    // parameters are those the head start used (waiting for it to finish);
    // false otherwise, and the caller decodes as usual.
    bool Take(const QString& path, const TDecodeParams& params, TBufImage* slot);

private:
    QString Path;  // absolute
    TDecodeParams Params;
    TBufImage Result;
    std::mutex Lock;  // orders Take calls from different threads
    std::thread Worker;
    bool Finished = false;
};
