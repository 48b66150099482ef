#pragma once

// The loader thread and owner of the image list: it decodes the current entry,
// tells the main thread, prefetches the neighbours inside the window of
// BufferRadius entries on each side, empties slots that leave the window, and
// polls the folder watch to pick up files that appear or vanish.
//
// One lock guards the list, the folder, CurrentIndex, Reload, the watch and
// every slot's fields. Decoding runs without the lock into a private slot and
// is published under it, unless the slot was emptied meanwhile.

#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "imagelist/TFileEntry.h"
#include "platform/FolderWatch.h"

// Hands a message to the main thread without waiting (the application queues
// a call into the image list manager; tests queue it for themselves).
using TPostFunc = std::function<void(int message, quintptr wParam, qintptr lParam)>;
// Decodes one file into a slot (the readers; tests record the calls).
using TDecodeFunc = std::function<void(TBufImage* slot, const QString& path, bool autoRotate)>;
// Reads an animated GIF for display; returns an owned object's address or 0.
using TAnimationFunc = std::function<quintptr(const QString& path)>;

class TImageLoader {
public:
    static constexpr int WM_SLOT_READY = 1124;       // wParam slot or 0, lParam 1: take position
    static constexpr int WM_ANIMATION_READY = 1129;  // wParam animation (owned by receiver) or 0

    TImageLoader(TPostFunc post, TDecodeFunc decode, TAnimationFunc readAnimation,
                 const QStringList* susieExtensions);
    // Stops the thread and waits for it (a decode in progress finishes first).
    ~TImageLoader();
    TImageLoader(const TImageLoader&) = delete;
    TImageLoader& operator=(const TImageLoader&) = delete;

    // List handling, main thread.
    void SetFolder(const QString& folder, bool selectFirst);
    void SelectFile(const QString& path);
    void SetSortOrder(uint8_t order);
    void SetSortAscend(bool ascending);
    void DeleteCurrentFile();  // to the trash
    void RemoveCurrent();      // the entry only (the file was moved away)

    QString Folder() const;
    QString CurrentName() const;
    QString NameAt(int index) const;
    std::shared_ptr<TBufImage> SlotAt(int index) const;
    int IndexOf(const QString& name) const;
    int Count() const;
    int CurrentIndex() const;
    void SetCurrentIndex(int index);
    uint8_t SortOrder() const;
    bool SortAscend() const;

    void Refresh();
    void ResetWindow();
    void SetBufferRadius(int n);
    int BufferRadius() const;
    void SetAutoRotate(bool on);

    // The lock that guards the list and every slot's fields, for callers that
    // read or change a slot (the manager, the view's picture hand-off).
    std::mutex& ListLock() const { return Lock; }
    // The entry holding this slot, or null: messages carry slot addresses, and
    // a slot may have left the list before its message is handled.
    std::shared_ptr<TBufImage> FindSlot(quintptr address) const;
    // For callers that hold ListLock already.
    int CountLocked() const { return int(Files.size()); }
    std::shared_ptr<TBufImage> SlotAtLocked(int index) const
    {
        return (index >= 0 && index < int(Files.size())) ? Files[size_t(index)].Slot : nullptr;
    }

    // How often the folder watch is polled while idle (4 s by default).
    void SetWatchPollInterval(std::chrono::milliseconds interval);
    // Waits until the loop has nothing left to do; false on timeout. A loop
    // that holds its prefetch back for the main thread counts as idle.
    bool WaitIdle(std::chrono::milliseconds timeout);
    // The main thread has handled the picture last posted: the neighbours'
    // decodes may start. Without this call they start after PrefetchHoldLimit.
    void ResumePrefetch();
    static constexpr std::chrono::milliseconds PrefetchHoldLimit{300};

private:
    void Execute();
    bool ProcessPass(int& last);
    void PollWatch(int& last);
    void Rescan(int& last);
    void AddNewFiles();
    void Evict(int lo, int hi);
    bool Decode(const std::shared_ptr<TBufImage>& slot, const QString& path);
    void HoldPrefetch(std::unique_lock<std::mutex>& lock, int position);
    void ScanFolderLocked();
    void SortFilesLocked();
    void ResortLocked();
    void ResetWindowLocked();
    void RequestReloadLocked();
    void RemoveCurrentLocked(bool toTrash, std::unique_lock<std::mutex>& lock);
    int IndexOfLocked(const QString& name) const;
    void OpenWatchLocked();

    TPostFunc Post;
    TDecodeFunc DecodeFile;
    TAnimationFunc ReadAnimation;
    const QStringList* SusieExtensions;

    mutable std::mutex Lock;
    std::condition_variable Wake;      // the loop: something changed, or stop
    std::condition_variable IdleCv;    // WaitIdle: the loop went idle
    TFileList Files;
    QString FolderPath;                // with a trailing "/"; empty before the first open
    int Current = -1;
    uint64_t ListGeneration = 0;  // counts folder scans
    uint64_t ProcessedList = 0;   // the loop's: the list its last position belongs to
    uint8_t Order = 0;
    bool Ascend = true;
    int Radius = 2;
    bool Reload = false;
    bool AutoRotate = false;
    bool Idle = false;
    bool PrefetchHeld = false;
    bool Terminated = false;
    TFolderWatch Watch;
    std::chrono::milliseconds WatchInterval{4000};
    std::chrono::steady_clock::time_point LastPoll{};

    std::thread Thread;  // last: starts after every field above is ready
};
