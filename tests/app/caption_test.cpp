// The title bar text built from the caption format.

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/CaptionFormat.h"

namespace {

struct CaptionCase {
    const char* Title;
    QString Format;
    QString Expected;
};

TEST(Caption, FormatTokens)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/2006/";
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const auto& [name, size] : {std::pair{"big.jpg", 1536}, {"small.jpg", 1023}}) {
        QFile f(folder + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(size, 'x'));
    }
    TCaptionValues v;
    v.Folder = folder;
    v.Name = "big.jpg";
    v.Zoom = 50;
    v.Index = 2;
    v.Count = 10;
    v.Width = 640;
    v.Height = 480;
    const CaptionCase cases[] = {
        {"default format", "<path><name>  [<idx>/<count>] <zoom>%",
         folder + "big.jpg  [3/10] 50% - Zorvin Lite"},
        {"folder name and size in KiB", "<curdir> <size>KB", "2006 1KB - Zorvin Lite"},
        {"size and dimensions", "<width>x<height> <size>", "640x480 1 - Zorvin Lite"},
        {"an empty format", "", " - Zorvin Lite"},
        {"tokens are case-sensitive", "<ZOOM> <Name>", "<ZOOM> <Name> - Zorvin Lite"},
        {"a token repeated", "<idx><idx>", "33 - Zorvin Lite"},
    };
    for (const CaptionCase& c : cases)
        EXPECT_EQ(CaptionFormat::Build(c.Format, v), c.Expected) << c.Title;

    v.Name = "small.jpg";
    EXPECT_EQ(CaptionFormat::Build("<curdir> <size>KB", v), "2006 0KB - Zorvin Lite");
    v.Name = "missing.jpg";
    EXPECT_EQ(CaptionFormat::Build("<curdir> <size>KB", v), "2006 0KB - Zorvin Lite")
        << "a file that cannot be opened counts as -1 bytes, and -1 div 1024 is 0";
}

TEST(Caption, AValueIsNotSearchedForTheTokenItReplaced)
{
    TCaptionValues v;
    v.Folder = "/pics/<name>/";
    v.Name = "<path>.jpg";
    // <path> goes first; the <name> inside its value is then replaced by the
    // later token, but the value of <name> is not searched again.
    EXPECT_EQ(CaptionFormat::Build("<path>", v), "/pics/<path>.jpg/ - Zorvin Lite");
}

TEST(Caption, FolderName)
{
    EXPECT_EQ(CaptionFormat::FolderName("/home/me/Photos/"), "Photos");
    EXPECT_EQ(CaptionFormat::FolderName("/"), "");
}

} // namespace
