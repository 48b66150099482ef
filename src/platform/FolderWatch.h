#pragma once

#include <QString>

// Watches one folder, not recursively, for names that appear, vanish or are
// renamed (files and sub-folders). Changes of size, time or content are not
// reported. Polled without blocking: the loader asks every few seconds.
class TFolderWatch {
public:
    TFolderWatch() = default;
    ~TFolderWatch();
    TFolderWatch(const TFolderWatch&) = delete;
    TFolderWatch& operator=(const TFolderWatch&) = delete;

    // Starts watching; false when the folder cannot be watched (then the list
    // simply never rescans).
    bool Open(const QString& folder);
    void Close();
    bool IsOpen() const { return Fd >= 0; }

    // True when a name changed since the last call; drains the pending events.
    bool Fired();

private:
    int Fd = -1;
};
