// The platform's calls natively, for the portable core's tests and tools: the
// C heap and POSIX files. There is no print spooler here: every printer is one
// it does not know, so nothing is ever loaded.
#include "platform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

thread_local uint32_t t_lastError = 0;

void *PosixAllocZero(size_t size) {
    return calloc(size != 0 ? size : 1, 1);
}

void PosixFree(void *block) {
    free(block);
}

PlatformFile PosixFileOpen(const char *path) {
    int fd;
    do {
        fd = open(path, O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return PLATFORM_NO_FILE;
    }
    struct stat st;
    // A directory opens for reading here but not on Windows; refuse it the same way.
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        return PLATFORM_NO_FILE;
    }
    return fd;
}

bool PosixFileSize(PlatformFile file, uint32_t *size) {
    struct stat st;
    if (fstat(static_cast<int>(file), &st) != 0) {
        return false;
    }
    uint32_t low = static_cast<uint32_t>(static_cast<uint64_t>(st.st_size));
    // All ones is the Win32 failure answer; mirror it so both platforms pick handle mode.
    if (low == UINT32_MAX) {
        return false;
    }
    *size = low;
    return true;
}

bool PosixFileRead(PlatformFile file, void *destination, uint32_t count, uint32_t *delivered) {
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

bool PosixFileSeek(PlatformFile file, uint32_t offset) {
    if (offset > static_cast<uint32_t>(INT32_MAX)) {
        return false;
    }
    return lseek(static_cast<int>(file), static_cast<off_t>(offset), SEEK_SET) >= 0;
}

void PosixFileClose(PlatformFile file) {
    close(static_cast<int>(file));
}

bool PosixPrinterOpen(const char *, PlatformPrinter *) {
    t_lastError = PLATFORM_ERROR_INVALID_PRINTER_NAME;
    return false;
}

uint32_t PosixPrinterDriverSize(PlatformPrinter) {
    return 0;
}

bool PosixPrinterDriverFetch(PlatformPrinter, void *, uint32_t) {
    return false;
}

void PosixPrinterClose(PlatformPrinter) {}

PlatformModule PosixModuleLoad(const char *) {
    t_lastError = PLATFORM_ERROR_MOD_NOT_FOUND;
    return nullptr;
}

PlatformFunction PosixModuleFunction(PlatformModule, const char *) {
    t_lastError = PLATFORM_ERROR_PROC_NOT_FOUND;
    return nullptr;
}

void PosixModuleFree(PlatformModule) {}

uint32_t PosixGetError() {
    return t_lastError;
}

void PosixSetError(uint32_t error) {
    t_lastError = error;
}

} // namespace

extern const PlatformCalls PLATFORM_DEFAULTS = {
    PosixAllocZero,          PosixFree,           PosixFileOpen,
    PosixFileSize,           PosixFileRead,       PosixFileSeek,
    PosixFileClose,          PosixPrinterOpen,    PosixPrinterDriverSize,
    PosixPrinterDriverFetch, PosixPrinterClose,   nullptr,
    PosixModuleLoad,         PosixModuleFunction, PosixModuleFree,
    PosixGetError,           PosixSetError,
};
