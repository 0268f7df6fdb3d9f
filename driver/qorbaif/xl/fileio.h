// The seam between the data-file reader and the platform: every file call and
// every heap block of the catalogue goes through this one table, so tests can
// make any of them fail.
#ifndef ZEDWIC_FILEIO_H
#define ZEDWIC_FILEIO_H

#include <cstddef>
#include <cstdint>

typedef intptr_t FileIo_Handle;
const FileIo_Handle FILEIO_INVALID_HANDLE = -1;

struct FileIo {
    // Zero-filled block; a request for 0 bytes still yields a block.
    void *(*AllocZero)(size_t size);
    void (*Free)(void *block);
    // Read-only, shared with other readers, writers refused where the platform
    // can. The path is UTF-8 on Windows, bytes as the system takes them natively.
    FileIo_Handle (*Open)(const char *path);
    // Low 32 bits of the size; false when the size cannot be had.
    bool (*Size)(FileIo_Handle file, uint32_t *size);
    // One read of at most count bytes at the current position.
    bool (*Read)(FileIo_Handle file, void *destination, uint32_t count, uint32_t *delivered);
    // Absolute move; offsets of 2 GiB and above fail, as a 32-bit signed distance does.
    bool (*Seek)(FileIo_Handle file, uint32_t offset);
    void (*Close)(FileIo_Handle file);
};

// The platform's table. Only tests replace entries, and only while no file is open.
extern FileIo g_fileIo;

#endif
