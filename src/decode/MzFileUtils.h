#pragma once

// The file stream of the EXIF reader, the file-exists test, and the
// byte-order-aware reads with which TIFF values are taken from a stream.
//
// The reads work on the abstract TMzStream, so the EXIF parser runs the same
// over a file (TMzWideFileStream) and over bytes in memory (TMzMemoryStream,
// used by the fuzz target and the tests).

#include <QString>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// Every stream failure. what() is UTF-8.
class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    QString Message() const { return QString::fromUtf8(what()); }
};

// A file could not be opened or created. The message is
// "ファイル "<absolute path>". <system text for the error> は開けません".
class EFOpenError : public EStreamError {
public:
    EFOpenError(const QString& fileName, int errorCode);
    int ErrorCode() const { return FErrorCode; }

private:
    int FErrorCode;
};

// A read past the end of the stream, or a failed system read.
class EReadError : public EStreamError {
public:
    EReadError();
};

// A seek to a negative position, or a failed system seek.
class ESeekError : public EStreamError {
public:
    ESeekError();
};

// A write to a read-only stream, or a failed system write.
class EWriteError : public EStreamError {
public:
    EWriteError();
};

// A byte stream with a position: reading, seeking, size.
class TMzStream {
public:
    virtual ~TMzStream() = default;

    // Reads up to count bytes at the position and advances it; returns the
    // number of bytes read (0 at the end).
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Size() const = 0;
    virtual int64_t Position() const = 0;
    // Any position >= 0 is accepted (past the end a read gives 0 bytes);
    // a negative one raises ESeekError.
    virtual void Seek(int64_t position) = 0;

    // Reads exactly count bytes or raises EReadError.
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
};

// A read-only stream over bytes owned by the caller.
class TMzMemoryStream : public TMzStream {
public:
    TMzMemoryStream(const void* data, size_t size);

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;  // raises EWriteError
    int64_t Size() const override { return int64_t(FSize); }
    int64_t Position() const override { return FPosition; }
    void Seek(int64_t position) override;

private:
    const uint8_t* FData;
    size_t FSize;
    int64_t FPosition = 0;
};

// Mode words of TMzWideFileStream: access in the low two bits, sharing in
// bits 4-7, and fmCreate for "create or truncate".
namespace MzFileMode {
constexpr uint32_t fmOpenRead = 0x0000;
constexpr uint32_t fmOpenWrite = 0x0001;
constexpr uint32_t fmOpenReadWrite = 0x0002;
constexpr uint32_t fmShareCompat = 0x0000;
constexpr uint32_t fmShareExclusive = 0x0010;
constexpr uint32_t fmShareDenyWrite = 0x0020;
constexpr uint32_t fmShareDenyRead = 0x0030;
constexpr uint32_t fmShareDenyNone = 0x0040;
constexpr uint32_t fmCreate = 0xFFFF;
} // namespace MzFileMode

// A stream over a POSIX file descriptor, opened by a (Unicode) path.
//
// The sharing bits are validated (a field above 0x40 fails like an access
// value of 3) and then ignored: Linux has no share-deny modes, so a file that
// another program holds open can still be read, and other programs may write
// to a file while we read it.
//
// Only regular files are opened: a folder, FIFO or device fails with the open
// error, so a read can neither block on a pipe nor run on without end.
// Reads go through a small buffer, because the EXIF reader takes its numbers
// a few bytes at a time.
class TMzWideFileStream : public TMzStream {
public:
    // Opens an existing file (any mode but fmCreate) or creates/truncates one
    // (fmCreate, read and write). Raises EFOpenError on failure.
    TMzWideFileStream(const QString& fileName, uint32_t mode);
    ~TMzWideFileStream() override;
    TMzWideFileStream(const TMzWideFileStream&) = delete;
    TMzWideFileStream& operator=(const TMzWideFileStream&) = delete;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Size() const override;
    int64_t Position() const override { return FPosition; }
    void Seek(int64_t position) override;

    const QString& FileName() const { return FFileName; }

private:
    int64_t ReadAt(void* buffer, int64_t count, int64_t offset);

    int FHandle = -1;
    bool FWritable = false;
    QString FFileName;
    int64_t FPosition = 0;
    std::vector<uint8_t> FBuffer;  // bytes of the file from FBufferStart on
    int64_t FBufferStart = 0;
    int64_t FBufferLength = 0;
};

// True when path names something that exists and is not a folder.
bool FileExistsWide(const QString& path);

// TIFF byte order: 0x4949 ("II") is little-endian; any other value is read
// as big-endian (0x4D4D, "MM", among them).
constexpr uint16_t ByteOrderIntel = 0x4949;
constexpr uint16_t ByteOrderMotorola = 0x4D4D;

// Numbers from bytes in memory in the given byte order.
uint16_t WordFromBytes(const uint8_t* bytes, uint16_t byteOrder);
uint32_t DWordFromBytes(const uint8_t* bytes, uint16_t byteOrder);
uint64_t QWordFromBytes(const uint8_t* bytes, uint16_t byteOrder);

// Typed reads from a stream; each raises EReadError past the end.
uint16_t ReadWord(TMzStream& stream, uint16_t byteOrder);
uint32_t ReadDWord(TMzStream& stream, uint16_t byteOrder);
int16_t ReadSShort(TMzStream& stream, uint16_t byteOrder);
int32_t ReadSLong(TMzStream& stream, uint16_t byteOrder);
float ReadFloat(TMzStream& stream, uint16_t byteOrder);
double ReadDouble(TMzStream& stream, uint16_t byteOrder);
