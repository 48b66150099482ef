#include "decode/MzFileUtils.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int64_t BufferCapacity = 16 * 1024;

// The system's text for an error number; strerror_r keeps the loader thread
// and the main thread from sharing strerror's static buffer.
std::string SystemErrorText(int errorCode)
{
    char text[256] = {};
    // GNU strerror_r may return a static text instead of filling ours.
    const char* result = strerror_r(errorCode, text, sizeof text);
    return result ? std::string(result) : std::string();
}

std::string OpenErrorMessage(const QString& fileName, int errorCode)
{
    const QString path = QFileInfo(fileName).absoluteFilePath();
    return QStringLiteral("ファイル \"%1\". %2 は開けません")
        .arg(path, QString::fromLocal8Bit(SystemErrorText(errorCode).c_str()))
        .toStdString();
}

} // namespace

EFOpenError::EFOpenError(const QString& fileName, int errorCode)
    : EStreamError(OpenErrorMessage(fileName, errorCode)), FErrorCode(errorCode)
{
}

EReadError::EReadError() : EStreamError("Stream read error") {}
ESeekError::ESeekError() : EStreamError("Stream seek error") {}
EWriteError::EWriteError() : EStreamError("Stream write error") {}

// ---------------------------------------------------------------- TMzStream

void TMzStream::ReadBuffer(void* buffer, int64_t count)
{
    if (count < 0 || (count > 0 && Read(buffer, count) != count))
        throw EReadError();
}

void TMzStream::WriteBuffer(const void* buffer, int64_t count)
{
    if (count < 0 || (count > 0 && Write(buffer, count) != count))
        throw EWriteError();
}

// ---------------------------------------------------------------- TMzMemoryStream

TMzMemoryStream::TMzMemoryStream(const void* data, size_t size)
    : FData(static_cast<const uint8_t*>(data)), FSize(data ? size : 0)
{
}

int64_t TMzMemoryStream::Read(void* buffer, int64_t count)
{
    if (count <= 0 || FPosition >= int64_t(FSize))
        return 0;
    const int64_t n = std::min<int64_t>(count, int64_t(FSize) - FPosition);
    std::memcpy(buffer, FData + FPosition, size_t(n));
    FPosition += n;
    return n;
}

int64_t TMzMemoryStream::Write(const void*, int64_t)
{
    throw EWriteError();
}

void TMzMemoryStream::Seek(int64_t position)
{
    if (position < 0)
        throw ESeekError();
    FPosition = position;
}

// ---------------------------------------------------------------- TMzWideFileStream

TMzWideFileStream::TMzWideFileStream(const QString& fileName, uint32_t mode)
{
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    if (mode == MzFileMode::fmCreate) {
        flags |= O_RDWR | O_CREAT | O_TRUNC;
        FWritable = true;
    } else {
        const uint32_t access = mode & 0x3;
        const uint32_t sharing = mode & 0xF0;
        // Access 3 and sharing fields above "deny none" do not exist: such a
        // mode fails like a file that cannot be opened. Valid sharing bits
        // are accepted and have no effect (no share-deny modes on Linux).
        if (access == 3 || sharing > MzFileMode::fmShareDenyNone)
            throw EFOpenError(fileName, EINVAL);
        flags |= access == 0 ? O_RDONLY : access == 1 ? O_WRONLY : O_RDWR;
        FWritable = access != 0;
    }
    const QByteArray path = QFile::encodeName(fileName);
    if (path.isEmpty())
        throw EFOpenError(fileName, ENOENT);
    // O_NONBLOCK keeps the open of a FIFO from waiting for a writer; such
    // files are refused below, regular files ignore the flag.
    FHandle = ::open(path.constData(), flags, 0666);
    if (FHandle < 0)
        throw EFOpenError(fileName, errno);
    struct stat st {};
    int error = 0;
    if (::fstat(FHandle, &st) != 0)
        error = errno;
    else if (S_ISDIR(st.st_mode))
        error = EISDIR;
    else if (!S_ISREG(st.st_mode))
        error = EINVAL;
    if (error != 0) {
        ::close(FHandle);
        FHandle = -1;
        throw EFOpenError(fileName, error);
    }
    FFileName = fileName;
}

TMzWideFileStream::~TMzWideFileStream()
{
    if (FHandle >= 0)
        ::close(FHandle);
}

int64_t TMzWideFileStream::ReadAt(void* buffer, int64_t count, int64_t offset)
{
    int64_t done = 0;
    auto* out = static_cast<uint8_t*>(buffer);
    while (done < count) {
        const ssize_t n = ::pread(FHandle, out + done, size_t(count - done), off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw EReadError();
        }
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

int64_t TMzWideFileStream::Read(void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    auto* out = static_cast<uint8_t*>(buffer);
    int64_t done = 0;
    while (done < count) {
        const int64_t inBuffer = FPosition - FBufferStart;
        if (inBuffer >= 0 && inBuffer < FBufferLength) {
            const int64_t n = std::min(count - done, FBufferLength - inBuffer);
            std::memcpy(out + done, FBuffer.data() + inBuffer, size_t(n));
            done += n;
            FPosition += n;
            continue;
        }
        const int64_t wanted = count - done;
        if (wanted >= BufferCapacity) {
            // Large blocks bypass the buffer.
            const int64_t n = ReadAt(out + done, wanted, FPosition);
            done += n;
            FPosition += n;
            break;
        }
        FBuffer.resize(size_t(BufferCapacity));
        FBufferStart = FPosition;
        FBufferLength = ReadAt(FBuffer.data(), BufferCapacity, FPosition);
        if (FBufferLength == 0)
            break;
    }
    return done;
}

int64_t TMzWideFileStream::Write(const void* buffer, int64_t count)
{
    if (!FWritable)
        throw EWriteError();
    if (count <= 0)
        return 0;
    FBufferLength = 0;  // what we write may lie in the buffer
    const auto* in = static_cast<const uint8_t*>(buffer);
    int64_t done = 0;
    while (done < count) {
        const ssize_t n = ::pwrite(FHandle, in + done, size_t(count - done), off_t(FPosition + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (n == 0)
            break;
        done += n;
    }
    FPosition += done;
    return done;
}

int64_t TMzWideFileStream::Size() const
{
    struct stat st {};
    if (::fstat(FHandle, &st) != 0)
        return 0;
    return int64_t(st.st_size);
}

void TMzWideFileStream::Seek(int64_t position)
{
    if (position < 0)
        throw ESeekError();
    FPosition = position;
}

// ---------------------------------------------------------------- helpers

bool FileExistsWide(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty())
        return false;
    struct stat st {};
    return ::stat(name.constData(), &st) == 0 && !S_ISDIR(st.st_mode);
}

uint16_t WordFromBytes(const uint8_t* b, uint16_t byteOrder)
{
    return byteOrder == ByteOrderIntel ? uint16_t(b[0] | (b[1] << 8)) : uint16_t((b[0] << 8) | b[1]);
}

uint32_t DWordFromBytes(const uint8_t* b, uint16_t byteOrder)
{
    if (byteOrder == ByteOrderIntel)
        return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
    return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | uint32_t(b[3]);
}

uint64_t QWordFromBytes(const uint8_t* b, uint16_t byteOrder)
{
    const uint64_t first = DWordFromBytes(b, byteOrder);
    const uint64_t second = DWordFromBytes(b + 4, byteOrder);
    return byteOrder == ByteOrderIntel ? (second << 32) | first : (first << 32) | second;
}

uint16_t ReadWord(TMzStream& stream, uint16_t byteOrder)
{
    uint8_t b[2];
    stream.ReadBuffer(b, 2);
    return WordFromBytes(b, byteOrder);
}

uint32_t ReadDWord(TMzStream& stream, uint16_t byteOrder)
{
    uint8_t b[4];
    stream.ReadBuffer(b, 4);
    return DWordFromBytes(b, byteOrder);
}

int16_t ReadSShort(TMzStream& stream, uint16_t byteOrder)
{
    return std::bit_cast<int16_t>(ReadWord(stream, byteOrder));
}

int32_t ReadSLong(TMzStream& stream, uint16_t byteOrder)
{
    return std::bit_cast<int32_t>(ReadDWord(stream, byteOrder));
}

float ReadFloat(TMzStream& stream, uint16_t byteOrder)
{
    return std::bit_cast<float>(ReadDWord(stream, byteOrder));
}

double ReadDouble(TMzStream& stream, uint16_t byteOrder)
{
    uint8_t b[8];
    stream.ReadBuffer(b, 8);
    return std::bit_cast<double>(QWordFromBytes(b, byteOrder));
}
