// The data-file reader: the whole file in memory when it is small enough and
// can be had (image mode), otherwise reads through the open handle (handle
// mode). Both give the same answers; only handle mode can meet a failing read.
// Bytes held in memory are read through the same steps as a file's handle.
//
// Handle mode reads the file in aligned chunks and keeps every chunk it has
// read until the file is closed, so a walk never reads a byte of the file
// twice, in whatever order it goes: at worst it reads the file once, in
// DATAFILE_CHUNK_SIZE pieces, and walks the rest in memory. That is sound only
// because the file cannot change while it is open: it is opened sharing read
// access alone, so every writer is refused until it is closed (natively,
// where writers cannot be refused, nothing writes the files the tests and
// tools read). Past DATAFILE_CHUNK_BUDGET, and whenever a chunk cannot be had
// or read, the access is made exactly as asked instead, a seek to its offset
// and reads of the bytes it wants, so a failing read and the 2 GiB seek limit
// give the answers that reading every access through the handle gives.
#include "datafile.h"

#include <cstring>

struct DataFileChunk {
    uint32_t length; // bytes the file has there: less than a chunk at its end
    uint8_t bytes[DATAFILE_CHUNK_SIZE];
};

namespace {

const uint32_t DATAFILE_SEEK_LIMIT = 0x80000000u; // a 32-bit signed distance reaches no further

// The source under both modes: the platform's file, or bytes in memory that
// behave as one (the same seek limit, reads that stop at the end).
bool SourceSize(DataFile *file, uint32_t *size) {
    if (file->bytes == nullptr) {
        return Platform()->FileSize(file->handle, size);
    }
    *size = file->bytesSize;
    return true;
}

bool SourceRead(DataFile *file, void *destination, uint32_t count, uint32_t *delivered) {
    if (file->bytes == nullptr) {
        return Platform()->FileRead(file->handle, destination, count, delivered);
    }
    const uint32_t left =
        file->bytesPosition < file->bytesSize ? file->bytesSize - file->bytesPosition : 0;
    *delivered = count < left ? count : left;
    memcpy(destination, file->bytes + file->bytesPosition, *delivered);
    file->bytesPosition += *delivered;
    return true;
}

bool SourceSeek(DataFile *file, uint32_t offset) {
    if (file->bytes == nullptr) {
        return Platform()->FileSeek(file->handle, offset);
    }
    if (offset >= DATAFILE_SEEK_LIMIT) {
        return false;
    }
    file->bytesPosition = offset;
    return true;
}

// Reads from the current position until count bytes came, the end came (a
// read of 0 bytes) or a read failed; *length is what came.
bool ReadFully(DataFile *file, uint8_t *destination, uint32_t count, uint32_t *length) {
    *length = 0;
    for (;;) {
        const uint32_t wanted = count - *length;
        uint32_t delivered = 0;
        if (!SourceRead(file, destination + *length, wanted, &delivered)) {
            return false;
        }
        *length += delivered;
        if (delivered >= wanted || delivered == 0) {
            return true;
        }
    }
}

// The access as asked: a seek to offset and reads until count bytes came, the
// end of the file came, or a read failed.
uint32_t ReadExactly(DataFile *file, uint8_t *destination, uint32_t count, uint32_t offset) {
    if (!SourceSeek(file, offset)) {
        return 0;
    }
    uint32_t length = 0;
    return ReadFully(file, destination, count, &length) ? length : DATAFILE_READ_ERROR;
}

// The slot of the chunk with this index, its page taken now if need be; null
// when the page cannot be had.
DataFileChunk **ChunkSlot(DataFile *file, uint32_t index) {
    DataFileChunk **&page = file->chunkPages[index / DATAFILE_CHUNKS_PER_PAGE];
    if (page == nullptr) {
        // NOLINTNEXTLINE(bugprone-sizeof-expression): a page is a table of pointers
        const size_t pageSize = DATAFILE_CHUNKS_PER_PAGE * sizeof(DataFileChunk *);
        page = static_cast<DataFileChunk **>(Platform()->AllocZero(pageSize));
        if (page == nullptr) {
            return nullptr;
        }
    }
    return &page[index % DATAFILE_CHUNKS_PER_PAGE];
}

// The chunk that holds offset, kept or read now; null at or past the chunk
// limit, past the budget, or when the chunk cannot be allocated or read.
DataFileChunk *ChunkAt(DataFile *file, uint64_t offset) {
    const uint64_t index = offset / DATAFILE_CHUNK_SIZE;
    if (index >= file->chunkLimit) {
        return nullptr;
    }
    DataFileChunk **slot = ChunkSlot(file, static_cast<uint32_t>(index));
    if (slot == nullptr || *slot != nullptr) {
        return slot != nullptr ? *slot : nullptr;
    }
    if (file->chunkBytes > DATAFILE_CHUNK_BUDGET - DATAFILE_CHUNK_SIZE) {
        return nullptr;
    }
    DataFileChunk *chunk =
        static_cast<DataFileChunk *>(Platform()->AllocZero(sizeof(DataFileChunk)));
    if (chunk == nullptr) {
        return nullptr;
    }
    if (!SourceSeek(file, static_cast<uint32_t>(index * DATAFILE_CHUNK_SIZE)) ||
        !ReadFully(file, chunk->bytes, DATAFILE_CHUNK_SIZE, &chunk->length)) {
        Platform()->Free(chunk);
        return nullptr;
    }
    *slot = chunk;
    file->chunkBytes += DATAFILE_CHUNK_SIZE;
    return chunk;
}

uint32_t ReadThroughChunks(DataFile *file, uint8_t *destination, uint32_t count, uint32_t offset) {
    if (count == 0 || count > DATAFILE_CHUNK_SIZE) {
        return ReadExactly(file, destination, count, offset);
    }
    uint32_t copied = 0;
    while (copied < count) {
        const uint64_t at = static_cast<uint64_t>(offset) + copied;
        const DataFileChunk *chunk = ChunkAt(file, at);
        if (chunk == nullptr) {
            return ReadExactly(file, destination, count, offset);
        }
        const uint32_t within = static_cast<uint32_t>(at % DATAFILE_CHUNK_SIZE);
        if (within >= chunk->length) {
            return copied; // the end of the file
        }
        const uint32_t available = chunk->length - within;
        const uint32_t wanted = count - copied;
        const uint32_t step = wanted < available ? wanted : available;
        memcpy(destination + copied, chunk->bytes + within, step);
        copied += step;
        if (step == available && chunk->length < DATAFILE_CHUNK_SIZE) {
            return copied; // a short chunk ends the file
        }
    }
    return copied;
}

// Copies bytes of a string from start to scratch[*i] onwards, at most scan of
// them: true when its NUL came (*i is then its length). A plain loop: the
// strings are short, and most are a key of a few characters.
bool ScanString(const uint8_t *start, uint32_t scan, uint8_t *scratch, uint32_t *i) {
    for (uint32_t k = 0; k < scan; ++k) {
        if (start[k] == 0) {
            *i += k;
            return true;
        }
        scratch[*i + k] = start[k];
    }
    *i += scan;
    return false;
}

// The handle-mode walk of StringLength: a chunk at a time where chunks can be
// had, otherwise the byte as asked (its chunk is tried again for the next).
int32_t StringLengthThroughChunks(DataFile *file, uint32_t offset, uint8_t *scratch,
                                  uint32_t limit) {
    uint32_t i = 0;
    while (i < limit) {
        const uint64_t at = static_cast<uint64_t>(offset) + i;
        if (at > UINT32_MAX) {
            return static_cast<int32_t>(i); // no such byte: it ends the string
        }
        const DataFileChunk *chunk = ChunkAt(file, at);
        if (chunk == nullptr) {
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
        const uint32_t within = static_cast<uint32_t>(at % DATAFILE_CHUNK_SIZE);
        if (within >= chunk->length) {
            return static_cast<int32_t>(i);
        }
        const uint32_t available = chunk->length - within;
        const uint32_t left = limit - i;
        const uint32_t scan = left < available ? left : available;
        if (ScanString(chunk->bytes + within, scan, scratch, &i)) {
            return static_cast<int32_t>(i);
        }
        if (i < limit && scan == available && chunk->length < DATAFILE_CHUNK_SIZE) {
            return static_cast<int32_t>(i); // the end of the file ends it
        }
    }
    return -1;
}

// Length of the string at offset as the byte-by-byte walk sees it: -1 when a
// read fails or no NUL comes within limit bytes (no more than the scan);
// bytes past the end read as NUL.
int32_t StringLength(DataFile *file, uint32_t offset, uint8_t *scratch, uint32_t limit) {
    if (file->image == nullptr) {
        return StringLengthThroughChunks(file, offset, scratch, limit);
    }
    if (offset >= file->imageSize) {
        return 0;
    }
    const uint32_t available = file->imageSize - offset;
    const uint32_t scan = available < limit ? available : limit;
    uint32_t i = 0;
    if (!ScanString(file->image + offset, scan, scratch, &i) && scan == limit) {
        return -1;
    }
    return static_cast<int32_t>(i);
}

void FillImage(DataFile *file) {
    uint32_t length = 0;
    // A short file (shrunk since the size query) leaves the tail zero.
    if (!ReadFully(file, file->image, file->imageSize, &length)) {
        Platform()->Free(file->image);
        file->image = nullptr;
    }
}

void StartHandleMode(DataFile *file, bool sizeKnown, uint32_t size) {
    // Nothing at or past the seek limit is ever read, whatever the size.
    const uint64_t reach = sizeKnown && size < DATAFILE_SEEK_LIMIT ? size : DATAFILE_SEEK_LIMIT;
    file->chunkLimit =
        static_cast<uint32_t>((reach + DATAFILE_CHUNK_SIZE - 1) / DATAFILE_CHUNK_SIZE);
}

} // namespace

DataFile *DataFile_OpenAs(const char *path, const void *bytes, uint32_t size, uint32_t imageLimit) {
    if (path == nullptr && bytes == nullptr && size != 0) {
        return nullptr;
    }
    const size_t length = path != nullptr ? strlen(path) : 0;
    if (length >= DATAFILE_PATH_SIZE) {
        return nullptr;
    }
    DataFile *file = static_cast<DataFile *>(Platform()->AllocZero(sizeof(DataFile)));
    if (file == nullptr) {
        return nullptr;
    }
    file->handle = PLATFORM_NO_FILE;
    if (path != nullptr) {
        memcpy(file->path, path, length + 1);
        file->handle = Platform()->FileOpen(file->path);
        if (file->handle == PLATFORM_NO_FILE) {
            Platform()->Free(file);
            return nullptr;
        }
    } else {
        static const uint8_t empty[1] = {0};
        file->bytes = bytes != nullptr ? static_cast<const uint8_t *>(bytes) : empty;
        file->bytesSize = size;
    }
    // Reading a larger file whole would cost more than the chunks a load
    // reads from it (docs/benchmarks.md has the figures).
    uint32_t fileSize = 0;
    const bool sizeKnown = SourceSize(file, &fileSize);
    if (sizeKnown && fileSize <= imageLimit) {
        file->image = static_cast<uint8_t *>(Platform()->AllocZero(fileSize));
        if (file->image != nullptr) {
            file->imageSize = fileSize;
            FillImage(file);
            SourceSeek(file, 0);
        }
    }
    if (file->image == nullptr) {
        StartHandleMode(file, sizeKnown, fileSize);
    }
    return file;
}

DataFile *DataFile_Open(const char *path) {
    return path != nullptr ? DataFile_OpenAs(path, nullptr, 0, DATAFILE_IMAGE_LIMIT) : nullptr;
}

DataFile *DataFile_OpenBytes(const void *bytes, uint32_t size) {
    return DataFile_OpenAs(nullptr, bytes, size, DATAFILE_IMAGE_LIMIT);
}

uint32_t DataFile_ReadAt(DataFile *file, void *destination, uint32_t count, uint32_t offset) {
    uint8_t *out = static_cast<uint8_t *>(destination);
    if (file->image == nullptr) {
        return ReadThroughChunks(file, out, count, offset);
    }
    if (offset >= file->imageSize) {
        return 0;
    }
    const uint32_t available = file->imageSize - offset;
    const uint32_t copied = count < available ? count : available;
    memcpy(out, file->image + offset, copied);
    return copied;
}

bool DataFile_ReadString(DataFile *file, uint32_t offset, char *destination,
                         uint32_t destinationSize) {
    // Only the bytes StringLength reports are used: no need to zero it all
    // for every string of a long chain. A string that does not end within
    // destinationSize bytes is refused whatever follows, so no more are read.
    uint8_t scratch[DATAFILE_STRING_SCAN];
    const uint32_t limit =
        destinationSize < DATAFILE_STRING_SCAN ? destinationSize : DATAFILE_STRING_SCAN;
    const int32_t length = StringLength(file, offset, scratch, limit);
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
    if (file->handle != PLATFORM_NO_FILE) {
        Platform()->FileClose(file->handle);
        file->handle = PLATFORM_NO_FILE;
    }
    for (DataFileChunk **page : file->chunkPages) {
        for (uint32_t i = 0; page != nullptr && i < DATAFILE_CHUNKS_PER_PAGE; ++i) {
            Platform()->Free(page[i]);
        }
        Platform()->Free(page);
    }
    Platform()->Free(file->image);
    Platform()->Free(file);
}

bool DataFile_InMemory(const DataFile *file) {
    return file->image != nullptr;
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
