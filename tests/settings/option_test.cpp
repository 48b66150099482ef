#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>

#include "TestFiles.h"
#include "TestText.h"
#include "platform/TProfileFile.h"
#include "settings/uOption.h"

namespace {

const QSize Screen(1920, 1080);

using TestText::U;
using TestText::Utf16Le;

// Section names in file order, and key names of one section in file order.
QStringList Sections(const QString& text)
{
    QStringList out;
    static const QRegularExpression header(QStringLiteral("^\\[(.*)\\]$"),
                                           QRegularExpression::MultilineOption);
    for (auto it = header.globalMatch(text); it.hasNext();)
        out.append(it.next().captured(1));
    return out;
}

QStringList Keys(const QString& text, const QString& section)
{
    QStringList out;
    bool inside = false;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('[')))
            inside = line == QLatin1Char('[') + section + QLatin1Char(']');
        else if (inside && line.contains(QLatin1Char('=')))
            out.append(line.section(QLatin1Char('='), 0, 0));
    }
    return out;
}

class OptionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        Path = Dir.filePath(QStringLiteral("Zorvin.ini"));
    }

    TOption Loaded(const QByteArray& ini)
    {
        TestFiles::Write(Path, ini);
        TOption option(Path, Screen);
        option.Load();
        return option;
    }

    QTemporaryDir Dir;
    QString Path;
};

TEST_F(OptionTest, NoFileGivesEveryDefault)
{
    TOption o(Path, Screen);
    o.Load();
    EXPECT_FALSE(QFile::exists(Path));  // loading writes nothing

    EXPECT_FALSE(o.LoopList);
    EXPECT_TRUE(o.ConfirmDelete);
    EXPECT_TRUE(o.ConfirmMove);
    EXPECT_FALSE(o.EnlargePicture);
    EXPECT_FALSE(o.ResetZoom);
    EXPECT_EQ(o.Buffer, 2);
    EXPECT_EQ(o.BackColor, 0);
    EXPECT_EQ(o.SortOrder, 0);
    EXPECT_TRUE(o.SortAscend);
    EXPECT_FALSE(o.OpenLastFile);
    EXPECT_FALSE(o.OpenLastFolder);
    EXPECT_EQ(o.StartFolder, QString());
    EXPECT_EQ(o.LastFile, QString());
    EXPECT_FALSE(o.AutoRotate);
    EXPECT_TRUE(o.MultiProcess);
    EXPECT_EQ(o.CaptionFormat, U("<path><name>  [<idx>/<count>] <zoom>%"));
    EXPECT_TRUE(o.NoCursorInFullScreen);
    EXPECT_EQ(o.ShrinkMode, 4);
    EXPECT_EQ(o.DragPixel, 20);
    EXPECT_TRUE(o.MenuVisible);
    EXPECT_EQ(o.DragPixel2, 50);
    EXPECT_TRUE(o.ShowLoading);
    EXPECT_EQ(o.LastDirForCopy, QString());
    EXPECT_FALSE(o.SpecifyWindowSize);
    EXPECT_EQ(o.SpecifiedWidth, 1536);
    EXPECT_EQ(o.SpecifiedHeight, 864);
    EXPECT_EQ(o.DragSpeed, 2);
    EXPECT_EQ(o.Extensions, U("JPEG;JPG;GIF;BMP;ICO;CUR"));
    EXPECT_EQ(o.Language, 1041);
    EXPECT_EQ(o.SPIDir, QString());
    EXPECT_TRUE(o.DisableSPIs.isEmpty());
    EXPECT_TRUE(o.SlideShow.FullScr);
    EXPECT_FALSE(o.SlideShow.Enlarge);
    EXPECT_FALSE(o.SlideShow.Random);
    EXPECT_FALSE(o.SlideShow.Repeat);
    EXPECT_EQ(o.SlideShow.Interval, 5000);
    EXPECT_EQ(o.OverView.Width, 200);
    EXPECT_EQ(o.OverView.Height, 170);
    EXPECT_EQ(o.OverView.X, 860);
    EXPECT_EQ(o.OverView.Y, 455);
    EXPECT_FALSE(o.OverView.Active);
    EXPECT_FALSE(o.OverView.UseAlphaBlending);
    EXPECT_EQ(o.OverView.AlphaBlending, 128);
    EXPECT_TRUE(o.OverView.AutoFollow);
    EXPECT_FALSE(o.OverView.FastShrink);
    EXPECT_EQ(o.OverView.BaseSpot, 0);
    EXPECT_FALSE(o.OverView.LockPos);
    for (const TProgramRec& rec : o.Programs) {
        EXPECT_FALSE(rec.Registered());
        EXPECT_TRUE(rec.Name.isEmpty() && rec.Param.isEmpty() && !rec.ExitAfterExecute);
    }
    ASSERT_EQ(o.ZvFuncs.size(), 40u);
    EXPECT_EQ(o.ZvFuncs[0].Name, U("NextImage"));
    EXPECT_EQ(o.ZvFuncs[0].Key, U("Down"));
    EXPECT_EQ(o.ZvFuncs[0].Mouse, U("MS_WHEELDOWN"));
    EXPECT_EQ(o.ZvFuncs[1].Key, U("Up"));
    EXPECT_EQ(o.ZvFuncs[1].Mouse, U("MS_WHEELUP"));
    EXPECT_EQ(o.ZvFuncs[2].Key, U("Del"));
    EXPECT_EQ(o.ZvFuncs[4].Key, U("Enter"));
    EXPECT_EQ(o.ZvFuncs[4].Mouse, U("MS_WHEELCLICK"));
    EXPECT_EQ(o.ZvFuncs[15].Name, U("Execute10"));
    EXPECT_EQ(o.ZvFuncs[39].Name, U("Refresh"));
    EXPECT_EQ(o.ZvFuncs[39].Key, U("F5"));
    EXPECT_TRUE(o.ZvFuncs[3].Key.isEmpty() && o.ZvFuncs[3].Mouse.isEmpty());
}

struct ScreenCase {
    QSize screen;
    int32_t width, height, x, y;
};

class OptionScreen : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(OptionScreen, SizeDefaultsFollowTheScreen)
{
    const ScreenCase& c = GetParam();
    const TOption o(QStringLiteral("/nonexistent/Zorvin.ini"), c.screen);
    EXPECT_EQ(o.SpecifiedWidth, c.width);
    EXPECT_EQ(o.SpecifiedHeight, c.height);
    EXPECT_EQ(o.OverView.X, c.x);
    EXPECT_EQ(o.OverView.Y, c.y);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, OptionScreen,
    ::testing::Values(ScreenCase{{1920, 1080}, 1536, 864, 860, 455},
                      ScreenCase{{1366, 768}, 1093, 614, 583, 299},  // 1092.8, 614.4
                      ScreenCase{{1367, 769}, 1094, 615, 583, 299},  // 1093.6, 615.2; .5 cut
                      ScreenCase{{100, 101}, 80, 81, -50, -34}));    // (100-200)/2, (101-170)/2

TEST_F(OptionTest, SaveOfANewFileWritesEverySectionInSaveOrderWithoutPrograms)
{
    TOption o(Path, Screen);
    o.Load();
    o.Save();
    const QString text = QString::fromUtf8(TestFiles::Read(Path));

    EXPECT_EQ(Sections(text), QStringList({"MouseSettings", "KeySettings", "Option", "General",
                                           "OverView", "Susie", "SlideShow"}));
    EXPECT_EQ(Keys(text, QStringLiteral("Option")),
              QStringList({"LoopList", "ConfirmDelete", "ConfirmMove", "EnlargePicture",
                           "ResetZoom", "Buffer", "BackColor", "SortOrder", "SortAscend",
                           "OpenLastFile", "OpenLastFolder", "StartFolder", "LastFile",
                           "AutoRotate", "MultiProcess", "CaptionFormat", "NoCursorInFullScreen",
                           "ShrinkMode", "DragPixel", "MenuVisible", "DragPixel2", "ShowLoading",
                           "LastDirForCopy", "SpecifyWindowSize", "SpecifiedWidth",
                           "SpecifiedHeight", "DragSpeed"}));
    EXPECT_EQ(Keys(text, QStringLiteral("General")), QStringList({"Extensions", "Language"}));
    EXPECT_EQ(Keys(text, QStringLiteral("OverView")),
              QStringList({"Width", "Height", "X", "Y", "Active", "UseAlphaBlending",
                           "AlphaBlending", "AutoFollow", "FastShrink", "BaseSpot", "LockPos"}));
    EXPECT_EQ(Keys(text, QStringLiteral("Susie")), QStringList({"SPIDir", "DisableSPIs"}));
    EXPECT_EQ(Keys(text, QStringLiteral("SlideShow")),
              QStringList({"FullScr", "Enlarge", "Random", "Repeat", "Interval"}));
    QStringList names;
    for (const TZvFuncInfo& info : ZvFuncTable)
        names.append(U(info.Name));
    EXPECT_EQ(Keys(text, QStringLiteral("MouseSettings")), names);
    EXPECT_EQ(Keys(text, QStringLiteral("KeySettings")), names);

    for (const char* line :
         {"\nCaptionFormat=<path><name>  [<idx>/<count>] <zoom>%\n", "\nConfirmDelete=1\n",
          "\nBuffer=2\n", "\nSpecifiedWidth=1536\n", "\nX=860\n", "\nDisableSPIs=\n",
          "\nExtensions=JPEG;JPG;GIF;BMP;ICO;CUR\n", "\nInterval=5000\n", "\nDelete=Del\n",
          "\nClose=\n", "\nNextImage=MS_WHEELDOWN\n"})
        EXPECT_TRUE(text.contains(U(line))) << line;
    EXPECT_FALSE(text.startsWith(QChar(0xFEFF)));
}

// Every member set away from its default survives Save and Load.
TEST_F(OptionTest, EveryMemberRoundTrips)
{
    TOption o(Path, Screen);
    o.LoopList = true;
    o.ConfirmDelete = false;
    o.ConfirmMove = false;
    o.EnlargePicture = true;
    o.ResetZoom = true;
    o.AutoRotate = true;
    o.NoCursorInFullScreen = false;
    o.ShowLoading = false;
    o.Buffer = 7;
    o.BackColor = 16777215;
    o.OpenLastFile = true;
    o.OpenLastFolder = true;
    o.StartFolder = U("/home/u/写真/");
    o.LastFile = U("/home/u/写真/夕焼け.jpg");
    o.MultiProcess = false;
    o.CaptionFormat = U("<name> \"q\"");
    o.ShrinkMode = 3;
    o.SPIDir = U("/opt/spi");
    o.SortOrder = 2;
    o.SortAscend = false;
    o.Language = 1033;
    o.DragPixel = -5;
    o.DragPixel2 = 99;
    o.MenuVisible = false;
    o.LastDirForCopy = U("/tmp/x");
    o.SpecifyWindowSize = true;
    o.SpecifiedWidth = 640;
    o.SpecifiedHeight = 480;
    o.DragSpeed = 11;
    o.SlideShow = TSlideShowOption{false, true, true, true, 18000000};
    o.Extensions = U("PNG;TIFF");
    o.OverView = TOverViewOption{true, 10, 20, -30, 40, true, 200, false, true, 3, true};
    o.DisableSPIs = QStringList({"a.spi", "b.spi"});
    o.ZvFuncs[0].Key = U("Down,Space");
    o.ZvFuncs[0].Mouse = QString();
    o.ZvFuncs[5].Mouse = U("MS_RIGHTCLICK");
    o.Programs[0] = TProgramRec{U("表示"), U("/usr/bin/eog"), U("%File%"), true};
    o.Programs[9] = TProgramRec{U("gimp"), U("/usr/bin/gimp"), U("-n %File%"), false};
    o.Save();

    TOption back(Path, QSize(800, 600));
    back.Load();
    EXPECT_EQ(back.LoopList, o.LoopList);
    EXPECT_EQ(back.ConfirmDelete, o.ConfirmDelete);
    EXPECT_EQ(back.ConfirmMove, o.ConfirmMove);
    EXPECT_EQ(back.EnlargePicture, o.EnlargePicture);
    EXPECT_EQ(back.ResetZoom, o.ResetZoom);
    EXPECT_EQ(back.AutoRotate, o.AutoRotate);
    EXPECT_EQ(back.NoCursorInFullScreen, o.NoCursorInFullScreen);
    EXPECT_EQ(back.ShowLoading, o.ShowLoading);
    EXPECT_EQ(back.Buffer, o.Buffer);
    EXPECT_EQ(back.BackColor, o.BackColor);
    EXPECT_EQ(back.OpenLastFile, o.OpenLastFile);
    EXPECT_EQ(back.OpenLastFolder, o.OpenLastFolder);
    EXPECT_EQ(back.StartFolder, o.StartFolder);
    EXPECT_EQ(back.LastFile, o.LastFile);
    EXPECT_EQ(back.MultiProcess, o.MultiProcess);
    EXPECT_EQ(back.CaptionFormat, o.CaptionFormat);
    EXPECT_EQ(back.ShrinkMode, o.ShrinkMode);
    EXPECT_EQ(back.SPIDir, o.SPIDir);
    EXPECT_EQ(back.SortOrder, o.SortOrder);
    EXPECT_EQ(back.SortAscend, o.SortAscend);
    EXPECT_EQ(back.Language, o.Language);
    EXPECT_EQ(back.DragPixel, o.DragPixel);
    EXPECT_EQ(back.DragPixel2, o.DragPixel2);
    EXPECT_EQ(back.MenuVisible, o.MenuVisible);
    EXPECT_EQ(back.LastDirForCopy, o.LastDirForCopy);
    EXPECT_EQ(back.SpecifyWindowSize, o.SpecifyWindowSize);
    EXPECT_EQ(back.SpecifiedWidth, o.SpecifiedWidth);
    EXPECT_EQ(back.SpecifiedHeight, o.SpecifiedHeight);
    EXPECT_EQ(back.DragSpeed, o.DragSpeed);
    EXPECT_EQ(back.SlideShow.FullScr, o.SlideShow.FullScr);
    EXPECT_EQ(back.SlideShow.Enlarge, o.SlideShow.Enlarge);
    EXPECT_EQ(back.SlideShow.Random, o.SlideShow.Random);
    EXPECT_EQ(back.SlideShow.Repeat, o.SlideShow.Repeat);
    EXPECT_EQ(back.SlideShow.Interval, o.SlideShow.Interval);
    EXPECT_EQ(back.Extensions, o.Extensions);
    EXPECT_EQ(back.OverView.Active, o.OverView.Active);
    EXPECT_EQ(back.OverView.Height, o.OverView.Height);
    EXPECT_EQ(back.OverView.Width, o.OverView.Width);
    EXPECT_EQ(back.OverView.X, o.OverView.X);
    EXPECT_EQ(back.OverView.Y, o.OverView.Y);
    EXPECT_EQ(back.OverView.UseAlphaBlending, o.OverView.UseAlphaBlending);
    EXPECT_EQ(back.OverView.AlphaBlending, o.OverView.AlphaBlending);
    EXPECT_EQ(back.OverView.AutoFollow, o.OverView.AutoFollow);
    EXPECT_EQ(back.OverView.FastShrink, o.OverView.FastShrink);
    EXPECT_EQ(back.OverView.BaseSpot, o.OverView.BaseSpot);
    EXPECT_EQ(back.OverView.LockPos, o.OverView.LockPos);
    EXPECT_EQ(back.DisableSPIs, o.DisableSPIs);
    for (size_t i = 0; i < o.ZvFuncs.size(); ++i) {
        EXPECT_EQ(back.ZvFuncs[i].Name, o.ZvFuncs[i].Name) << i;
        EXPECT_EQ(back.ZvFuncs[i].Key, o.ZvFuncs[i].Key) << i;
        EXPECT_EQ(back.ZvFuncs[i].Mouse, o.ZvFuncs[i].Mouse) << i;
    }
    for (size_t n = 0; n < o.Programs.size(); ++n) {
        EXPECT_EQ(back.Programs[n].Name, o.Programs[n].Name) << n;
        EXPECT_EQ(back.Programs[n].Path, o.Programs[n].Path) << n;
        EXPECT_EQ(back.Programs[n].Param, o.Programs[n].Param) << n;
        EXPECT_EQ(back.Programs[n].ExitAfterExecute, o.Programs[n].ExitAfterExecute) << n;
    }
    const QString text = QString::fromUtf8(TestFiles::Read(Path));
    EXPECT_TRUE(text.contains(U("\n[Programs]\nProg0=表示<>/usr/bin/eog<>%File%<>TRUE\n"
                                "Prog9=gimp<>/usr/bin/gimp<>-n %File%<>FALSE\n[SlideShow]\n")));
}

struct ValueCase {
    const char* what;
    const char* ini;
    std::function<int64_t(const TOption&)> member;
    int64_t expected;
};

class OptionValues : public OptionTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(OptionValues, ReadAsTheFileRulesSay)
{
    const ValueCase& c = GetParam();
    EXPECT_EQ(c.member(Loaded(c.ini)), c.expected) << c.what;
}

const auto buffer = [](const TOption& o) -> int64_t { return o.Buffer; };
const auto interval = [](const TOption& o) -> int64_t { return o.SlideShow.Interval; };
const auto confirmDelete = [](const TOption& o) -> int64_t { return o.ConfirmDelete; };

INSTANTIATE_TEST_SUITE_P(
    Keys, OptionValues,
    ::testing::Values(
        ValueCase{"Buffer 0", "[Option]\nBuffer=0\n", buffer, 1},
        ValueCase{"Buffer -3", "[Option]\nBuffer=-3\n", buffer, 1},
        ValueCase{"Buffer 6", "[Option]\nBuffer=6\n", buffer, 6},
        ValueCase{"Buffer words", "[Option]\nBuffer=many\n", buffer, 2},
        ValueCase{"Interval 0x", "[SlideShow]\nInterval=0x1388\n", interval, 5000},
        ValueCase{"Interval $", "[SlideShow]\nInterval=$1388\n", interval, 5000},
        ValueCase{"Interval decimal", "[SlideShow]\nInterval=7000\n", interval, 7000},
        ValueCase{"Interval letters", "[SlideShow]\nInterval=five\n", interval, 5000},
        ValueCase{"Interval 0x alone", "[SlideShow]\nInterval=0x\n", interval, 5000},
        ValueCase{"SortOrder 259", "[Option]\nSortOrder=259\n",
                  [](const TOption& o) -> int64_t { return o.SortOrder; }, 3},
        ValueCase{"BaseSpot -1", "[OverView]\nBaseSpot=-1\n",
                  [](const TOption& o) -> int64_t { return o.OverView.BaseSpot; }, 255},
        ValueCase{"ConfirmDelete TRUE", "[Option]\nConfirmDelete=TRUE\n", confirmDelete, 1},
        ValueCase{"ConfirmDelete 0", "[Option]\nConfirmDelete=0\n", confirmDelete, 0},
        ValueCase{"ConfirmDelete 2", "[Option]\nConfirmDelete=2\n", confirmDelete, 1},
        ValueCase{"LoopList TRUE", "[Option]\nLoopList=TRUE\n",
                  [](const TOption& o) -> int64_t { return o.LoopList; }, 0},
        ValueCase{"DragSpeed out of range kept", "[Option]\nDragSpeed=99\n",
                  [](const TOption& o) -> int64_t { return o.DragSpeed; }, 99},
        ValueCase{"OverView X from Width read", "[OverView]\nWidth=300\n",
                  [](const TOption& o) -> int64_t { return o.OverView.X; }, 810},
        ValueCase{"OverView Y from Height read", "[OverView]\nHeight=-2147483648\n",
                  [](const TOption& o) -> int64_t { return o.OverView.Y; }, 1073742364},
        ValueCase{"OverView X given", "[OverView]\nWidth=300\nX=-7\n",
                  [](const TOption& o) -> int64_t { return o.OverView.X; }, -7},
        ValueCase{"names in any case", "[option]\nbuffer=9\n", buffer, 9}),
    [](const ::testing::TestParamInfo<ValueCase>& info) { return std::to_string(info.index); });

TEST_F(OptionTest, BindingsPresentAndEmptyAreEmptyMissingOnesDefault)
{
    const TOption o = Loaded("[KeySettings]\nNextImage=\nrefresh=F5,Ctrl+R\n"
                             "[mousesettings]\nPREVIMAGE=MS_LEFTCLICK\n");
    EXPECT_EQ(o.ZvFuncs[0].Key, QString());
    EXPECT_EQ(o.ZvFuncs[0].Mouse, U("MS_WHEELDOWN"));
    EXPECT_EQ(o.ZvFuncs[1].Key, U("Up"));
    EXPECT_EQ(o.ZvFuncs[1].Mouse, U("MS_LEFTCLICK"));
    EXPECT_EQ(o.ZvFuncs[39].Key, U("F5,Ctrl+R"));
}

TEST_F(OptionTest, ProgramRecordsKeepTheirFieldsByPosition)
{
    const TOption o = Loaded("[Programs]\n"
                             "Prog0=View<>/usr/bin/eog<>%File%<>TRUE\n"
                             "Prog1=View<>/usr/bin/eog<>%File%<>true\n"
                             "Prog2= Gimp <> /usr/bin/gimp \n"
                             "Prog3=x<><>%File%<>TRUE\n"
                             "Prog4=NoParam<>/usr/bin/feh<><>TRUE\n"
                             "Prog10=ignored<>/bin/true<>%File%<>TRUE\n");
    EXPECT_EQ(o.Programs[0].Name, U("View"));
    EXPECT_EQ(o.Programs[0].Path, U("/usr/bin/eog"));
    EXPECT_EQ(o.Programs[0].Param, U("%File%"));
    EXPECT_TRUE(o.Programs[0].ExitAfterExecute);
    EXPECT_FALSE(o.Programs[1].ExitAfterExecute);
    EXPECT_EQ(o.Programs[2].Name, U("Gimp"));
    EXPECT_EQ(o.Programs[2].Path, U("/usr/bin/gimp"));
    EXPECT_EQ(o.Programs[2].Param, QString());
    EXPECT_FALSE(o.Programs[2].ExitAfterExecute);
    // An empty field stays empty: the fields after it do not move up.
    EXPECT_EQ(o.Programs[3].Path, QString());
    EXPECT_FALSE(o.Programs[3].Registered());
    EXPECT_EQ(o.Programs[4].Path, U("/usr/bin/feh"));
    EXPECT_EQ(o.Programs[4].Param, QString());
    EXPECT_TRUE(o.Programs[4].ExitAfterExecute);
    for (size_t n = 5; n < 10; ++n)
        EXPECT_FALSE(o.Programs[n].Registered()) << n;

    // A program without parameter survives a save and a load unchanged.
    TOption copy = o;
    copy.Save();
    TOption back(Path, Screen);
    back.Load();
    EXPECT_EQ(back.Programs[4].Param, QString());
    EXPECT_TRUE(back.Programs[4].ExitAfterExecute);
}

TEST_F(OptionTest, UnregisteredProgramsDisappearFromTheFile)
{
    TOption o = Loaded("[Programs]\nProg0=a<>/bin/a<>%File%<>FALSE\n; mine\n"
                       "Prog4=b<>/bin/b<>%File%<>FALSE\n[Keep]\nx=1\n");
    o.Programs[0].Path.clear();
    o.Save();
    TOption back(Path, Screen);
    back.Load();
    EXPECT_FALSE(back.Programs[0].Registered());
    EXPECT_EQ(back.Programs[4].Path, U("/bin/b"));
    const QString text = QString::fromUtf8(TestFiles::Read(Path));
    EXPECT_FALSE(text.contains(U("Prog0")));
    EXPECT_EQ(Keys(text, QStringLiteral("Programs")), QStringList({"Prog4"}));
    EXPECT_TRUE(text.startsWith(U("[Keep]\nx=1\n[MouseSettings]\n")));

    o.Programs[4].Path.clear();
    o.Save();
    EXPECT_FALSE(Sections(QString::fromUtf8(TestFiles::Read(Path))).contains(U("Programs")));
}

TEST_F(OptionTest, DisableSpisUseTheirDelimitedForm)
{
    EXPECT_EQ(Loaded("[Susie]\nDisableSPIs=a.spi;b.spi\n").DisableSPIs,
              QStringList({"a.spi", "b.spi"}));
    EXPECT_EQ(Loaded("[Susie]\nDisableSPIs=a.spi;\n").DisableSPIs, QStringList({"a.spi", ""}));

    TOption o(Path, Screen);
    o.DisableSPIs = QStringList({QString()});
    o.Save();
    EXPECT_TRUE(TestFiles::Read(Path).contains("\nDisableSPIs=  \n"));
}

TEST_F(OptionTest, ValuesAreCutTo2047Characters)
{
    const QByteArray folder(3000, 'f');
    EXPECT_EQ(Loaded("[Option]\nStartFolder=" + folder + "\n").StartFolder,
              QString::fromLatin1(folder.left(2047)));
}

TEST_F(OptionTest, HandWrittenUtf16FileKeepsItsBytesAndSpelling)
{
    const QString head = U("[option]\r\n; 手で書いたメモ\r\nlastfile=C:/写真/夕焼け.jpg\r\n");
    TestFiles::Write(Path, "\xFF\xFE" + Utf16Le(head + U("LOOPLIST=1\r\n")));
    TOption o(Path, Screen);
    o.Load();
    EXPECT_TRUE(o.LoopList);
    EXPECT_EQ(o.LastFile, U("C:/写真/夕焼け.jpg"));
    o.LoopList = false;
    o.Save();

    const QByteArray after = TestFiles::Read(Path);
    EXPECT_TRUE(after.startsWith("\xFF\xFE" + Utf16Le(head + U("LOOPLIST=0\r\nConfirmDelete=1\r\n"))));
    const TProfileFile ini(Path);
    EXPECT_EQ(ini.Encoding(), TProfileFile::TEncoding::Utf16Le);
    EXPECT_EQ(ini.ReadString(U("MouseSettings"), U("NextImage"), {}), U("MS_WHEELDOWN"));
    QString text;
    for (qsizetype i = 2; i + 1 < after.size(); i += 2)
        text += QChar(char16_t(uchar(after[i]) | (uchar(after[i + 1]) << 8)));
    EXPECT_EQ(text.count(U("\nlooplist="), Qt::CaseInsensitive), 1);
    EXPECT_EQ(text.count(U("\nlastfile="), Qt::CaseInsensitive), 1);
}

TEST_F(OptionTest, RefusedSaveThrowsTheWriteError)
{
    ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("Zorvin.ini")));
    TOption o(Path, Screen);
    o.Load();
    try {
        o.Save();
        FAIL() << "no error";
    } catch (const EProfileWriteError& e) {
        EXPECT_EQ(e.Message(), Path + U(" に書き込めません"));
    }
}

TEST_F(OptionTest, MultiProcessIsReadOnItsOwn)
{
    EXPECT_TRUE(TOption::ReadMultiProcess(Path));
    TestFiles::Write(Path, "[Option]\nMultiProcess=0\n");
    EXPECT_FALSE(TOption::ReadMultiProcess(Path));
}

// ---- window placement ------------------------------------------------------

class FakeWindow : public IWindowPlacement {
public:
    TWindowPlacement GetWindowPlacement() const override { return Placement; }
    void SetWindowPlacement(const TWindowPlacement& placement) override
    {
        Placement = placement;
        ++Applied;
    }
    QRect CurrentBounds() const override { return Bounds; }

    QRect Bounds{10, 20, 542, 424};
    TWindowPlacement Placement;
    int Applied = 0;
};

struct PlacementCase {
    const char* what;
    const char* ini;
    TWindowRect rect;
    bool maximized;
};

class OptionPlacement : public OptionTest, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(OptionPlacement, LoadsTheNormalRectangleAndState)
{
    const PlacementCase& c = GetParam();
    TestFiles::Write(Path, c.ini);
    const TOption o(Path, Screen);
    FakeWindow window;
    o.LoadWindowPlacement(window);
    ASSERT_EQ(window.Applied, 1);
    const TWindowRect& r = window.Placement.NormalRect;
    EXPECT_EQ(r.Left, c.rect.Left) << c.what;
    EXPECT_EQ(r.Top, c.rect.Top) << c.what;
    EXPECT_EQ(r.Right, c.rect.Right) << c.what;
    EXPECT_EQ(r.Bottom, c.rect.Bottom) << c.what;
    EXPECT_EQ(window.Placement.Maximized, c.maximized) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Files, OptionPlacement,
    ::testing::Values(
        PlacementCase{"nothing stored", "", {10, 20, 552, 444}, false},
        PlacementCase{"stored", "[Window]\nState=0\nLeft=5\nTop=6\nRight=705\nBottom=506\n",
                      {5, 6, 705, 506}, false},
        PlacementCase{"maximized", "[Window]\nState=1\nLeft=5\nTop=6\nRight=705\nBottom=506\n",
                      {5, 6, 705, 506}, true},
        PlacementCase{"state 2 is normal", "[Window]\nState=2\n", {10, 20, 552, 444}, false},
        PlacementCase{"specified size",
                      "[Option]\nSpecifyWindowSize=1\nSpecifiedWidth=800\nSpecifiedHeight=600\n"
                      "[Window]\nState=1\nLeft=100\nTop=50\nRight=5000\nBottom=5000\n",
                      {100, 50, 899, 649}, false},
        PlacementCase{"specified size from the screen", "[Option]\nSpecifyWindowSize=1\n",
                      {10, 20, 1545, 883}, false},
        PlacementCase{"no overflow at the edge",
                      "[Option]\nSpecifyWindowSize=1\nSpecifiedWidth=800\nSpecifiedHeight=-5\n"
                      "[Window]\nLeft=2147483647\nTop=-2147483648\n",
                      {2147483647, INT32_MIN, 2147483647, INT32_MIN}, false}),
    [](const ::testing::TestParamInfo<PlacementCase>& info) { return std::to_string(info.index); });

TEST_F(OptionTest, SavedPlacementFollowsTheSettingsAndReadsBack)
{
    TOption o(Path, Screen);
    o.Save();
    FakeWindow window;
    window.Placement = TWindowPlacement{{-8, 30, 1200, 900}, true};
    o.SaveWindowPlacement(window);

    const QString text = QString::fromUtf8(TestFiles::Read(Path));
    EXPECT_EQ(Sections(text).last(), U("Window"));
    EXPECT_TRUE(text.endsWith(U("[Window]\nState=1\nLeft=-8\nTop=30\nRight=1200\nBottom=900\n")));

    FakeWindow other;
    o.LoadWindowPlacement(other);
    EXPECT_TRUE(other.Placement.Maximized);
    EXPECT_EQ(other.Placement.NormalRect.Left, -8);
    EXPECT_EQ(other.Placement.NormalRect.Bottom, 900);
}

} // namespace
