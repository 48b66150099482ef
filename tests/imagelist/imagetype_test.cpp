#include <gtest/gtest.h>

#include "imagelist/TZorvinImageType.h"

namespace {

struct TypeCase {
    const char* name;
    const char* ext;  // expected lower-cased extension
    bool jpeg, bmp, gif, ico, cur;
};

class ImageTypeTable : public ::testing::TestWithParam<TypeCase> {};

TEST_P(ImageTypeTable, ClassifiesByLastExtensionOfTheName)
{
    const TypeCase& c = GetParam();
    const TZorvinImageType type(QString::fromUtf8(c.name));
    EXPECT_EQ(type.Extension(), QString::fromUtf8(c.ext));
    EXPECT_EQ(type.IsJpeg(), c.jpeg);
    EXPECT_EQ(type.IsBmp(), c.bmp);
    EXPECT_EQ(type.IsGif(), c.gif);
    EXPECT_EQ(type.IsIco(), c.ico);
    EXPECT_EQ(type.IsCur(), c.cur);
    EXPECT_FALSE(type.IsSusie());
    EXPECT_EQ(type.IsSupported(), c.jpeg || c.bmp || c.gif || c.ico || c.cur);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ImageTypeTable,
    ::testing::Values(
        TypeCase{"photo.JPG", ".jpg", true, false, false, false, false},
        TypeCase{"photo.Jpeg", ".jpeg", true, false, false, false, false},
        TypeCase{"/home/u/pics/photo.jpeg", ".jpeg", true, false, false, false, false},
        TypeCase{"photo.jpe", ".jpe", false, false, false, false, false},
        TypeCase{"photo.jfif", ".jfif", false, false, false, false, false},
        TypeCase{"photo", "", false, false, false, false, false},
        TypeCase{"photo.", ".", false, false, false, false, false},
        TypeCase{"photo.tar.gif", ".gif", false, false, true, false, false},
        TypeCase{"photo.gif.tar", ".tar", false, false, false, false, false},
        TypeCase{"/home/u/trip.jpg/photo", "", false, false, false, false, false},
        TypeCase{"/home/u/写真.v2/画像", "", false, false, false, false, false},
        TypeCase{"/home/u/写真/夕焼け.BMP", ".bmp", false, true, false, false, false},
        TypeCase{"icons/App.Ico", ".ico", false, false, false, true, false},
        TypeCase{"arrow.CUR", ".cur", false, false, false, false, true},
        // A backslash is an ordinary character in a Linux file name: the
        // extension of "a.jpg\b" is ".jpg\b", and "dir.x\b.gif" is a GIF.
        TypeCase{"a.jpg\\b", ".jpg\\b", false, false, false, false, false},
        TypeCase{"dir.x\\b.gif", ".gif", false, false, true, false, false},
        TypeCase{".jpg", ".jpg", true, false, false, false, false},
        TypeCase{"", "", false, false, false, false, false}));

TEST(ImageType, PluginExtensionsMatchWithoutRegardToCase)
{
    const QStringList plugins{".PNG", ".jpg", ".tiff"};
    TZorvinImageType type(&plugins);

    for (const char* name : {"a.png", "b.Png", "c.TIFF", "d.jpg", "e.JPG"}) {
        type.FileName = QString::fromUtf8(name);
        EXPECT_TRUE(type.IsSusie()) << name;
        EXPECT_TRUE(type.IsSupported()) << name;
    }
    // A plug-in that declares .jpg takes those files: IsSusie is the first
    // test of the reader choice, and the built-in test still answers too.
    type.FileName = "d.jpg";
    EXPECT_TRUE(type.IsJpeg());

    for (const char* name : {"a.tif", "b", "c.", "png", "dir.png/file"}) {
        type.FileName = QString::fromUtf8(name);
        EXPECT_FALSE(type.IsSusie()) << name;
        EXPECT_FALSE(type.IsSupported()) << name;
    }
}

TEST(ImageType, NoPluginListMeansOnlyBuiltInExtensions)
{
    const TZorvinImageType type("picture.png", nullptr);
    EXPECT_FALSE(type.IsSusie());
    EXPECT_FALSE(type.IsSupported());

    const QStringList empty;
    const TZorvinImageType withEmptyList("picture.png", &empty);
    EXPECT_FALSE(withEmptyList.IsSupported());
}

} // namespace
