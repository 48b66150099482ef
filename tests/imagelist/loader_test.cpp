// The loader thread: decode order, the prefetch window, eviction, the folder
// watch and refresh, with a real thread over a real folder.

#include <QFileInfo>
#include <condition_variable>

#include "LoaderFixture.h"

using Loader = LoaderFixture;

TEST_F(Loader, OpeningDecodesTheCurrentFirstThenTheWindowFromItsLowEnd)
{
    MakeNumbered(100);
    Start(2);
    Manager->OpenFile(Folder + Numbered(10));
    EXPECT_EQ(TakeDecoded(), NumberedNames({10, 8, 9, 11, 12}));
    ASSERT_EQ(Posted.size(), 1u) << "the current image is posted once; prefetched ones are not";
    EXPECT_EQ(Shown, std::vector<QString>{Numbered(10)});
    EXPECT_LE(MostPictures, 5);
}

TEST_F(Loader, NeighboursWaitUntilTheMainThreadHasTakenThePostedPicture)
{
    MakeNumbered(10);
    Start(2);
    Manager->OpenFile(Folder + Numbered(5));
    // The loop holds (and counts as idle) until the posted picture is handled.
    ASSERT_TRUE(Manager->Loader().WaitIdle(std::chrono::seconds(10)));
    {
        std::lock_guard lock(DecodeLock);
        EXPECT_EQ(Decoded, NumberedNames({5})) << "no neighbour decoded before the picture was taken";
    }
    EXPECT_EQ(TakeDecoded(), NumberedNames({5, 3, 4, 6, 7})) << "handling the message lets the prefetch go on";
    EXPECT_EQ(Shown, std::vector<QString>{Numbered(5)});
}

TEST_F(Loader, SteppingShowsThePrefetchedNeighbourAtOnceAndSlidesTheWindow)
{
    MakeNumbered(100);
    Start(2);
    Manager->OpenFile(Folder + Numbered(10));
    ClearRecords();
    Manager->Next();
    EXPECT_EQ(Shown, std::vector<QString>{Numbered(11)}) << "shown by the main thread at once";
    EXPECT_EQ(TakeDecoded(), NumberedNames({13}));
    EXPECT_TRUE(Posted.empty());
    EXPECT_EQ(DecodedPositions(), (std::vector<int>{9, 10, 11, 12, 13}));
}

TEST_F(Loader, JumpingFarEvictsTheOldWindowAndFillsTheNewOne)
{
    MakeNumbered(100);
    Start(2);
    Manager->OpenFile(Folder + Numbered(10));
    ClearRecords();
    Manager->GoTo(60);
    EXPECT_EQ(TakeDecoded(), NumberedNames({60, 58, 59, 61, 62}));
    EXPECT_EQ(DecodedPositions(), (std::vector<int>{58, 59, 60, 61, 62}));
    EXPECT_EQ(Shown, std::vector<QString>{Numbered(60)});
    EXPECT_LE(MostPictures, 5);
}

TEST_F(Loader, FastSteppingSkipsThePositionsPassed)
{
    MakeNumbered(30);
    std::mutex gate;
    std::condition_variable opened;
    bool started = false;
    bool release = false;
    BeforeDecode = [&](const QString& path) {
        if (!path.endsWith(Numbered(10)))
            return;
        std::unique_lock lock(gate);
        started = true;
        opened.notify_all();
        opened.wait(lock, [&] { return release; });
    };
    Start(2);
    Manager->OpenFile(Folder + Numbered(10));
    {
        // Step on while the loader is inside the decode of position 10.
        std::unique_lock lock(gate);
        opened.wait(lock, [&] { return started; });
    }
    for (int i = 0; i < 5; ++i)
        Manager->Next();
    {
        std::lock_guard lock(gate);
        release = true;
    }
    opened.notify_all();
    EXPECT_EQ(TakeDecoded(), NumberedNames({10, 15, 13, 14, 16, 17}));
    EXPECT_EQ(Manager->ImageIndex, 15);
    EXPECT_EQ(Shown.back(), Numbered(15));
}

struct WindowCase {
    const char* Title;
    int Radius;  // as given to SetBufferRadius
    int Files;
    int Open;
    std::vector<int> Expected;  // decode order
};

TEST_F(Loader, WindowSizeAndClipping)
{
    const WindowCase cases[] = {
        {"first position: only the entries after it", 2, 10, 0, {0, 1, 2}},
        {"last position", 2, 10, 9, {9, 7, 8}},
        {"radius 0: the current entry alone", 0, 10, 5, {5}},
        {"radius 11 is taken as 1", 11, 10, 5, {5, 4, 6}},
        {"radius -1 is taken as 1", -1, 10, 5, {5, 4, 6}},
        {"radius 10", 10, 30, 15, {15, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 18, 19, 20, 21,
                                   22, 23, 24, 25}},
    };
    for (const WindowCase& c : cases) {
        SCOPED_TRACE(c.Title);
        QDir(Folder).removeRecursively();
        QDir().mkpath(Folder);
        MakeNumbered(c.Files);
        Start(c.Radius);
        Manager->OpenFile(Folder + Numbered(c.Open));
        std::vector<QString> expected;
        for (int p : c.Expected)
            expected.push_back(Numbered(p));
        EXPECT_EQ(TakeDecoded(), expected);
        Manager.reset();
    }
}

TEST_F(Loader, RefreshDecodesTheCurrentFileAgainAndShowsItsNewContent)
{
    MakeNumbered(3);
    Start(1);
    Manager->OpenFile(Folder + Numbered(1));
    ClearRecords();
    Touch(Numbered(1), 77);  // new content on disk
    Manager->Refresh();
    EXPECT_EQ(TakeDecoded(), NumberedNames({1, 0, 2}));
    EXPECT_EQ(Shown, std::vector<QString>{Numbered(1)});
    EXPECT_EQ(ShownPicture.pixel(0, 0) & 0xFFFFFF, 77u);
}

TEST_F(Loader, AFileCopiedInAppearsAtTheEnd)
{
    Touch("b.jpg");
    Touch("c.jpg");
    Start();
    Manager->Loader().SetWatchPollInterval(std::chrono::milliseconds(20));
    Manager->OpenFolder(Folder, true);
    Settle();
    Touch("a.jpg");
    Touch("notes.txt");
    ASSERT_TRUE(Eventually([&] { return Manager->Count() == 3; }));
    EXPECT_EQ(Names(), QStringList({"b.jpg", "c.jpg", "a.jpg"})) << "not sorted in";
}

TEST_F(Loader, TheCurrentFileRemovedFromOutsideShowsTheImageNowInItsPlace)
{
    MakeNumbered(4);
    Start();
    Manager->Loader().SetWatchPollInterval(std::chrono::milliseconds(20));
    Manager->OpenFile(Folder + Numbered(1));
    ClearRecords();
    ASSERT_TRUE(QFile::remove(Folder + Numbered(1)));
    ASSERT_TRUE(Eventually([&] { return Manager->Count() == 3 && !Shown.empty(); }));
    EXPECT_EQ(Shown, std::vector<QString>{Numbered(2)});
    EXPECT_EQ(Manager->ImageIndex, 1);
}

TEST_F(Loader, EntriesVanishingBeforeTheCurrentKeepTheSameFileCurrent)
{
    MakeNumbered(5);
    Start();
    Manager->Loader().SetWatchPollInterval(std::chrono::milliseconds(20));
    Manager->OpenFile(Folder + Numbered(3));
    ClearRecords();
    ASSERT_TRUE(QFile::remove(Folder + Numbered(0)));
    ASSERT_TRUE(Eventually([&] { return Manager->Count() == 4; }));
    EXPECT_EQ(Manager->Loader().CurrentName(), Numbered(3));
    EXPECT_EQ(Manager->Loader().CurrentIndex(), 2);
    EXPECT_TRUE(Shown.empty()) << "nothing else is shown in its place";
}

TEST_F(Loader, ARenameIsARemovalPlusANewEntryAtTheEnd)
{
    MakeNumbered(3);
    Start();
    Manager->Loader().SetWatchPollInterval(std::chrono::milliseconds(20));
    Manager->OpenFolder(Folder, true);
    Settle();
    ASSERT_TRUE(QFile::rename(Folder + Numbered(0), Folder + "zz-renamed.jpg"));
    ASSERT_TRUE(Eventually([&] { return Names().contains("zz-renamed.jpg"); }));
    EXPECT_EQ(Names(), QStringList({Numbered(1), Numbered(2), "zz-renamed.jpg"}));
}

TEST_F(Loader, AFolderEmptiedFromOutsideClearsTheView)
{
    MakeNumbered(1);
    Start();
    Manager->Loader().SetWatchPollInterval(std::chrono::milliseconds(20));
    Manager->OpenFolder(Folder, true);
    Settle();
    Shown.clear();
    ASSERT_TRUE(QFile::remove(Folder + Numbered(0)));
    ASSERT_TRUE(Eventually([&] { return !Shown.empty(); }));
    EXPECT_EQ(Shown, std::vector<QString>{QString()});
    EXPECT_EQ(Manager->ImageIndex, -1);
    EXPECT_EQ(Manager->FileName, QString());
}
