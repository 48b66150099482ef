#pragma once

// The reader family: one reader decodes one file into one slot. The loader
// picks the class by extension (see LoadSlot), constructs it, calls Read once
// and destroys it; destruction marks the slot Loaded whatever happened.
// Readers take everything they need as fields set before Read: they read no
// settings and no globals.

#include <QFile>
#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

#include "imagelist/TBufImage.h"

class TZVImageReader {
public:
    // Opens the file read-only. Linux has no share-deny modes, so other
    // programs may keep writing the file while we read it. A file that cannot
    // be opened leaves Stream empty and marks the slot Loaded at once.
    TZVImageReader(TBufImage* slot, const QString& fileName);
    virtual ~TZVImageReader();
    TZVImageReader(const TZVImageReader&) = delete;
    TZVImageReader& operator=(const TZVImageReader&) = delete;

    // Decodes into Slot->Bitmap. The base version only closes the stream;
    // every subclass calls it after its own work. Never throws.
    virtual void Read();

protected:
    std::unique_ptr<QFile> Stream;  // null when opening failed or after Read
    QString FileName;
    TBufImage* Slot;
};

class TZVJpeg : public TZVImageReader {
public:
    using TZVImageReader::TZVImageReader;
    void Read() override;
    bool AutoRotate = false;
    QSize ScreenSize{1920, 1080};  // the primary screen, for the decode scale
};

class TZVBmp : public TZVImageReader {
public:
    using TZVImageReader::TZVImageReader;
    void Read() override;
};

class TZVGif : public TZVImageReader {
public:
    using TZVImageReader::TZVImageReader;
    void Read() override;
};

class TZVIco : public TZVImageReader {
public:
    using TZVImageReader::TZVImageReader;
    void Read() override;
    uint32_t BackColor = 0;  // 0x00BBGGRR, the view's background
};

// Plug-in formats. Until the plug-in host exists no extension maps to it and
// Read leaves the slot empty.
class TZVSusie : public TZVImageReader {
public:
    using TZVImageReader::TZVImageReader;
    void Read() override;
    bool AutoRotate = false;
};

// What the loader hands to every decode.
struct TDecodeParams {
    bool AutoRotate = false;
    uint32_t BackColor = 0;              // 0x00BBGGRR
    QSize ScreenSize{1920, 1080};
    const QStringList* SusieExtensions = nullptr;  // ".ext" entries; may be null
};

// Classifies the path, runs the matching reader on the slot and frees it.
// A name that matches no reader leaves the slot untouched.
void LoadSlot(TBufImage* slot, const QString& path, const TDecodeParams& params);
