#pragma once

#include <QByteArray>
#include <QFile>
#include <cstddef>
#include <cstdint>

// Reads an open file into memory, at most `limit` bytes from its start.
// Readers copy the file instead of mapping it: a mapped file that another
// program truncates while we decode would kill the viewer with SIGBUS.
QByteArray ReadFileBytes(QFile& file, int64_t limit);

// Asks the kernel to back a large, not yet touched buffer with huge pages.
// Filling a fresh 100 MB picture otherwise costs one page fault per 4 KiB,
// which in a virtual machine is most of the time a large decode takes.
// Only whole 2 MiB blocks inside the buffer are advised; small buffers and
// kernels without transparent huge pages are left alone.
void AdviseHugePages(void* data, size_t size);
