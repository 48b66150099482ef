// Stress run for the image list (built with ThreadSanitizer by
// scripts/tsan_stress.sh): the main thread steps, jumps, re-sorts, refreshes
// and deletes at random while another thread creates, renames and removes
// files in the folder. At the end every file still there must be listed, no
// slot may outlive the list, and no more than 2r + 1 pictures were held.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "imagelist/uImgMan.h"

namespace {

struct Message {
    int Id;
    quintptr W;
    qintptr L;
};

void WriteFile(const QString& path)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write("x");
}

} // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
    QTemporaryDir dir;
    const QString folder = dir.path() + "/pics/";
    QDir().mkpath(folder);
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path() + "/data"));
    for (int i = 0; i < 60; ++i)
        WriteFile(folder + QString("f%1.jpg").arg(i));

    std::mutex queueLock;
    std::vector<Message> queue;
    std::mutex seenLock;
    std::vector<std::weak_ptr<TBufImage>> seen;
    std::atomic<int> mostPictures{0};
    constexpr int radius = 3;

    auto manager = std::make_unique<TImageManager>(
        TDecodeParams{},
        [&](int id, quintptr w, qintptr l) {
            std::lock_guard lock(queueLock);
            queue.push_back({id, w, l});
        },
        [&](TBufImage* slot, const QString& path, bool) {
            QFile f(path);
            if (f.open(QIODevice::ReadOnly)) {
                slot->Bitmap = QImage(8, 8, QImage::Format_RGB32);
                slot->Bitmap.fill(Qt::red);
            }
            slot->Loaded = true;
        });
    TImageManager* m = manager.get();
    m->SetBufferRadius(radius);
    m->Loader().SetWatchPollInterval(std::chrono::milliseconds(30));
    QImage held;
    m->OnImage = [&](TImageManager* mm, const std::shared_ptr<TBufImage>& slot) {
        held = QImage();
        if (slot)
            mm->TakePicture(slot, &held);
        if (slot) {
            std::lock_guard lock(seenLock);
            seen.push_back(slot);
        }
    };
    m->OpenFolder(folder, true);

    std::atomic<bool> stop{false};
    std::thread outside([&] {
        std::mt19937 rng(12345);
        int serial = 1000;
        while (!stop) {
            const QStringList names = QDir(folder).entryList(QDir::Files);
            const int action = int(rng() % 3);
            if (action == 0 || names.size() < 10) {
                WriteFile(folder + QString("n%1.jpg").arg(serial++));
            } else if (action == 1) {
                const QString name = names[int(rng() % names.size())];
                QFile::rename(folder + name, folder + QString("r%1.jpg").arg(serial++));
            } else {
                QFile::remove(folder + names[int(rng() % names.size())]);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });

    std::mt19937 rng(777);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    long operations = 0;
    while (std::chrono::steady_clock::now() < end) {
        switch (rng() % 10) {
        case 0: case 1: case 2: m->Next(); break;
        case 3: case 4: m->Prev(); break;
        case 5: if (m->Count() > 0) m->GoTo(int(rng() % m->Count())); break;
        case 6: m->SetSort(uint8_t(rng() % 4), rng() % 2); break;
        case 7: m->Refresh(); break;
        case 8: if (rng() % 4 == 0 && m->Count() > 5) m->DeleteCurrent(); break;
        default: m->RotateRight(); break;
        }
        std::vector<Message> batch;
        {
            std::lock_guard lock(queueLock);
            batch.swap(queue);
        }
        for (const Message& msg : batch)
            m->WndProc(msg.Id, msg.W, msg.L);
        {
            std::lock_guard lock(m->Loader().ListLock());
            int pictures = 0;
            for (int i = 0; i < m->Loader().CountLocked(); ++i)
                pictures += m->Loader().SlotAtLocked(i)->Bitmap.isNull() ? 0 : 1;
            mostPictures = std::max(mostPictures.load(), pictures);
        }
        ++operations;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    stop = true;
    outside.join();

    // Let the watch pick up the last changes, then compare with the folder.
    bool listed = false;
    std::set<QString> onDisk;
    for (int attempt = 0; attempt < 200 && !listed; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        m->Loader().WaitIdle(std::chrono::seconds(5));
        const QStringList names = QDir(folder).entryList(QDir::Files);
        onDisk = std::set<QString>(names.begin(), names.end());
        std::set<QString> inList;
        for (int i = 0; i < m->Count(); ++i)
            inList.insert(m->NameAt(i));
        listed = inList == onDisk;
    }
    manager.reset();
    held = QImage();
    int leaked = 0;
    for (const auto& w : seen)
        leaked += w.expired() ? 0 : 1;

    std::printf("%ld operations, %zu files at the end, at most %d pictures held\n", operations,
                onDisk.size(), mostPictures.load());
    const bool ok = listed && leaked == 0 && mostPictures <= 2 * radius + 1;
    if (!listed)
        std::printf("FAIL: the list does not match the folder\n");
    if (leaked)
        std::printf("FAIL: %d slots outlived the list\n", leaked);
    if (mostPictures > 2 * radius + 1)
        std::printf("FAIL: more than 2r + 1 pictures held\n");
    std::printf("%d passed, %d failed\n", ok ? 1 : 0, ok ? 0 : 1);
    return ok ? 0 : 1;
}
