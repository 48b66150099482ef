#include "imagelist/uImgLoader.h"

#include <QFileInfo>
#include <algorithm>

#include "imagelist/FolderScan.h"
#include "imagelist/TFileSort.h"
#include "platform/LocaleCollator.h"
#include "shellops/ShellFileOps.h"

namespace {

constexpr std::chrono::milliseconds IdleSleep{150};

// Splits at the last "/": the folder keeps its "/", the name has none.
void SplitPath(const QString& path, QString* folder, QString* name)
{
    const qsizetype cut = path.lastIndexOf(QLatin1Char('/')) + 1;
    *folder = path.left(cut);
    *name = path.mid(cut);
}

} // namespace

TImageLoader::TImageLoader(TPostFunc post, TDecodeFunc decode, TAnimationFunc readAnimation,
                           const QStringList* susieExtensions)
    : Post(std::move(post)), DecodeFile(std::move(decode)), ReadAnimation(std::move(readAnimation)),
      SusieExtensions(susieExtensions), Thread([this] { Execute(); })
{
}

TImageLoader::~TImageLoader()
{
    {
        std::lock_guard lock(Lock);
        Terminated = true;
    }
    Wake.notify_all();
    Thread.join();
    Watch.Close();
    Files.clear();
}

// ---- the loop -------------------------------------------------------------

void TImageLoader::Execute()
{
    int last = -1;  // the position processed last
    for (;;) {
        {
            std::lock_guard lock(Lock);
            if (Terminated)
                return;
        }
        PollWatch(last);
        if (ProcessPass(last))
            continue;
        // Nothing to do: sleep until a change, a stop, or the next watch poll.
        std::unique_lock lock(Lock);
        const bool nothingNew = (Current == last || Current == -1) && !Reload;
        if (nothingNew && !Terminated) {
            Idle = true;
            IdleCv.notify_all();
            Wake.wait_for(lock, IdleSleep);
        }
    }
}

// One pass of the loop; false when there was nothing to process.
bool TImageLoader::ProcessPass(int& last)
{
    std::unique_lock lock(Lock);
    // A new folder's list is new even where the position number is the same.
    if (Current == -1 || ProcessedList != ListGeneration)
        last = -1;
    ProcessedList = ListGeneration;
    const int c = Current;
    if ((c == last || c == -1) && !Reload)
        return false;
    // This pass serves any pending reload; leaving the flag set would deliver
    // the same picture twice when a new position also asked for a reload.
    Reload = false;
    if (c == -1)
        return false;
    Idle = false;
    last = Current;
    if (last < 0 || last >= int(Files.size()))
        return true;
    const std::shared_ptr<TBufImage> slot = Files[size_t(last)].Slot;
    const QString path = FolderPath + Files[size_t(last)].Name;
    const int lo = last - Radius;
    const int hi = last + Radius;
    // Empty what left the window first, so that no more than 2r + 1 pictures
    // are ever held, also while the new current entry decodes.
    Evict(lo, hi);

    if (!slot->Loaded) {
        slot->Shown = false;
        lock.unlock();
        const bool published = Decode(slot, path);
        lock.lock();
        if (!published) {
            // Emptied while decoding (refresh, re-sort): decode it afresh.
            Reload = true;
            return true;
        }
        slot->NotifyPending = true;
    }
    bool posted = false;
    if (slot->NotifyPending || !slot->Shown) {
        posted = true;
        if (slot->Animated) {
            slot->NotifyPending = false;
            lock.unlock();
            Post(WM_ANIMATION_READY, ReadAnimation(path), 0);
            lock.lock();
        } else {
            Post(WM_SLOT_READY, quintptr(slot.get()), 1);
        }
    }
    slot->NotifyPending = false;
    if (posted)
        HoldPrefetch(lock, last);

    // Prefetch from the low end; a new position cuts the walk short.
    for (int j = lo; j <= hi; ++j) {
        if (Current != last || Terminated)
            return true;
        if (j < 0)
            continue;
        if (j >= int(Files.size()))
            break;
        const std::shared_ptr<TBufImage> next = Files[size_t(j)].Slot;
        if (next->Loaded)
            continue;
        const QString nextPath = FolderPath + Files[size_t(j)].Name;
        lock.unlock();
        Decode(next, nextPath);
        lock.lock();
    }
    return true;
}

// Waits until the main thread has taken the posted picture (or the position
// changes, or the limit passes). A neighbour's decode started at once would
// compete for the cores with the scaling and painting of the picture the user
// is waiting for; at start-up also with the building of the window.
void TImageLoader::HoldPrefetch(std::unique_lock<std::mutex>& lock, int position)
{
    PrefetchHeld = true;
    Idle = true;
    IdleCv.notify_all();
    Wake.wait_for(lock, PrefetchHoldLimit,
                  [&] { return !PrefetchHeld || Current != position || Terminated || Reload; });
    PrefetchHeld = false;
    Idle = false;
}

void TImageLoader::ResumePrefetch()
{
    std::lock_guard lock(Lock);
    if (!PrefetchHeld)
        return;
    PrefetchHeld = false;
    Idle = false;
    Wake.notify_all();
}

// Empties every decoded slot outside lo..hi. Walking the whole list (a flag
// test per entry) also catches slots that a rescan shifted out of the window.
void TImageLoader::Evict(int lo, int hi)
{
    for (int i = 0; i < int(Files.size()); ++i) {
        if (i >= lo && i <= hi)
            continue;
        TBufImage& slot = *Files[size_t(i)].Slot;
        if (slot.Loaded || !slot.Bitmap.isNull())
            slot.Empty();
    }
}

// Decodes without the lock into a private slot; publishes the result unless
// the slot was emptied meanwhile (refresh, re-sort). True when published.
bool TImageLoader::Decode(const std::shared_ptr<TBufImage>& slot, const QString& path)
{
    uint64_t generation;
    bool autoRotate;
    {
        std::lock_guard lock(Lock);
        generation = slot->Generation;
        autoRotate = AutoRotate;
    }
    TBufImage result;
    DecodeFile(&result, path, autoRotate);
    std::lock_guard lock(Lock);
    if (slot->Generation != generation)
        return false;
    slot->Bitmap = std::move(result.Bitmap);
    slot->Animated = result.Animated;
    slot->Loaded = true;
    return true;
}

// ---- the folder watch -----------------------------------------------------

void TImageLoader::PollWatch(int& last)
{
    std::unique_lock lock(Lock);
    const auto now = std::chrono::steady_clock::now();
    if (!Watch.IsOpen() || now - LastPoll <= WatchInterval)
        return;
    LastPoll = now;
    if (Watch.Fired())
        Rescan(last);
}

void TImageLoader::Rescan(int& last)
{
    const int c = Current;
    const QString currentName = (c >= 0 && c < int(Files.size())) ? Files[size_t(c)].Name : QString();
    bool currentVanished = false;
    for (int i = int(Files.size()) - 1; i >= 0; --i) {
        int64_t size, time;
        if (StatImageFile(FolderPath + Files[size_t(i)].Name, &size, &time))
            continue;
        if (i == c)
            currentVanished = true;
        Files.erase(Files.begin() + i);
    }
    if (!currentVanished && c >= 0) {
        // The current file is still there: keep it current even when entries
        // before it vanished, so nothing else is shown in its place.
        const int now = IndexOfLocked(currentName);
        if (now >= 0) {
            if (last == c)
                last = now;
            Current = now;
        }
    } else if (currentVanished && !Files.empty()) {
        Reload = true;
    }
    if (int(Files.size()) <= Current) {
        Current = int(Files.size()) - 1;
        if (Current == -1)
            Post(WM_SLOT_READY, 0, 1);
    }
    if (Current != -1 && currentVanished)
        Files[size_t(Current)].Slot->NotifyPending = true;
    AddNewFiles();
}

// Appends the admitted files that the list does not hold yet, at the end.
void TImageLoader::AddNewFiles()
{
    TFileList found = ScanImageFiles(FolderPath, SusieExtensions, TFileSort::NeedsTimes(Order));
    for (TFileEntry& entry : found) {
        if (IndexOfLocked(entry.Name) < 0)
            Files.push_back(std::move(entry));
    }
}

void TImageLoader::OpenWatchLocked()
{
    Watch.Open(FolderPath);
    LastPoll = std::chrono::steady_clock::now();
}

void TImageLoader::SetWatchPollInterval(std::chrono::milliseconds interval)
{
    std::lock_guard lock(Lock);
    WatchInterval = interval;
}

// ---- list handling --------------------------------------------------------

void TImageLoader::ScanFolderLocked()
{
    Files.clear();
    ++ListGeneration;
    Watch.Close();
    Files = ScanImageFiles(FolderPath, SusieExtensions, TFileSort::NeedsTimes(Order));
    SortFilesLocked();
    OpenWatchLocked();
}

void TImageLoader::SortFilesLocked()
{
    if (TFileSort::NeedsTimes(Order))
        StatEntries(FolderPath, Files);
    TFileSort(Order, Ascend).Sort(Files);
}

void TImageLoader::RequestReloadLocked()
{
    Reload = true;
    Idle = false;
    Wake.notify_all();
}

void TImageLoader::SetFolder(const QString& folder, bool selectFirst)
{
    QString path = folder;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    std::lock_guard lock(Lock);
    if (path == FolderPath)
        return;
    FolderPath = path;
    ScanFolderLocked();
    Idle = false;
    if (Files.empty()) {
        Post(WM_SLOT_READY, 0, 0);
        Current = -1;
    } else if (selectFirst) {
        if (Current != 0)
            Current = 0;
        else
            Reload = true;
    } else {
        // The old position means nothing in the new list; the caller selects
        // an entry next. Keeping it would let the loop deliver whatever file
        // now sits at that number.
        Current = -1;
    }
    Wake.notify_all();
}

void TImageLoader::SelectFile(const QString& path)
{
    QString folder, name;
    SplitPath(path, &folder, &name);
    std::lock_guard lock(Lock);
    if (!folder.isEmpty() && folder != FolderPath) {
        FolderPath = folder;
        ScanFolderLocked();
        Current = IndexOfLocked(name);
        RequestReloadLocked();
        return;
    }
    const int previous = Current;
    Current = IndexOfLocked(name);
    Idle = false;
    if (Current == previous)
        RequestReloadLocked();
    Wake.notify_all();
}

void TImageLoader::SetSortOrder(uint8_t order)
{
    std::lock_guard lock(Lock);
    if (order == Order)
        return;
    Order = order;
    ResortLocked();
}

void TImageLoader::SetSortAscend(bool ascending)
{
    std::lock_guard lock(Lock);
    if (ascending == Ascend)
        return;
    Ascend = ascending;
    ResortLocked();
}

// Sorts anew and keeps the current file current; its window is emptied and
// decoded again around the file's new position.
void TImageLoader::ResortLocked()
{
    if (Files.empty())
        return;
    const QString name = (Current >= 0 && Current < int(Files.size())) ? Files[size_t(Current)].Name : QString();
    ResetWindowLocked();
    SortFilesLocked();
    Current = IndexOfLocked(name);
    RequestReloadLocked();
}

void TImageLoader::DeleteCurrentFile()
{
    std::unique_lock lock(Lock);
    RemoveCurrentLocked(true, lock);
}

void TImageLoader::RemoveCurrent()
{
    std::unique_lock lock(Lock);
    RemoveCurrentLocked(false, lock);
}

void TImageLoader::RemoveCurrentLocked(bool toTrash, std::unique_lock<std::mutex>& lock)
{
    if (Current < 0 || Current >= int(Files.size()))
        return;
    // The watch is closed around our own change so it does not trigger a rescan.
    Watch.Close();
    if (toTrash) {
        const QString path = FolderPath + Files[size_t(Current)].Name;
        lock.unlock();
        ShellDeleteFile(path);
        lock.lock();
        if (Current < 0 || Current >= int(Files.size())) {
            OpenWatchLocked();
            return;
        }
    }
    Files.erase(Files.begin() + Current);
    int a = Files.empty() ? -1 : Current;
    if (a >= 0 && a < int(Files.size())) {
        RequestReloadLocked();
        if (Files[size_t(a)].Slot->Loaded)
            Files[size_t(a)].Slot->NotifyPending = false;
    }
    if (a >= int(Files.size())) {
        a = int(Files.size()) - 1;
        if (Files[size_t(a)].Slot->Loaded)
            Files[size_t(a)].Slot->NotifyPending = false;
    }
    Current = a;
    Idle = false;
    OpenWatchLocked();
    Wake.notify_all();
}

void TImageLoader::Refresh()
{
    std::lock_guard lock(Lock);
    if (Files.empty())
        return;
    ResetWindowLocked();
    RequestReloadLocked();
}

void TImageLoader::ResetWindow()
{
    std::lock_guard lock(Lock);
    ResetWindowLocked();
}

void TImageLoader::ResetWindowLocked()
{
    const int lo = std::max(0, Current - Radius);
    const int hi = std::min(int(Files.size()) - 1, Current + Radius);
    for (int i = lo; i <= hi; ++i)
        Files[size_t(i)].Slot->Empty();
}

void TImageLoader::SetBufferRadius(int n)
{
    std::lock_guard lock(Lock);
    Radius = (n >= 0 && n <= 10) ? n : 1;
}

int TImageLoader::BufferRadius() const
{
    std::lock_guard lock(Lock);
    return Radius;
}

void TImageLoader::SetAutoRotate(bool on)
{
    std::lock_guard lock(Lock);
    AutoRotate = on;
}

void TImageLoader::SetCurrentIndex(int index)
{
    std::lock_guard lock(Lock);
    Current = index;
    Idle = false;
    Wake.notify_all();
}

// ---- queries --------------------------------------------------------------

int TImageLoader::IndexOfLocked(const QString& name) const
{
    if (name.isEmpty())
        return -1;
    for (size_t i = 0; i < Files.size(); ++i) {
        if (LocaleCollator::EqualsIgnoreCase(Files[i].Name, name))
            return int(i);
    }
    return -1;
}

QString TImageLoader::Folder() const
{
    std::lock_guard lock(Lock);
    return FolderPath;
}

QString TImageLoader::CurrentName() const
{
    std::lock_guard lock(Lock);
    return (Current >= 0 && Current < int(Files.size())) ? Files[size_t(Current)].Name : QString();
}

QString TImageLoader::NameAt(int index) const
{
    std::lock_guard lock(Lock);
    return (index >= 0 && index < int(Files.size())) ? Files[size_t(index)].Name : QString();
}

std::shared_ptr<TBufImage> TImageLoader::SlotAt(int index) const
{
    std::lock_guard lock(Lock);
    return (index >= 0 && index < int(Files.size())) ? Files[size_t(index)].Slot : nullptr;
}

std::shared_ptr<TBufImage> TImageLoader::FindSlot(quintptr address) const
{
    std::lock_guard lock(Lock);
    for (const TFileEntry& entry : Files) {
        if (quintptr(entry.Slot.get()) == address)
            return entry.Slot;
    }
    return nullptr;
}

int TImageLoader::IndexOf(const QString& name) const
{
    std::lock_guard lock(Lock);
    return IndexOfLocked(name);
}

int TImageLoader::Count() const
{
    std::lock_guard lock(Lock);
    return int(Files.size());
}

int TImageLoader::CurrentIndex() const
{
    std::lock_guard lock(Lock);
    return Current;
}

uint8_t TImageLoader::SortOrder() const
{
    std::lock_guard lock(Lock);
    return Order;
}

bool TImageLoader::SortAscend() const
{
    std::lock_guard lock(Lock);
    return Ascend;
}

bool TImageLoader::WaitIdle(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(Lock);
    return IdleCv.wait_for(lock, timeout, [this] { return Idle; });
}
