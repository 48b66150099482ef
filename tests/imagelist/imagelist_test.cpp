// The folder list: what a scan admits, the sort orders, opening files and
// folders, moving the position, deleting to the trash.

#include <QFileInfo>

#include "LoaderFixture.h"
#include "imagelist/TFileSort.h"

using ImageList = LoaderFixture;

TEST_F(ImageList, ScanAdmitsVisibleSupportedPlainFilesOnly)
{
    for (const char* name : {"a.JPG", "b.jpg", "C.gif", ".d.jpg", "e.txt", "noext", "trailing."})
        Touch(name);
    QDir().mkpath(Folder + "folder.jpg");
    ASSERT_TRUE(QFile::link(Folder + "b.jpg", Folder + "link.jpg"));
    ASSERT_TRUE(QFile::link(Folder + "gone.jpg", Folder + "dangling.jpg"));
    Start();
    Manager->OpenFolder(Folder, true);
    EXPECT_EQ(Names(), QStringList({"a.JPG", "b.jpg", "C.gif", "link.jpg"}));
}

TEST_F(ImageList, UnreadableFolderGivesEmptyListAndClearsTheView)
{
    Start();
    Manager->OpenFolder(Folder + "missing", true);
    Settle();
    EXPECT_EQ(Manager->Count(), 0);
    EXPECT_EQ(Manager->ImageIndex, -1);
    ASSERT_EQ(Posted.size(), 1u);
    EXPECT_EQ(Posted[0].Id, 1124);
    EXPECT_EQ(Posted[0].WParam, 0u);
    EXPECT_EQ(Posted[0].LParam, 0);
    EXPECT_EQ(Shown, std::vector<QString>{QString()});
}

struct SortCase {
    const char* Title;
    uint8_t Order;
    bool Ascend;
    QStringList Expected;
};

TEST_F(ImageList, SortOrders)
{
    // name, size; dates follow the creation order below.
    const std::vector<std::pair<QString, int>> files = {
        {"img2.jpg", 30}, {"img10.jpg", 10}, {"B.jpg", 20}, {"a.jpg", 40}, {"A.jpg", 50}};
    qint64 t = 1'600'000'000;
    for (const auto& [name, size] : files) {
        Touch(name, size);
        QFile f(Folder + name);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime::fromSecsSinceEpoch(t += 60), QFileDevice::FileModificationTime));
    }
    const SortCase cases[] = {
        {"name: locale order, case-sensitive, not numeric", 0, true,
         {"a.jpg", "A.jpg", "B.jpg", "img10.jpg", "img2.jpg"}},
        {"name descending", 0, false, {"img2.jpg", "img10.jpg", "B.jpg", "A.jpg", "a.jpg"}},
        {"size", 1, true, {"img10.jpg", "B.jpg", "img2.jpg", "a.jpg", "A.jpg"}},
        {"size descending", 1, false, {"A.jpg", "a.jpg", "img2.jpg", "B.jpg", "img10.jpg"}},
        {"date", 2, true, {"img2.jpg", "img10.jpg", "B.jpg", "a.jpg", "A.jpg"}},
        {"date descending", 2, false, {"A.jpg", "a.jpg", "B.jpg", "img10.jpg", "img2.jpg"}},
    };
    Start();
    Manager->OpenFolder(Folder, true);
    for (const SortCase& c : cases) {
        Manager->SetSort(c.Order, c.Ascend);
        EXPECT_EQ(Names(), c.Expected) << c.Title;
    }
}

TEST_F(ImageList, SizeTiesStayTogetherAndDescendingReversesTheRest)
{
    Touch("x.jpg", 5);
    Touch("y.jpg", 5);
    Touch("big.jpg", 9);
    Touch("small.jpg", 1);
    Start();
    Manager->OpenFolder(Folder, true);
    Manager->SetSort(1, true);
    EXPECT_EQ(Names().first(), "small.jpg");
    EXPECT_EQ(Names().last(), "big.jpg");
    Manager->SetSort(1, false);
    EXPECT_EQ(Names().first(), "big.jpg");
    EXPECT_EQ(Names().last(), "small.jpg");
}

TEST_F(ImageList, RandomOrderIsKeptUntilAnotherOrderIsChosen)
{
    MakeNumbered(40);
    Start();
    Manager->OpenFolder(Folder, true);
    const QStringList byName = Names();
    Manager->SetSort(3, true);
    const QStringList shuffled = Names();
    EXPECT_NE(shuffled, byName);
    EXPECT_EQ(QSet<QString>(shuffled.begin(), shuffled.end()), QSet<QString>(byName.begin(), byName.end()));
    Manager->SetSort(3, true);
    EXPECT_EQ(Names(), shuffled) << "choosing random again keeps the shuffle";
    Manager->SetSort(0, true);
    EXPECT_EQ(Names(), byName);
    Manager->SetSort(3, true);
    EXPECT_NE(Names(), shuffled) << "back to random shuffles anew";
}

TEST_F(ImageList, ResortKeepsTheCurrentFileCurrent)
{
    Touch("a.jpg", 3);
    Touch("b.jpg", 1);
    Touch("c.jpg", 2);
    Start();
    Manager->OpenFile(Folder + "a.jpg");
    Settle();
    Manager->SetSort(1, true);
    Settle();
    EXPECT_EQ(Manager->Loader().CurrentName(), "a.jpg");
    EXPECT_EQ(Manager->Loader().CurrentIndex(), 2);
    EXPECT_EQ(Manager->ImageIndex, 2);
    EXPECT_EQ(Shown.back(), "a.jpg") << "the current image is delivered anew";
}

TEST_F(ImageList, OpenFileSelectsItAndABareNameOpensInTheCurrentFolder)
{
    MakeNumbered(5);
    Start();
    Manager->OpenFile(Folder + "img003.jpg");
    Settle();
    EXPECT_EQ(Manager->ImageIndex, 3);
    EXPECT_EQ(Manager->FileName, "img003.jpg");
    EXPECT_EQ(Shown, std::vector<QString>{"img003.jpg"});
    Manager->OpenFile("IMG001.JPG");  // name lookups ignore case
    Settle();
    EXPECT_EQ(Manager->ImageIndex, 1);
    EXPECT_EQ(Shown.back(), "IMG001.JPG");
}

TEST_F(ImageList, AFileInAnotherFolderAtTheSamePositionIsShown)
{
    MakeNumbered(3);
    const QString other = Dir.path() + "/other/";
    QDir().mkpath(other);
    for (const char* name : {"a.jpg", "b.jpg"}) {
        QFile f(other + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    Start();
    Manager->OpenFile(Folder + Numbered(1));
    Settle();
    Manager->OpenFile(other + "b.jpg");  // position 1 again, in a new list
    Settle();
    EXPECT_EQ(Manager->ImageIndex, 1);
    EXPECT_EQ(Shown, (std::vector<QString>{Numbered(1), "b.jpg"}));
}

TEST_F(ImageList, OpeningAFileTheListDoesNotHoldShowsNothing)
{
    MakeNumbered(3);
    Touch(".hidden.jpg");
    Start();
    Manager->OpenFile(Folder + ".hidden.jpg");
    Settle();
    EXPECT_EQ(Manager->ImageIndex, -1);
    EXPECT_TRUE(Shown.empty());
    Manager->Next();  // no current entry: next goes to the first
    Settle();
    EXPECT_EQ(Manager->ImageIndex, 0);
}

TEST_F(ImageList, NextAndPrevStopAtTheEnds)
{
    MakeNumbered(3);
    Start();
    Manager->OpenFolder(Folder, true);
    Settle();
    Manager->Prev();
    EXPECT_EQ(Manager->ImageIndex, 0);
    Manager->Next();
    Manager->Next();
    EXPECT_TRUE(Manager->IsLast());
    Manager->Next();
    Settle();
    EXPECT_EQ(Manager->ImageIndex, 2);
    EXPECT_EQ(Manager->Loader().CurrentIndex(), 2);
}

struct DeleteCase {
    const char* Title;
    int Files;
    int Current;
    QString ExpectedName;  // empty: the view clears
    int ExpectedIndex;
};

TEST_F(ImageList, DeleteMovesTheFileToTheTrashAndShowsTheNeighbour)
{
    const DeleteCase cases[] = {
        {"the only image", 1, 0, "", -1},
        {"the last image", 3, 2, "img001.jpg", 1},
        {"a middle image", 3, 1, "img002.jpg", 1},
    };
    for (const DeleteCase& c : cases) {
        SCOPED_TRACE(c.Title);
        QDir(Folder).removeRecursively();
        QDir(Dir.path() + "/data").removeRecursively();
        QDir().mkpath(Folder);
        MakeNumbered(c.Files);
        Start();
        Manager->OpenFile(Folder + Numbered(c.Current));
        Settle();
        Shown.clear();
        Manager->DeleteCurrent();
        Settle();
        EXPECT_FALSE(QFileInfo::exists(Folder + Numbered(c.Current)));
        const QString trash = Dir.path() + "/data/Trash/";
        EXPECT_TRUE(QFileInfo::exists(trash + "files/" + Numbered(c.Current)));
        EXPECT_TRUE(QFileInfo::exists(trash + "info/" + Numbered(c.Current) + ".trashinfo"));
        EXPECT_EQ(Manager->Count(), c.Files - 1);
        EXPECT_EQ(Manager->FileName, c.ExpectedName);
        EXPECT_EQ(Manager->ImageIndex, c.ExpectedIndex);
        EXPECT_EQ(Manager->Loader().CurrentIndex(), c.ExpectedIndex);
        ASSERT_FALSE(Shown.empty());
        EXPECT_EQ(Shown.front(), c.ExpectedName);
        Manager.reset();
    }
}

TEST_F(ImageList, RemoveCurrentKeepsTheFile)
{
    MakeNumbered(2);
    Start();
    Manager->OpenFile(Folder + Numbered(0));
    Settle();
    Manager->RemoveCurrent();
    Settle();
    EXPECT_TRUE(QFileInfo::exists(Folder + Numbered(0)));
    EXPECT_EQ(Names(), QStringList{Numbered(1)});
}

TEST(FileSort, OrdersOutsideTheTableLeaveTheListAlone)
{
    TFileList files;
    for (const char* name : {"c", "a", "b"})
        files.push_back({name, std::make_shared<TBufImage>()});
    TFileSort(7, true).Sort(files);
    EXPECT_EQ(files[0].Name, "c");
    EXPECT_EQ(files[2].Name, "b");
}
