// The data-file reader: the whole file in memory when it can be had (image
// mode), otherwise a seek and a read through the open handle per access
// (handle mode). Both modes give the same answers.
#include "datafile.h"

#include <cstring>

namespace {

void FillImage(DataFile *file) {
    uint32_t filled = 0;
    for (;;) {
        uint32_t missing = file->imageSize - filled;
        uint32_t delivered = 0;
        if (!g_fileIo.Read(file->handle, file->image + filled, missing, &delivered)) {
            g_fileIo.Free(file->image);
            file->image = nullptr;
            return;
        }
        // A short file (shrunk since the size query) leaves the tail zero.
        if (delivered >= missing || delivered == 0) {
            return;
        }
        filled += delivered;
    }
}

uint32_t ReadThroughHandle(DataFile *file, uint8_t *destination, uint32_t count, uint32_t offset) {
    if (!g_fileIo.Seek(file->handle, offset)) {
        return 0;
    }
    uint32_t total = 0;
    for (;;) {
        uint32_t wanted = count - total;
        uint32_t delivered = 0;
        if (!g_fileIo.Read(file->handle, destination + total, wanted, &delivered)) {
            return DATAFILE_READ_ERROR;
        }
        total += delivered;
        if (delivered >= wanted || delivered == 0) {
            return total;
        }
    }
}

// Length of the string at offset as the byte-by-byte walk sees it: -1 when a
// read fails or no NUL comes within the scan; bytes past the end read as NUL.
int32_t StringLength(DataFile *file, uint32_t offset, uint8_t *scratch) {
    if (file->image != nullptr) {
        if (offset >= file->imageSize) {
            return 0;
        }
        uint32_t available = file->imageSize - offset;
        uint32_t scan = available < DATAFILE_STRING_SCAN ? available : DATAFILE_STRING_SCAN;
        const uint8_t *start = file->image + offset;
        const void *nul = memchr(start, 0, scan);
        if (nul != nullptr) {
            scan = static_cast<uint32_t>(static_cast<const uint8_t *>(nul) - start);
        } else if (scan == DATAFILE_STRING_SCAN) {
            return -1;
        }
        memcpy(scratch, start, scan);
        return static_cast<int32_t>(scan);
    }
    for (uint32_t i = 0; i < DATAFILE_STRING_SCAN; ++i) {
        uint64_t at = static_cast<uint64_t>(offset) + i;
        if (at > UINT32_MAX) {
            return static_cast<int32_t>(i); // no such byte: it ends the string
        }
        scratch[i] = 0; // a byte past the end delivers nothing and ends the string
        uint32_t got = DataFile_ReadAt(file, &scratch[i], 1, static_cast<uint32_t>(at));
        if (got == DATAFILE_READ_ERROR) {
            return -1;
        }
        if (scratch[i] == 0) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

} // namespace

DataFile *DataFile_Open(const char *path) {
    size_t length = path != nullptr ? strlen(path) : DATAFILE_PATH_SIZE;
    if (length >= DATAFILE_PATH_SIZE) {
        return nullptr;
    }
    DataFile *file = static_cast<DataFile *>(g_fileIo.AllocZero(sizeof(DataFile)));
    if (file == nullptr) {
        return nullptr;
    }
    memcpy(file->path, path, length + 1);
    file->handle = g_fileIo.Open(file->path);
    if (file->handle == FILEIO_INVALID_HANDLE) {
        g_fileIo.Free(file);
        return nullptr;
    }
    uint32_t size = 0;
    if (!g_fileIo.Size(file->handle, &size)) {
        return file;
    }
    file->image = static_cast<uint8_t *>(g_fileIo.AllocZero(size));
    if (file->image == nullptr) {
        return file;
    }
    file->imageSize = size;
    FillImage(file);
    g_fileIo.Seek(file->handle, 0);
    return file;
}

uint32_t DataFile_ReadAt(DataFile *file, void *destination, uint32_t count, uint32_t offset) {
    uint8_t *out = static_cast<uint8_t *>(destination);
    if (file->image == nullptr) {
        return ReadThroughHandle(file, out, count, offset);
    }
    if (offset >= file->imageSize) {
        return 0;
    }
    uint32_t available = file->imageSize - offset;
    uint32_t copied = count < available ? count : available;
    memcpy(out, file->image + offset, copied);
    return copied;
}

bool DataFile_ReadString(DataFile *file, uint32_t offset, char *destination,
                         uint32_t destinationSize) {
    // Only the bytes StringLength reports are used: no need to zero it all
    // for every string of a long chain.
    uint8_t scratch[DATAFILE_STRING_SCAN];
    int32_t length = StringLength(file, offset, scratch);
    if (length < 0 || static_cast<uint32_t>(length) >= destinationSize) {
        return false;
    }
    memcpy(destination, scratch, static_cast<size_t>(length));
    destination[length] = '\0';
    return true;
}

void DataFile_Close(DataFile *file) {
    if (file == nullptr) {
        return;
    }
    g_fileIo.Close(file->handle);
    file->handle = FILEIO_INVALID_HANDLE;
    g_fileIo.Free(file->image);
    g_fileIo.Free(file);
}

uint32_t DataFile_GetU32(const uint8_t *bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

bool DataFile_NamesEqual(const char *a, const char *b) {
    for (;; ++a, ++b) {
        unsigned char ca = static_cast<unsigned char>(*a);
        unsigned char cb = static_cast<unsigned char>(*b);
        if (ca >= 'A' && ca <= 'Z') {
            ca = static_cast<unsigned char>(ca - 'A' + 'a');
        }
        if (cb >= 'A' && cb <= 'Z') {
            cb = static_cast<unsigned char>(cb - 'A' + 'a');
        }
        if (ca != cb) {
            return false;
        }
        if (ca == 0) {
            return true;
        }
    }
}
