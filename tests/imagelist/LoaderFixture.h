#pragma once

// A real loader thread over a real temporary folder, with a decode recorder in
// place of the readers and a message queue that the test drains on its own
// thread, as the application's event loop would.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "imagelist/uImgMan.h"

class LoaderFixture : public ::testing::Test {
protected:
    struct Message {
        int Id;
        quintptr WParam;
        qintptr LParam;
    };

    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        Folder = Dir.path() + "/pics/";
        QDir().mkpath(Folder);
        qputenv("XDG_DATA_HOME", QFile::encodeName(Dir.path() + "/data"));
    }

    void TearDown() override { Manager.reset(); }

    void Touch(const QString& name, qint64 size = 1)
    {
        QFile f(Folder + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(size, 'x'));
    }

    void MakeNumbered(int count)
    {
        for (int i = 0; i < count; ++i)
            Touch(Numbered(i));
    }

    static QString Numbered(int i) { return QString("img%1.jpg").arg(i, 3, 10, QChar('0')); }

    void Start(int radius = 2)
    {
        TDecodeParams params;
        Manager = std::make_unique<TImageManager>(
            params,
            [this](int id, quintptr w, qintptr l) {
                std::lock_guard lock(QueueLock);
                Queue.push_back({id, w, l});
            },
            [this](TBufImage* slot, const QString& path, bool) { Record(slot, path); });
        LoaderRaw = &Manager->Loader();
        Manager->SetBufferRadius(radius);
        Manager->OnImage = [this](TImageManager* m, const std::shared_ptr<TBufImage>& slot) {
            Shown.push_back(slot ? m->FileName : QString());
            if (slot)
                m->TakePicture(slot, &ShownPicture);
        };
    }

    // What a reader would do: a 1 x 1 picture whose colour is the file size.
    void Record(TBufImage* slot, const QString& path)
    {
        {
            std::lock_guard lock(DecodeLock);
            Decoded.push_back(path.mid(path.lastIndexOf('/') + 1));
        }
        if (BeforeDecode)
            BeforeDecode(path);
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) {
            slot->Bitmap = QImage(1, 1, QImage::Format_RGB32);
            slot->Bitmap.fill(uint(f.size()));
        }
        slot->Loaded = true;
        // The loader may be finishing this decode while the manager is being
        // destroyed: reach it directly, not through the manager.
        std::lock_guard lock(LoaderRaw->ListLock());
        int pictures = 0;
        for (int i = 0; i < LoaderRaw->CountLocked(); ++i)
            pictures += LoaderRaw->SlotAtLocked(i)->Bitmap.isNull() ? 0 : 1;
        MostPictures = std::max(MostPictures, pictures);
    }

    // Runs the queued messages on this thread until the loader is idle.
    void Settle()
    {
        for (;;) {
            ASSERT_TRUE(Manager->Loader().WaitIdle(std::chrono::seconds(10)));
            std::vector<Message> batch;
            {
                std::lock_guard lock(QueueLock);
                batch.swap(Queue);
            }
            if (batch.empty())
                return;
            for (const Message& m : batch) {
                Posted.push_back(m);
                Manager->WndProc(m.Id, m.WParam, m.LParam);
            }
        }
    }

    // Waits, bounded, for what the folder watch brings.
    template <typename Pred> bool Eventually(Pred pred)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            Settle();
            if (pred())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    std::vector<QString> TakeDecoded()
    {
        Settle();
        std::lock_guard lock(DecodeLock);
        std::vector<QString> out;
        out.swap(Decoded);
        return out;
    }

    std::vector<QString> NumberedNames(std::initializer_list<int> positions)
    {
        std::vector<QString> out;
        for (int p : positions)
            out.push_back(Numbered(p));
        return out;
    }

    QStringList Names() const
    {
        QStringList names;
        for (int i = 0; i < Manager->Count(); ++i)
            names << Manager->NameAt(i);
        return names;
    }

    std::vector<int> DecodedPositions()
    {
        std::vector<int> out;
        std::lock_guard lock(Manager->Loader().ListLock());
        for (int i = 0; i < Manager->Loader().CountLocked(); ++i) {
            if (Manager->Loader().SlotAtLocked(i)->Loaded)
                out.push_back(i);
        }
        return out;
    }

    void ClearRecords()
    {
        Settle();
        TakeDecoded();
        Posted.clear();
        Shown.clear();
    }

    QTemporaryDir Dir;
    QString Folder;
    std::unique_ptr<TImageManager> Manager;
    TImageLoader* LoaderRaw = nullptr;
    std::mutex QueueLock;
    std::vector<Message> Queue;
    std::vector<Message> Posted;
    std::mutex DecodeLock;
    std::vector<QString> Decoded;
    std::vector<QString> Shown;
    QImage ShownPicture;
    std::function<void(const QString&)> BeforeDecode;
    int MostPictures = 0;
};
