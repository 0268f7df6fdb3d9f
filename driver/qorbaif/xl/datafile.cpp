// The data-file reader: the whole file in memory when it is small enough and
// can be had (image mode), otherwise reads through the open handle (handle
// mode). Both give the same answers; only handle mode can meet a failing read.
//
// Handle mode reads aligned blocks of the file into a cache of a few buffers
// and answers from them. That is sound only because the file cannot
// change while it is open: it is opened sharing read access alone, so every
// writer is refused until it is closed (the POSIX backend, used by native
// tests and tools, cannot refuse them; nothing writes the files they read).
// When a block cannot be read, the access is made exactly as asked instead, a
// seek to its offset and reads of the bytes it wants, so a failing read and
// the 2 GiB seek limit give the answers that reading every access through the
// handle gives.
#include "datafile.h"

#include "modpath.h"

#include <cstring>

uint32_t g_dataFileImageLimit = DATAFILE_IMAGE_LIMIT;

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

const uint32_t DATAFILE_SEEK_LIMIT = 0x80000000u; // a 32-bit signed distance reaches no further

// The access as asked: a seek to offset and reads until count bytes came, the
// end of the file came, or a read failed.
uint32_t ReadExactly(DataFile *file, uint8_t *destination, uint32_t count, uint32_t offset) {
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

// Block index read into the least recently used buffer, or null when its seek
// or one of its reads failed; that buffer then holds nothing. Only blocks
// below the seek limit are asked for.
DataFileBlock *FillBlock(DataFile *file, DataFileCache *cache, uint32_t index) {
    DataFileBlock *victim = &cache->blocks[0];
    for (DataFileBlock &block : cache->blocks) {
        if (block.lastUse < victim->lastUse) {
            victim = &block;
        }
    }
    victim->lastUse = 0;
    if (!g_fileIo.Seek(file->handle, index * DATAFILE_BLOCK_SIZE)) {
        return nullptr;
    }
    uint32_t length = 0;
    for (;;) {
        uint32_t wanted = DATAFILE_BLOCK_SIZE - length;
        uint32_t delivered = 0;
        if (!g_fileIo.Read(file->handle, victim->bytes + length, wanted, &delivered)) {
            return nullptr;
        }
        length += delivered;
        if (delivered >= wanted || delivered == 0) {
            break;
        }
    }
    victim->index = index;
    victim->length = length;
    victim->lastUse = ++cache->useClock;
    return victim;
}

// The block that holds offset, from the cache or read now; null without a
// cache, at or past the seek limit, or when the block cannot be read.
DataFileBlock *BlockAt(DataFile *file, uint64_t offset) {
    DataFileCache *cache = file->cache;
    if (cache == nullptr || offset >= DATAFILE_SEEK_LIMIT) {
        return nullptr;
    }
    const uint32_t index = static_cast<uint32_t>(offset / DATAFILE_BLOCK_SIZE);
    for (DataFileBlock &block : cache->blocks) {
        if (block.lastUse != 0 && block.index == index) {
            block.lastUse = ++cache->useClock;
            return &block;
        }
    }
    return FillBlock(file, cache, index);
}

uint32_t ReadThroughCache(DataFile *file, uint8_t *destination, uint32_t count, uint32_t offset) {
    if (count == 0 || count > DATAFILE_BLOCK_SIZE || file->cache == nullptr) {
        return ReadExactly(file, destination, count, offset);
    }
    uint32_t copied = 0;
    while (copied < count) {
        const uint64_t at = static_cast<uint64_t>(offset) + copied;
        DataFileBlock *block = BlockAt(file, at);
        if (block == nullptr) {
            return ReadExactly(file, destination, count, offset);
        }
        const uint32_t within = static_cast<uint32_t>(at % DATAFILE_BLOCK_SIZE);
        if (within >= block->length) {
            return copied; // the end of the file
        }
        const uint32_t available = block->length - within;
        const uint32_t wanted = count - copied;
        const uint32_t step = wanted < available ? wanted : available;
        memcpy(destination + copied, block->bytes + within, step);
        copied += step;
        if (step == available && block->length < DATAFILE_BLOCK_SIZE) {
            return copied; // a short block ends the file
        }
    }
    return copied;
}

// The handle-mode walk of StringLength: a block at a time where blocks can be
// read, otherwise the byte as asked (its block is tried again for the next).
int32_t StringLengthThroughCache(DataFile *file, uint32_t offset, uint8_t *scratch) {
    uint32_t i = 0;
    while (i < DATAFILE_STRING_SCAN) {
        const uint64_t at = static_cast<uint64_t>(offset) + i;
        if (at > UINT32_MAX) {
            return static_cast<int32_t>(i); // no such byte: it ends the string
        }
        DataFileBlock *block = BlockAt(file, at);
        if (block == nullptr) {
            scratch[i] = 0; // a byte past the end delivers nothing and ends the string
            if (ReadExactly(file, &scratch[i], 1, static_cast<uint32_t>(at)) ==
                DATAFILE_READ_ERROR) {
                return -1;
            }
            if (scratch[i] == 0) {
                return static_cast<int32_t>(i);
            }
            ++i;
            continue;
        }
        const uint32_t within = static_cast<uint32_t>(at % DATAFILE_BLOCK_SIZE);
        if (within >= block->length) {
            return static_cast<int32_t>(i);
        }
        const uint32_t available = block->length - within;
        const uint32_t left = DATAFILE_STRING_SCAN - i;
        const uint32_t scan = left < available ? left : available;
        const uint8_t *start = block->bytes + within;
        const void *nul = memchr(start, 0, scan);
        const uint32_t step = nul != nullptr
                                  ? static_cast<uint32_t>(static_cast<const uint8_t *>(nul) - start)
                                  : scan;
        memcpy(scratch + i, start, step);
        i += step;
        if (nul != nullptr) {
            return static_cast<int32_t>(i);
        }
        if (i < DATAFILE_STRING_SCAN && step == available && block->length < DATAFILE_BLOCK_SIZE) {
            return static_cast<int32_t>(i); // the end of the file ends it
        }
    }
    return -1;
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
    return StringLengthThroughCache(file, offset, scratch);
}

} // namespace

bool DataFile_PathFits(const char *path) {
    const size_t length = strlen(path);
    return length < DATAFILE_PATH_SIZE && ModPath_Utf16Length(path, length) <= DATAFILE_PATH_UNITS;
}

DataFile *DataFile_Open(const char *path) {
    if (path == nullptr || !DataFile_PathFits(path)) {
        return nullptr;
    }
    const size_t length = strlen(path);
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
    // Reading a larger file whole would cost more than the blocks a load
    // reads from it (docs/benchmarks.md has the figures).
    uint32_t size = 0;
    if (g_fileIo.Size(file->handle, &size) && size <= g_dataFileImageLimit) {
        file->image = static_cast<uint8_t *>(g_fileIo.AllocZero(size));
        if (file->image != nullptr) {
            file->imageSize = size;
            FillImage(file);
            g_fileIo.Seek(file->handle, 0);
        }
    }
    if (file->image == nullptr) {
        file->cache = static_cast<DataFileCache *>(g_fileIo.AllocZero(sizeof(DataFileCache)));
    }
    return file;
}

uint32_t DataFile_ReadAt(DataFile *file, void *destination, uint32_t count, uint32_t offset) {
    uint8_t *out = static_cast<uint8_t *>(destination);
    if (file->image == nullptr) {
        return ReadThroughCache(file, out, count, offset);
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
    g_fileIo.Free(file->cache);
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
