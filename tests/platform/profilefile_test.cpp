#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include "TestFiles.h"
#include "Unprivileged.h"
#include "TestText.h"
#include "platform/TProfileFile.h"

namespace {

using TestText::U;
using TestText::Utf16Le;

// ---- reading ---------------------------------------------------------------

struct ReadCase {
    const char* what;
    const char* file;
    const char* section;
    const char* key;
    const char* expected;  // nullptr: the key is missing and the default comes back
};

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, FindsValuesByTheWindowsRules)
{
    const ReadCase& c = GetParam();
    const TProfileFile ini(QStringLiteral("x.ini"), QByteArray(c.file));
    const QString def = QStringLiteral("<default>");
    const QString got = ini.ReadString(U(c.section), U(c.key), def);
    if (c.expected) {
        EXPECT_EQ(got, U(c.expected)) << c.what;
        EXPECT_TRUE(ini.ValueExists(U(c.section), U(c.key))) << c.what;
    } else {
        EXPECT_EQ(got, def) << c.what;
        EXPECT_FALSE(ini.ValueExists(U(c.section), U(c.key))) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileRead,
    ::testing::Values(
        ReadCase{"plain", "[Option]\nLoopList=1\n", "Option", "LoopList", "1"},
        ReadCase{"case of names", "[oPTION]\nlooplist=1\n", "Option", "LoopList", "1"},
        ReadCase{"blanks around", "  [Option]\n  LoopList \t=  a b \t\n", "Option", "LoopList", "a b"},
        ReadCase{"CRLF", "[Option]\r\nLoopList=7\r\n", "Option", "LoopList", "7"},
        ReadCase{"no final line end", "[Option]\nLoopList=7", "Option", "LoopList", "7"},
        ReadCase{"quoted", "[S]\nk=\"  a  \"\n", "S", "k", "  a  "},
        ReadCase{"quotes only at the start", "[S]\nk=\"a\n", "S", "k", "\"a"},
        ReadCase{"inner quotes stay", "[S]\nk=a\"b\"\n", "S", "k", "a\"b\""},
        ReadCase{"lone quote", "[S]\nk=\"\n", "S", "k", "\""},
        ReadCase{"empty quotes", "[S]\nk=\"\"\n", "S", "k", ""},
        ReadCase{"present and empty", "[S]\nk=\n", "S", "k", ""},
        ReadCase{"value holds =", "[S]\nk=a=b\n", "S", "k", "a=b"},
        ReadCase{"first key wins", "[S]\nk=1\nK=2\n", "S", "k", "1"},
        ReadCase{"first section wins", "[S]\na=1\n[s]\nk=2\n", "S", "k", nullptr},
        ReadCase{"key of the next section", "[S]\n[T]\nk=1\n", "S", "k", nullptr},
        ReadCase{"key before any section", "k=1\n[S]\n", "S", "k", nullptr},
        ReadCase{"comment", "[S]\n;k=1\n", "S", "k", nullptr},
        ReadCase{"line without =", "[S]\nk\n", "S", "k", nullptr},
        ReadCase{"missing section", "[T]\nk=1\n", "S", "k", nullptr},
        ReadCase{"unclosed header is no section", "[S]\n[T\nk=1\n", "S", "k", "1"},
        ReadCase{"header runs to the last ]", "[a]b] tail\nk=1\n", "a]b", "k", "1"},
        ReadCase{"Japanese", "[S]\nk=夕焼け.jpg\n", "S", "k", "夕焼け.jpg"},
        ReadCase{"empty file", "", "S", "k", nullptr}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::to_string(info.index); });

TEST(ProfileFile, LongValuesAreCutTo2047Characters)
{
    const QString value(3000, QLatin1Char('v'));
    const TProfileFile ini(QStringLiteral("x.ini"), "[S]\nk=" + value.toUtf8() + "\n");
    EXPECT_EQ(ini.ReadString(QStringLiteral("S"), QStringLiteral("k"), {}), value.left(2047));

    // The cut never keeps half of a surrogate pair.
    const QString pairs = QString(2046, QLatin1Char('a')) + U("😀😀");
    const TProfileFile emoji(QStringLiteral("x.ini"), "[S]\nk=" + pairs.toUtf8());
    EXPECT_EQ(emoji.ReadString(QStringLiteral("S"), QStringLiteral("k"), {}), pairs.left(2046));
}

struct IntCase {
    const char* text;
    int32_t expected;  // with default 77
};

class ProfileInteger : public ::testing::TestWithParam<IntCase> {};

TEST_P(ProfileInteger, ParsesDecimalAndBothHexForms)
{
    const IntCase& c = GetParam();
    EXPECT_EQ(TProfileFile::ParseInteger(U(c.text), 77), c.expected) << c.text;
    const TProfileFile ini(QStringLiteral("x.ini"), QByteArray("[S]\nk= ") + c.text + " \n");
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("k"), 77), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ProfileInteger,
    ::testing::Values(IntCase{"5000", 5000}, IntCase{"0x1388", 5000}, IntCase{"0X1388", 5000},
                      IntCase{"$1388", 5000}, IntCase{"$001388", 5000}, IntCase{"-3", -3},
                      IntCase{"0", 0}, IntCase{"007", 7}, IntCase{"2147483647", 2147483647},
                      IntCase{"-2147483648", INT32_MIN}, IntCase{"$FFFFFFFF", -1},
                      IntCase{"0x80000000", INT32_MIN}, IntCase{"2147483648", 77},
                      IntCase{"-2147483649", 77}, IntCase{"$100000000", 77}, IntCase{"0x", 77},
                      IntCase{"0X", 77}, IntCase{"$", 77}, IntCase{"-", 77}, IntCase{"", 77},
                      IntCase{"abc", 77}, IntCase{"12a", 77}, IntCase{"1 2", 77}, IntCase{"+5", 77},
                      IntCase{"0x12g", 77}, IntCase{"-$10", 77},
                      IntCase{"TRUE", 77}, IntCase{"１２", 77}));

TEST(ProfileFile, BooleanAndByteAreReadAsIntegers)
{
    const TProfileFile ini(QStringLiteral("x.ini"),
                           "[S]\nzero=0\ntwo=2\nminus=-1\nword=TRUE\nb259=259\nbm1=-1\nq=\"42\"\n");
    const QString s = QStringLiteral("S");
    EXPECT_FALSE(ini.ReadBool(s, QStringLiteral("zero"), true));
    EXPECT_TRUE(ini.ReadBool(s, QStringLiteral("two"), false));
    EXPECT_TRUE(ini.ReadBool(s, QStringLiteral("minus"), false));
    EXPECT_TRUE(ini.ReadBool(s, QStringLiteral("word"), true));
    EXPECT_FALSE(ini.ReadBool(s, QStringLiteral("word"), false));
    EXPECT_TRUE(ini.ReadBool(s, QStringLiteral("missing"), true));
    EXPECT_EQ(ini.ReadByte(s, QStringLiteral("b259"), 9), 3);
    EXPECT_EQ(ini.ReadByte(s, QStringLiteral("bm1"), 9), 255);
    EXPECT_EQ(ini.ReadByte(s, QStringLiteral("word"), 9), 9);
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("q"), 9), 42);  // quotes go before parsing
}

// ---- writing in memory -----------------------------------------------------

TEST(ProfileFile, ReplacesInPlaceAndKeepsEverythingElseByteForByte)
{
    const QByteArray before = "; hand-written notes\n"
                              "[option]\n"
                              "  LOOPLIST = 0   \n"
                              "Unknown=stays\n"
                              "\n"
                              "[Other]\n"
                              "x=1\n";
    TProfileFile ini(QStringLiteral("x.ini"), before);
    ini.WriteInteger(QStringLiteral("Option"), QStringLiteral("LoopList"), 1);
    EXPECT_EQ(ini.Contents(), QByteArray("; hand-written notes\n"
                                         "[option]\n"
                                         "LOOPLIST=1\n"
                                         "Unknown=stays\n"
                                         "\n"
                                         "[Other]\n"
                                         "x=1\n"));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("OPTION"), QStringLiteral("looplist"), 5), 1);
}

TEST(ProfileFile, NewKeysGoToTheEndOfTheirSectionAndNewSectionsToTheEndOfTheFile)
{
    TProfileFile ini(QStringLiteral("x.ini"), "[A]\na=1\n\n\n[B]\nb=1");
    ini.WriteString(QStringLiteral("a"), QStringLiteral("n"), QStringLiteral("2"));
    ini.WriteString(QStringLiteral("B"), QStringLiteral("n"), QStringLiteral("3"));
    ini.WriteString(QStringLiteral("C"), QStringLiteral("n"), QStringLiteral("4"));
    EXPECT_EQ(ini.Contents(), QByteArray("[A]\na=1\nn=2\n\n\n[B]\nb=1\nn=3\n[C]\nn=4\n"));
}

TEST(ProfileFile, NewLinesFollowTheFilesOwnLineEnds)
{
    TProfileFile crlf(QStringLiteral("x.ini"), "[A]\r\na=1\r\n");
    crlf.WriteString(QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("2"));
    crlf.WriteString(QStringLiteral("N"), QStringLiteral("c"), QStringLiteral("3"));
    EXPECT_EQ(crlf.Contents(), QByteArray("[A]\r\na=1\r\nb=2\r\n[N]\r\nc=3\r\n"));

    TProfileFile fresh(QStringLiteral("x.ini"), QByteArray());
    fresh.WriteString(QStringLiteral("N"), QStringLiteral("c"), QStringLiteral("3"));
    EXPECT_EQ(fresh.Contents(), QByteArray("[N]\nc=3\n"));
}

TEST(ProfileFile, ALineBreakInAValueCannotForgeKeysOrSections)
{
    TProfileFile ini(QStringLiteral("x.ini"), "[A]\na=1\n");
    ini.WriteString(QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("x\r\n[B]\nb=2"));
    EXPECT_EQ(ini.Contents(), QByteArray("[A]\na=x  [B] b=2\n"));
    const TProfileFile back(QStringLiteral("x.ini"), ini.Contents());
    EXPECT_FALSE(back.SectionExists(QStringLiteral("B")));
    EXPECT_EQ(back.ReadString(QStringLiteral("A"), QStringLiteral("a"), {}), U("x  [B] b=2"));
}

TEST(ProfileFile, WritingTheSameValueChangesNothing)
{
    TProfileFile ini(QStringLiteral("x.ini"), "[A]\na =  1 \n");
    ini.WriteInteger(QStringLiteral("A"), QStringLiteral("A"), 1);
    EXPECT_FALSE(ini.Modified());
    EXPECT_EQ(ini.Contents(), QByteArray("[A]\na =  1 \n"));
    ini.WriteInteger(QStringLiteral("A"), QStringLiteral("A"), 2);
    EXPECT_TRUE(ini.Modified());
}

TEST(ProfileFile, EraseSectionRemovesEveryCopyWithItsLines)
{
    TProfileFile ini(QStringLiteral("x.ini"),
                     "[Programs]\nProg0=a\n;note\n[Keep]\nk=1\n[PROGRAMS]\nProg9=b\n");
    ini.EraseSection(QStringLiteral("Programs"));
    EXPECT_EQ(ini.Contents(), QByteArray("[Keep]\nk=1\n"));
    EXPECT_TRUE(ini.Modified());

    TProfileFile none(QStringLiteral("x.ini"), "[Keep]\nk=1\n");
    none.EraseSection(QStringLiteral("Programs"));
    EXPECT_FALSE(none.Modified());
}

TEST(ProfileFile, Utf16FileRoundTripsByteForByteOutsideTheChangedLines)
{
    const QString head = U("[Option]\r\nLastFile=C:/写真/夕焼け.jpg\r\n; 日本語のメモ\r\n");
    const QString tail = U("[General]\r\nExtensions=JPEG;JPG\r\n");
    const QByteArray before = "\xFF\xFE" + Utf16Le(head + U("Buffer=2\r\n") + tail);

    TProfileFile ini(QStringLiteral("x.ini"), before);
    EXPECT_EQ(ini.Encoding(), TProfileFile::TEncoding::Utf16Le);
    EXPECT_EQ(ini.ReadString(QStringLiteral("option"), QStringLiteral("lastfile"), {}),
              U("C:/写真/夕焼け.jpg"));

    ini.WriteString(QStringLiteral("Option"), QStringLiteral("LastFile"), U("C:/写真/夕焼け.jpg"));
    EXPECT_EQ(ini.Contents(), before);
    ini.WriteInteger(QStringLiteral("Option"), QStringLiteral("Buffer"), 4);
    ini.WriteString(QStringLiteral("Susie"), QStringLiteral("SPIDir"), U("D:/プラグイン"));
    EXPECT_EQ(ini.Contents(), "\xFF\xFE" + Utf16Le(head + U("Buffer=4\r\n") + tail
                                                   + U("[Susie]\r\nSPIDir=D:/プラグイン\r\n")));
}

TEST(ProfileFile, OtherEncodingsSurviveInUnchangedLines)
{
    // Shift-JIS bytes are no UTF-8; the line is kept as it was.
    const QByteArray sjis = "[A]\nname=\x93\xfa\x96\x7b\nk=1\n";
    TProfileFile ini(QStringLiteral("x.ini"), sjis);
    ini.WriteInteger(QStringLiteral("A"), QStringLiteral("k"), 2);
    EXPECT_EQ(ini.Contents(), QByteArray("[A]\nname=\x93\xfa\x96\x7b\nk=2\n"));

    TProfileFile bom(QStringLiteral("x.ini"), "\xEF\xBB\xBF[A]\nk=1\n");
    EXPECT_EQ(bom.Encoding(), TProfileFile::TEncoding::Utf8Bom);
    bom.WriteString(QStringLiteral("A"), QStringLiteral("j"), U("値"));
    EXPECT_EQ(bom.Contents(), QByteArray("\xEF\xBB\xBF[A]\nk=1\nj=値\n"));
}

// ---- the file on disk -------------------------------------------------------

class ProfileDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        // Open to "nobody" for the permission tests run as root.
        QFile::setPermissions(Dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                              | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                              | QFileDevice::ExeOther | QFileDevice::WriteOther);
        Path = Dir.filePath(QStringLiteral("Zorvin.ini"));
    }

    QStringList Entries() const
    {
        return QDir(Dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir Dir;
    QString Path;
};

TEST_F(ProfileDisk, NewFileIsUtf8WithoutMarkAndLeavesNoTemporaryFile)
{
    TProfileFile ini(Path);
    EXPECT_FALSE(ini.Modified());
    ini.WriteString(QStringLiteral("Option"), QStringLiteral("LastFile"), U("/home/u/夕焼け.jpg"));
    ini.Flush();
    EXPECT_EQ(TestFiles::Read(Path), QByteArray("[Option]\nLastFile=/home/u/夕焼け.jpg\n"));
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("Zorvin.ini")});
    EXPECT_FALSE(ini.Modified());

    const TProfileFile back(Path);
    EXPECT_EQ(back.ReadString(QStringLiteral("option"), QStringLiteral("lastfile"), {}),
              U("/home/u/夕焼け.jpg"));
}

TEST_F(ProfileDisk, FlushWritesOnlyWhenSomethingChanged)
{
    TestFiles::Write(Path, "[A]\nk=1\n");
    TProfileFile ini(Path);
    ini.WriteInteger(QStringLiteral("A"), QStringLiteral("k"), 1);
    TestFiles::Write(Path, "written by someone else\n");
    ini.Flush();
    EXPECT_EQ(TestFiles::Read(Path), QByteArray("written by someone else\n"));
}

TEST_F(ProfileDisk, KeepsTheFilesModeAndWritesThroughALink)
{
    const QString real = Dir.filePath(QStringLiteral("real.ini"));
    TestFiles::Write(real, "[A]\nk=1\n");
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0600), 0);
    const QString middle = Dir.filePath(QStringLiteral("middle.ini"));
    ASSERT_TRUE(QFile::link(real, middle));
    ASSERT_TRUE(QFile::link(middle, Path));

    TProfileFile ini(Path);
    ini.WriteInteger(QStringLiteral("A"), QStringLiteral("k"), 2);
    ini.Flush();
    EXPECT_TRUE(QFileInfo(Path).isSymLink());
    EXPECT_TRUE(QFileInfo(middle).isSymLink());
    EXPECT_EQ(TestFiles::Read(real), QByteArray("[A]\nk=2\n"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}

// A file that exists but cannot be read is never replaced by one built from
// defaults.
TEST_F(ProfileDisk, UnreadableFileIsNeverOverwritten)
{
    const QByteArray tooBig = "[A]\nk=7\n" + QByteArray(TProfileFile::MaxFileSize, '\n');
    for (const bool folder : {true, false}) {
        if (folder) {
            ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("Zorvin.ini")));
        } else {
            ASSERT_TRUE(QDir(Path).removeRecursively());
            TestFiles::Write(Path, tooBig);
        }
        TProfileFile ini(Path);
        EXPECT_EQ(ini.ReadInteger(QStringLiteral("A"), QStringLiteral("k"), 1), 1) << folder;
        ini.WriteInteger(QStringLiteral("A"), QStringLiteral("k"), 2);
        try {
            ini.Flush();
            ADD_FAILURE() << "an unreadable file was replaced; folder: " << folder;
        } catch (const EProfileWriteError& e) {
            EXPECT_EQ(e.Message(), Path + U(" に書き込めません"));
            EXPECT_EQ(e.Path(), Path);
        }
        if (folder)
            EXPECT_TRUE(QFileInfo(Path).isDir());
        else
            EXPECT_EQ(TestFiles::Read(Path), tooBig);
    }
    EXPECT_FALSE(TProfileFile(Path, tooBig).ValueExists(QStringLiteral("A"), QStringLiteral("k")));
}

// The write fails half-way (the file size limit stands in for a full disk):
// the old file stays whole and the temporary file is removed.
TEST_F(ProfileDisk, FailedWriteLeavesTheOldFileIntact)
{
    const QByteArray before = "[A]\nk=1\n";
    TestFiles::Write(Path, before);
    TProfileFile ini(Path);
    ini.WriteString(QStringLiteral("A"), QStringLiteral("big"), QString(100000, QLatin1Char('x')));

    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool thrown = false;
    try {
        ini.Flush();
    } catch (const EProfileWriteError& e) {
        thrown = e.Message() == Path + U(" に書き込めません");
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    EXPECT_TRUE(thrown);
    EXPECT_EQ(TestFiles::Read(Path), before);
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("Zorvin.ini")});
    EXPECT_TRUE(ini.Modified());
}

struct PermissionCase {
    const char* what;
    mode_t fileMode;
    mode_t folderMode;
};

class ProfilePermissions : public ProfileDisk,
                           public ::testing::WithParamInterface<PermissionCase> {};

TEST_P(ProfilePermissions, RefusedWriteThrowsWithThePathAndKeepsTheFile)
{
    const PermissionCase& c = GetParam();
    const QByteArray before = "[A]\nk=1\n";
    TestFiles::Write(Path, before);
    ASSERT_EQ(::chmod(QFile::encodeName(Path).constData(), c.fileMode), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(Dir.path()).constData(), c.folderMode), 0);
    const QString path = Path;

    const int result = RunUnprivileged([path] {
        TProfileFile ini(path);
        if (ini.ReadInteger(QStringLiteral("A"), QStringLiteral("k"), 0) != 1)
            return 3;
        ini.WriteInteger(QStringLiteral("A"), QStringLiteral("k"), 2);
        try {
            ini.Flush();
        } catch (const EProfileWriteError& e) {
            return e.Message() == path + QString::fromUtf8(" に書き込めません") ? 0 : 2;
        }
        return 1;
    });
    ::chmod(QFile::encodeName(Dir.path()).constData(), 0777);

    EXPECT_EQ(result, 0) << c.what << " (1: no error, 2: wrong text, 3: not read)";
    EXPECT_EQ(TestFiles::Read(Path), before) << c.what;
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("Zorvin.ini")}) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Modes, ProfilePermissions,
                         ::testing::Values(PermissionCase{"read-only file", 0444, 0777},
                                           PermissionCase{"read-only folder", 0666, 0555}));

} // namespace
