#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <stdexcept>
#include <vector>

// A write of a profile file that the system refused (read-only file or
// folder, no access, full disk). The message is "<path> に書き込めません".
class EProfileWriteError : public std::runtime_error {
public:
    explicit EProfileWriteError(const QString& path);
    const QString& Path() const { return FPath; }
    QString Message() const;

private:
    QString FPath;
};

// A Windows-style profile ("ini") file held in memory, with the rules of the
// Windows profile functions that Zorvin.ini has always been written by:
//
// - "[name]" opens a section (the name runs to the last "]" of the line);
//   "key=value" gives a value; section and key names match without regard
//   to case, and the first matching section (and key) wins.
// - Blanks around a key and a value are not part of them; a value wholly in
//   double quotes is read without them; a value read is cut to 2047
//   characters (one less when the cut would split a surrogate pair).
// - Lines that are neither (comments starting with ";", text without "=",
//   keys nobody asks for) are kept byte for byte, and so is every line that
//   is not changed: the file's own encoding and line endings survive.
// - An existing key is replaced in place (keeping its spelling); a new key
//   goes after the last non-blank line of its section, a new section at the
//   end of the file. Erasing a section removes its header and every line
//   up to the next section.
// - A file beginning with the UTF-16LE byte-order mark is read and written
//   back as UTF-16LE; one beginning with the UTF-8 mark keeps it; anything
//   else is read as UTF-8 (bytes that are not UTF-8 survive in unchanged
//   lines) and a new file is UTF-8 without a mark.
// - New lines end like the file's first line (CRLF or LF); a new file uses LF.
// - A line break inside a section name, key or value would let the value
//   forge other keys or sections, so each CR and LF written becomes a blank.
//
// Flush() writes the content back only when something changed, atomically:
// a temporary file in the same folder, flushed and synced, renamed over the
// old one. A file that exists but cannot be read (or is larger than
// MaxFileSize) reads as empty and is never overwritten: Flush() refuses it.
class TProfileFile {
public:
    enum class TEncoding { Utf8, Utf8Bom, Utf16Le };

    static constexpr int MaxValueLength = 2047;
    // Zorvin.ini is a few kilobytes; a larger file is no settings file, and
    // holding it line by line would cost a hundred times its size.
    static constexpr int64_t MaxFileSize = int64_t(1) << 20;

    // Reads the file when it exists; a missing file is an empty profile.
    explicit TProfileFile(const QString& fileName);
    // Takes the content from memory; nothing is read from disk.
    TProfileFile(const QString& fileName, const QByteArray& contents);

    const QString& FileName() const { return FFileName; }
    TEncoding Encoding() const { return FEncoding; }
    bool Modified() const { return FModified; }

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    int32_t ReadInteger(const QString& section, const QString& key, int32_t def) const;
    // Read as an Integer with default 1 or 0; any non-zero value is true.
    bool ReadBool(const QString& section, const QString& key, bool def) const;
    // Read as an Integer, of which the low 8 bits are used.
    uint8_t ReadByte(const QString& section, const QString& key, uint8_t def) const;

    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int32_t value);
    void WriteBool(const QString& section, const QString& key, bool value);
    void EraseSection(const QString& section);

    // The file as it would be written now.
    QByteArray Contents() const;
    // Writes Contents() to FileName() when anything changed; throws
    // EProfileWriteError when the system refuses.
    void Flush();

    // "$" + hex, "0x"/"0X" + hex when the text is longer than two characters,
    // else decimal with an optional "-"; anything else (or a number outside
    // 32 bits) gives def. Hex takes up to 32 bits, so "$FFFFFFFF" is -1.
    static int32_t ParseInteger(const QString& text, int32_t def);

private:
    enum class TKind { Other, Section, Key };
    struct TLine {
        QByteArray Raw; // bytes of the line as read, without its line end
        QByteArray Eol; // "\n", "\r\n" (encoded) or empty for a last line
        QString Text; // decoded text; written instead of Raw when Dirty
        bool Dirty = false;
        TKind Kind = TKind::Other;
        QString Name; // section or key name
        QString Value; // key value, blanks trimmed
    };

    void Parse(const QByteArray& bytes);
    void Classify(TLine& line) const;
    QByteArray Encode(const QString& text) const;
    TLine NewLine(const QString& text) const;
    void Append(std::vector<TLine>::iterator where, const QString& text);
    int FindSection(const QString& section) const;
    int SectionEnd(int header) const;
    int FindKey(const QString& section, const QString& key) const;

    QString FFileName;
    TEncoding FEncoding = TEncoding::Utf8;
    QByteArray FEol = "\n";
    std::vector<TLine> FLines;
    bool FModified = false;
    bool FUnreadable = false;
};
