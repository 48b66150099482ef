#include "platform/FolderWatch.h"

#include <QFile>
#include <cerrno>
#include <sys/inotify.h>
#include <unistd.h>

TFolderWatch::~TFolderWatch()
{
    Close();
}

bool TFolderWatch::Open(const QString& folder)
{
    Close();
    Fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (Fd < 0)
        return false;
    // Name changes only: creation, deletion and both halves of a rename.
    const uint32_t mask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF
                          | IN_MOVE_SELF | IN_ONLYDIR;
    if (inotify_add_watch(Fd, QFile::encodeName(folder).constData(), mask) < 0) {
        Close();
        return false;
    }
    return true;
}

void TFolderWatch::Close()
{
    if (Fd >= 0)
        ::close(Fd);
    Fd = -1;
}

bool TFolderWatch::Fired()
{
    if (Fd < 0)
        return false;
    bool fired = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(Fd, buffer, sizeof buffer);
        if (n > 0) {
            fired = true;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;  // EAGAIN: drained
    }
    return fired;
}
