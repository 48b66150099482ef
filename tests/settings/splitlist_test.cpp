#include <gtest/gtest.h>

#include "settings/DelimitedText.h"
#include "settings/uUtils.h"

namespace {

QStringList L(std::initializer_list<const char*> items)
{
    QStringList out;
    for (const char* item : items)
        out.append(QString::fromUtf8(item));
    return out;
}

struct SplitCase {
    const char* text;
    const char* separator;
    QStringList expected;
};

class SplitListTable : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitListTable, CutsAtEverySeparatorSkippingEmptyPieces)
{
    const SplitCase& c = GetParam();
    QStringList list = L({"stale"});
    SplitList(QString::fromUtf8(c.text), QString::fromUtf8(c.separator), &list);
    EXPECT_EQ(list, c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitListTable,
    ::testing::Values(
        SplitCase{"", ",", {}}, SplitCase{" \t\x01 ", ",", {}}, SplitCase{"a", ",", L({"a"})},
        SplitCase{"Down,Space", ",", L({"Down", "Space"})},
        SplitCase{"  Down ,\tSpace  ", ",", L({"Down", "Space"})},
        SplitCase{"a,,b", ",", L({"a", "b"})}, SplitCase{",a,", ",", L({"a"})},
        // A piece of blanks is not empty: it adds an empty item.
        SplitCase{"a, ,b", ",", L({"a", "", "b"})},
        SplitCase{"view<>/usr/bin/eog<>%File%<>TRUE", "<>", L({"view", "/usr/bin/eog", "%File%", "TRUE"})},
        SplitCase{"view<><>%File%<>FALSE", "<>", L({"view", "%File%", "FALSE"})},
        SplitCase{"a<<>b>", "<>", L({"a<", "b>"})}, SplitCase{"<>", "<>", {}},
        SplitCase{"JPEG;JPG;;GIF;", ";", L({"JPEG", "JPG", "GIF"})},
        SplitCase{"写真<>画像", "<>", L({"写真", "画像"})},
        SplitCase{"abc", "", L({"abc"})}));

struct ReadSpiCase {
    const char* text;
    QStringList expected;
};

class DisableSpisRead : public ::testing::TestWithParam<ReadSpiCase> {};

TEST_P(DisableSpisRead, SplitsAtSemicolonsAndBlanks)
{
    const ReadSpiCase& c = GetParam();
    EXPECT_EQ(ReadDelimitedText(QString::fromUtf8(c.text), QLatin1Char(';')), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DisableSpisRead,
    ::testing::Values(ReadSpiCase{"a.spi;b.spi", L({"a.spi", "b.spi"})},
                      ReadSpiCase{"a.spi;", L({"a.spi", ""})}, ReadSpiCase{"", {}},
                      ReadSpiCase{"  ", {}}, ReadSpiCase{";", L({"", ""})},
                      ReadSpiCase{"a;;b", L({"a", "", "b"})}, ReadSpiCase{"a b", L({"a", "b"})},
                      ReadSpiCase{"a.spi ;  b.spi", L({"a.spi", "b.spi"})},
                      ReadSpiCase{"a;\x01", L({"a"})},
                      ReadSpiCase{"my  plugin.spi", L({"my", "plugin.spi"})}));

TEST(DisableSpis, NulEndsTheText)
{
    const QString text = QStringLiteral("a") + QChar(0) + QStringLiteral(";b");
    EXPECT_EQ(ReadDelimitedText(text, QLatin1Char(';')), L({"a"}));
}

struct WriteSpiCase {
    QStringList names;
    const char* expected;
};

class DisableSpisWrite : public ::testing::TestWithParam<WriteSpiCase> {};

TEST_P(DisableSpisWrite, QuotesNamesWithBlanksInSpaces)
{
    const WriteSpiCase& c = GetParam();
    EXPECT_EQ(WriteDelimitedText(c.names, QLatin1Char(';')), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, DisableSpisWrite,
    ::testing::Values(WriteSpiCase{L({"a.spi", "b.spi"}), "a.spi;b.spi"},
                      WriteSpiCase{{}, ""}, WriteSpiCase{L({""}), "  "},
                      WriteSpiCase{L({"a", ""}), "a;"}, WriteSpiCase{L({"", "a"}), ";a"},
                      WriteSpiCase{L({"my plugin.spi"}), " my  plugin.spi "},
                      WriteSpiCase{L({"x", "a;b"}), "x; a;b "},
                      WriteSpiCase{L({"tab\tx"}), " tab\tx "},
                      WriteSpiCase{L({"画像.spi"}), "画像.spi"}));

TEST(DisableSpis, NamesWithoutBlanksRoundTrip)
{
    for (const QStringList& names : {L({"a.spi", "b.spi"}), L({"a.spi", ""}), L({"x", "", "y"})})
        EXPECT_EQ(ReadDelimitedText(WriteDelimitedText(names, QLatin1Char(';')), QLatin1Char(';')), names);
}

} // namespace
