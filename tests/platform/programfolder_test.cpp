#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "Unprivileged.h"
#include "platform/ProgramFolder.h"

namespace {

class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        ASSERT_EQ(::chmod(QFile::encodeName(Dir.path()).constData(), 0777), 0);
        Exe = Dir.filePath(QStringLiteral("bin"));
        Home = Dir.filePath(QStringLiteral("home"));
        ASSERT_TRUE(QDir().mkpath(Exe));
        ASSERT_TRUE(QDir().mkpath(Home));
    }

    QTemporaryDir Dir;
    QString Exe;
    QString Home;
};

TEST_F(ProgramFolderTest, WritableExecutableFolderIsThePortableHome)
{
    EXPECT_EQ(ProgramFolder::Choose(Exe, Dir.filePath(QStringLiteral("cfg")), Home), Exe + "/");
    EXPECT_EQ(ProgramFolder::Choose(Exe + "/", QString(), Home), Exe + "/");
    EXPECT_FALSE(QDir(Dir.filePath(QStringLiteral("cfg"))).exists());
}

struct XdgCase {
    const char* what;
    const char* xdg;       // relative to the temp folder when it starts with "@"
    const char* expected;  // relative to the temp folder
};

class ProgramFolderXdg : public ProgramFolderTest, public ::testing::WithParamInterface<XdgCase> {};

TEST_P(ProgramFolderXdg, OtherwiseTheConfigFolderIsChosenAndCreated)
{
    const XdgCase& c = GetParam();
    QString xdg = QString::fromUtf8(c.xdg);
    if (xdg.startsWith(QLatin1Char('@')))
        xdg = Dir.filePath(xdg.mid(1));
    const QString expected = Dir.filePath(QString::fromUtf8(c.expected));
    const QString missingExe = Dir.filePath(QStringLiteral("gone"));

    EXPECT_EQ(ProgramFolder::Choose(missingExe, xdg, Home), expected) << c.what;
    EXPECT_TRUE(QDir(expected).exists()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Variables, ProgramFolderXdg,
    ::testing::Values(XdgCase{"absolute", "@cfg", "cfg/zorvin/"},
                      XdgCase{"absolute with slash", "@cfg/", "cfg/zorvin/"},
                      XdgCase{"unset", "", "home/.config/zorvin/"},
                      XdgCase{"relative is ignored", "cfg", "home/.config/zorvin/"}));

TEST_F(ProgramFolderTest, ReadOnlyExecutableFolderSendsSettingsToTheConfigFolder)
{
    ASSERT_EQ(::chmod(QFile::encodeName(Exe).constData(), 0555), 0);
    const QString exe = Exe;
    const QString cfg = Dir.filePath(QStringLiteral("cfg"));
    const QString home = Home;
    const int result = RunUnprivileged([=] {
        const QString chosen = ProgramFolder::Choose(exe, cfg, home);
        return chosen == cfg + "/zorvin/" && QDir(chosen).exists() ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
}

} // namespace
