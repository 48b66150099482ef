#include "platform/TProfileFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\r' || u == '\n' || u == '\v' || u == '\f';
}

QString Trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin).toString();
}

// Names and values are written on one line each: a line break would start a
// new line that reads as another key or section.
QString OneLine(QString text)
{
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool ParseHex(QStringView digits, int32_t& out)
{
    if (digits.isEmpty())
        return false;
    uint64_t value = 0;
    for (QChar c : digits) {
        const char16_t u = c.unicode();
        int d;
        if (u >= '0' && u <= '9')
            d = u - '0';
        else if (u >= 'a' && u <= 'f')
            d = u - 'a' + 10;
        else if (u >= 'A' && u <= 'F')
            d = u - 'A' + 10;
        else
            return false;
        value = value * 16 + uint64_t(d);
        if (value > 0xFFFFFFFFu)
            return false;
    }
    out = int32_t(uint32_t(value));
    return true;
}

bool ParseDecimal(QStringView text, int32_t& out)
{
    const bool negative = text.startsWith(QLatin1Char('-'));
    const QStringView digits = negative ? text.mid(1) : text;
    if (digits.isEmpty())
        return false;
    const int64_t limit = negative ? int64_t(1) << 31 : (int64_t(1) << 31) - 1;
    int64_t value = 0;
    for (QChar c : digits) {
        const char16_t u = c.unicode();
        if (u < '0' || u > '9')
            return false;
        value = value * 10 + (u - '0');
        if (value > limit)
            return false;
    }
    out = int32_t(negative ? -value : value);
    return true;
}

void CloseQuietly(int fd)
{
    if (fd >= 0)
        ::close(fd);
}

bool WriteAll(int fd, const QByteArray& data)
{
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

} // namespace

EProfileWriteError::EProfileWriteError(const QString& path)
    : std::runtime_error(QStringLiteral("%1 に書き込めません").arg(path).toStdString())
    , FPath(path)
{
}

QString EProfileWriteError::Message() const
{
    return QString::fromUtf8(what());
}

TProfileFile::TProfileFile(const QString& fileName)
    : FFileName(fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return;
    QFile file(fileName);
    if (!info.isFile() || info.size() > MaxFileSize || !file.open(QIODevice::ReadOnly)) {
        FUnreadable = true;
        return;
    }
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > MaxFileSize) {
        FUnreadable = true;
        return;
    }
    Parse(bytes);
}

TProfileFile::TProfileFile(const QString& fileName, const QByteArray& contents)
    : FFileName(fileName)
{
    if (contents.size() > MaxFileSize)
        FUnreadable = true;
    else
        Parse(contents);
}

void TProfileFile::Parse(const QByteArray& bytes)
{
    FLines.clear();
    FEol.clear();
    QByteArray body = bytes;
    int unit = 1;
    if (bytes.startsWith("\xFF\xFE")) {
        FEncoding = TEncoding::Utf16Le;
        body = bytes.mid(2);
        body.chop(body.size() % 2); // a stray last byte is no character
        unit = 2;
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        FEncoding = TEncoding::Utf8Bom;
        body = bytes.mid(3);
    } else {
        FEncoding = TEncoding::Utf8;
    }

    auto codeAt = [&](qsizetype i) -> char16_t {
        if (unit == 1)
            return uchar(body[i]);
        return char16_t(uchar(body[i]) | (uchar(body[i + 1]) << 8));
    };

    qsizetype start = 0;
    const qsizetype size = body.size();
    while (start < size) {
        qsizetype end = start;
        while (end < size && codeAt(end) != '\n')
            end += unit;
        TLine line;
        qsizetype contentEnd = end;
        if (end < size) {
            if (end > start && codeAt(end - unit) == '\r')
                contentEnd -= unit;
            line.Eol = body.mid(contentEnd, end + unit - contentEnd);
            if (FEol.isEmpty())
                FEol = line.Eol;
        }
        line.Raw = body.mid(start, contentEnd - start);
        if (unit == 2) {
            line.Text.resize(line.Raw.size() / 2);
            for (qsizetype i = 0; i < line.Text.size(); ++i)
                line.Text[i]
                    = QChar(char16_t(uchar(line.Raw[2 * i]) | (uchar(line.Raw[2 * i + 1]) << 8)));
        } else {
            line.Text = QString::fromUtf8(line.Raw);
        }
        Classify(line);
        FLines.push_back(std::move(line));
        start = end + unit;
    }
    if (FEol.isEmpty())
        FEol = Encode(QStringLiteral("\n"));
    FModified = false;
}

void TProfileFile::Classify(TLine& line) const
{
    line.Kind = TKind::Other;
    line.Name.clear();
    line.Value.clear();
    const QString& t = line.Text;
    qsizetype i = 0;
    while (i < t.size() && IsBlank(t[i]))
        ++i;
    if (i == t.size())
        return;
    if (t[i] == QLatin1Char('[')) {
        const qsizetype close = t.lastIndexOf(QLatin1Char(']'));
        if (close > i) {
            line.Kind = TKind::Section;
            line.Name = t.mid(i + 1, close - i - 1);
            return;
        }
    }
    if (t[i] == QLatin1Char(';'))
        return;
    const qsizetype eq = t.indexOf(QLatin1Char('='), i);
    if (eq < 0)
        return;
    line.Kind = TKind::Key;
    line.Name = Trimmed(QStringView(t).mid(i, eq - i));
    line.Value = Trimmed(QStringView(t).mid(eq + 1));
}

QByteArray TProfileFile::Encode(const QString& text) const
{
    if (FEncoding != TEncoding::Utf16Le)
        return text.toUtf8();
    QByteArray out;
    out.resize(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        out[2 * i] = char(u & 0xFF);
        out[2 * i + 1] = char(u >> 8);
    }
    return out;
}

int TProfileFile::FindSection(const QString& section) const
{
    for (size_t i = 0; i < FLines.size(); ++i)
        if (FLines[i].Kind == TKind::Section && SameName(FLines[i].Name, section))
            return int(i);
    return -1;
}

int TProfileFile::SectionEnd(int header) const
{
    size_t i = size_t(header) + 1;
    while (i < FLines.size() && FLines[i].Kind != TKind::Section)
        ++i;
    return int(i);
}

int TProfileFile::FindKey(const QString& section, const QString& key) const
{
    const int header = FindSection(section);
    if (header < 0)
        return -1;
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i)
        if (FLines[size_t(i)].Kind == TKind::Key && SameName(FLines[size_t(i)].Name, key))
            return i;
    return -1;
}

bool TProfileFile::SectionExists(const QString& section) const
{
    return FindSection(section) >= 0;
}

bool TProfileFile::ValueExists(const QString& section, const QString& key) const
{
    return FindKey(section, key) >= 0;
}

QString TProfileFile::ReadString(
    const QString& section, const QString& key, const QString& def) const
{
    const int at = FindKey(section, key);
    if (at < 0)
        return def;
    QString value = FLines[size_t(at)].Value;
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        value = value.mid(1, value.size() - 2);
    if (value.size() > MaxValueLength) {
        qsizetype cut = MaxValueLength;
        if (value[cut - 1].isHighSurrogate())
            --cut; // never leave half a character behind
        value.truncate(cut);
    }
    return value;
}

int32_t TProfileFile::ReadInteger(const QString& section, const QString& key, int32_t def) const
{
    if (!ValueExists(section, key))
        return def;
    return ParseInteger(ReadString(section, key, QString()), def);
}

bool TProfileFile::ReadBool(const QString& section, const QString& key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

uint8_t TProfileFile::ReadByte(const QString& section, const QString& key, uint8_t def) const
{
    return uint8_t(uint32_t(ReadInteger(section, key, def)) & 0xFF);
}

int32_t TProfileFile::ParseInteger(const QString& text, int32_t def)
{
    int32_t value = def;
    bool ok;
    if (text.size() > 2 && text[0] == QLatin1Char('0')
        && (text[1] == QLatin1Char('x') || text[1] == QLatin1Char('X')))
        ok = ParseHex(QStringView(text).mid(2), value);
    else if (text.startsWith(QLatin1Char('$')))
        ok = ParseHex(QStringView(text).mid(1), value);
    else
        ok = ParseDecimal(text, value);
    return ok ? value : def;
}

TProfileFile::TLine TProfileFile::NewLine(const QString& text) const
{
    TLine line;
    line.Text = text;
    line.Dirty = true;
    line.Eol = FEol;
    Classify(line);
    return line;
}

void TProfileFile::Append(std::vector<TLine>::iterator where, const QString& text)
{
    // Only the last line can lack its line end; it needs one now.
    if (where == FLines.end() && !FLines.empty() && FLines.back().Eol.isEmpty())
        FLines.back().Eol = FEol;
    FLines.insert(where, NewLine(text));
    FModified = true;
}

void TProfileFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    const QString sec = OneLine(section);
    const QString name = OneLine(key);
    const QString text = OneLine(value);
    const int header = FindSection(sec);
    if (header < 0) {
        Append(FLines.end(), QLatin1Char('[') + sec + QLatin1Char(']'));
        Append(FLines.end(), name + QLatin1Char('=') + text);
        return;
    }
    const int at = FindKey(sec, name);
    if (at >= 0) {
        TLine& line = FLines[size_t(at)];
        if (line.Value == Trimmed(text))
            return;
        line.Text = line.Name + QLatin1Char('=') + text;
        line.Dirty = true;
        Classify(line);
        FModified = true;
        return;
    }
    int where = SectionEnd(header);
    while (where - 1 > header && Trimmed(FLines[size_t(where - 1)].Text).isEmpty())
        --where;
    Append(FLines.begin() + where, name + QLatin1Char('=') + text);
}

void TProfileFile::WriteInteger(const QString& section, const QString& key, int32_t value)
{
    WriteString(section, key, QString::number(value));
}

void TProfileFile::WriteBool(const QString& section, const QString& key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TProfileFile::EraseSection(const QString& section)
{
    const QString sec = OneLine(section);
    for (int header = FindSection(sec); header >= 0; header = FindSection(sec)) {
        FLines.erase(FLines.begin() + header, FLines.begin() + SectionEnd(header));
        FModified = true;
    }
}

QByteArray TProfileFile::Contents() const
{
    QByteArray out;
    if (FEncoding == TEncoding::Utf16Le)
        out = "\xFF\xFE";
    else if (FEncoding == TEncoding::Utf8Bom)
        out = "\xEF\xBB\xBF";
    for (size_t i = 0; i < FLines.size(); ++i) {
        const TLine& line = FLines[i];
        out += line.Dirty ? Encode(line.Text) : line.Raw;
        out += line.Eol.isEmpty() && i + 1 < FLines.size() ? FEol : line.Eol;
    }
    return out;
}

void TProfileFile::Flush()
{
    if (!FModified)
        return;
    if (FUnreadable)
        throw EProfileWriteError(FFileName);

    // Replace the file a link (or a chain of links) points at, not the link.
    QString target = FFileName;
    const QFileInfo info(FFileName);
    if (info.isSymLink()) {
        const QString canonical = info.canonicalFilePath();
        target = canonical.isEmpty() ? info.symLinkTarget() : canonical;
    }
    const QByteArray targetName = QFile::encodeName(target);

    struct stat old { };
    const bool exists = ::stat(targetName.constData(), &old) == 0;
    // rename() would replace a read-only file in a writable folder; the
    // owner made it read-only to keep it.
    if (exists && (!S_ISREG(old.st_mode) || ::access(targetName.constData(), W_OK) != 0))
        throw EProfileWriteError(FFileName);

    const QFileInfo targetInfo(target);
    const QByteArray folder = QFile::encodeName(targetInfo.absolutePath());
    const QByteArray data = Contents();

    QByteArray tempName;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        tempName = folder + "/." + QFile::encodeName(targetInfo.fileName()) + ".tmp"
            + QByteArray::number(QRandomGenerator::global()->generate(), 16);
        fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        throw EProfileWriteError(FFileName);

    bool ok = WriteAll(fd, data) && ::fsync(fd) == 0;
    if (ok && exists) {
        // Keep the file's mode and, where allowed, its owner.
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Only a privileged writer may hand the file back; not an error.
        }
    }
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(tempName.constData(), targetName.constData()) != 0) {
        ::unlink(tempName.constData());
        throw EProfileWriteError(FFileName);
    }
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        CloseQuietly(dir);
    }
    Parse(data);
}
