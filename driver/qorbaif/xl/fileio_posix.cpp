// POSIX backend of the file seam, for the native build of the portable core.
#include "fileio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

void *PosixAllocZero(size_t size) {
    return calloc(size != 0 ? size : 1, 1);
}

void PosixFree(void *block) {
    free(block);
}

FileIo_Handle PosixOpen(const char *path) {
    int fd;
    do {
        fd = open(path, O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return FILEIO_INVALID_HANDLE;
    }
    struct stat st;
    // A directory opens for reading here but not on Windows; refuse it the same way.
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        return FILEIO_INVALID_HANDLE;
    }
    return fd;
}

bool PosixSize(FileIo_Handle file, uint32_t *size) {
    struct stat st;
    if (fstat(static_cast<int>(file), &st) != 0) {
        return false;
    }
    uint32_t low = static_cast<uint32_t>(static_cast<uint64_t>(st.st_size));
    // All ones is the Win32 failure answer; mirror it so both backends pick handle mode.
    if (low == UINT32_MAX) {
        return false;
    }
    *size = low;
    return true;
}

bool PosixRead(FileIo_Handle file, void *destination, uint32_t count, uint32_t *delivered) {
    ssize_t got;
    do {
        got = read(static_cast<int>(file), destination, count);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        *delivered = 0;
        return false;
    }
    *delivered = static_cast<uint32_t>(got);
    return true;
}

bool PosixSeek(FileIo_Handle file, uint32_t offset) {
    if (offset > static_cast<uint32_t>(INT32_MAX)) {
        return false;
    }
    return lseek(static_cast<int>(file), static_cast<off_t>(offset), SEEK_SET) >= 0;
}

void PosixClose(FileIo_Handle file) {
    close(static_cast<int>(file));
}

} // namespace

FileIo g_fileIo = {PosixAllocZero, PosixFree, PosixOpen, PosixSize,
                   PosixRead,      PosixSeek, PosixClose};
