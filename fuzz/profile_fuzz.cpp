// The profile file on arbitrary bytes: the first byte gives the length of a
// value taken from the next bytes, the rest is the file. The file is parsed,
// read, changed and written out; the written form must parse back to the
// values just written.
#include <cstddef>
#include <cstdint>

#include <QStringList>

#include "platform/TProfileFile.h"
#include "settings/DelimitedText.h"
#include "settings/uUtils.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

// What a value written now reads back as.
QString AsRead(QString value)
{
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString blanks = QStringLiteral(" \t\r\n\v\f");
    while (!value.isEmpty() && blanks.contains(value.front()))
        value.remove(0, 1);
    while (!value.isEmpty() && blanks.contains(value.back()))
        value.chop(1);
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        value = value.mid(1, value.size() - 2);
    if (value.size() > TProfileFile::MaxValueLength)
        value.truncate(value[TProfileFile::MaxValueLength - 1].isHighSurrogate()
                ? TProfileFile::MaxValueLength - 1
                : TProfileFile::MaxValueLength);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t valueSize = std::min<size_t>(data[0] % 64, size - 1);
    const QString value
        = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(valueSize));
    const QByteArray file(
        reinterpret_cast<const char*>(data + 1 + valueSize), qsizetype(size - 1 - valueSize));

    TProfileFile ini(QStringLiteral("fuzz.ini"), file);
    const QStringList sections { QStringLiteral("Option"), QStringLiteral("Programs"),
        QStringLiteral("Susie"), QStringLiteral("") };
    const QStringList keys { QStringLiteral("LoopList"), QStringLiteral("Prog0"),
        QStringLiteral("DisableSPIs"), QStringLiteral("") };
    QStringList items;
    for (const QString& section : sections) {
        for (const QString& key : keys) {
            const QString text = ini.ReadString(section, key, QStringLiteral("d"));
            Check(text.size() <= TProfileFile::MaxValueLength);
            ini.ReadInteger(section, key, 5);
            ini.ReadBool(section, key, true);
            ini.ReadByte(section, key, 7);
            SplitList(text, QStringLiteral("<>"), &items);
            ReadDelimitedText(text, QLatin1Char(';'));
        }
    }
    TProfileFile::ParseInteger(value, 0);
    WriteDelimitedText(ReadDelimitedText(value, QLatin1Char(';')), QLatin1Char(';'));

    ini.WriteString(QStringLiteral("Option"), QStringLiteral("LoopList"), value);
    ini.WriteString(QStringLiteral("New"), QStringLiteral("Key"), value);
    ini.EraseSection(QStringLiteral("Programs"));
    ini.WriteInteger(QStringLiteral("Programs"), QStringLiteral("Prog0"), -1);

    const TProfileFile back(QStringLiteral("fuzz.ini"), ini.Contents());
    // A section header that starts with a UTF-8 mark can become the first
    // line when the lines before it are erased; the file then reads as UTF-8
    // with a mark, which changes none of its lines.
    Check(back.Encoding() == ini.Encoding()
        || (ini.Encoding() == TProfileFile::TEncoding::Utf8
            && back.Encoding() == TProfileFile::TEncoding::Utf8Bom
            && ini.Contents().startsWith("\xEF\xBB\xBF")));
    Check(
        back.ReadString(QStringLiteral("option"), QStringLiteral("looplist"), {}) == AsRead(value));
    Check(back.ReadString(QStringLiteral("NEW"), QStringLiteral("key"), {}) == AsRead(value));
    Check(back.ReadInteger(QStringLiteral("Programs"), QStringLiteral("Prog0"), 0) == -1);
    Check(back.Contents() == ini.Contents());
    return 0;
}
