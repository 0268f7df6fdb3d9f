// The data file: its layout, random access to it by absolute offset, and the
// lookup of its named sections.
#ifndef ZEDWIC_DATAFILE_H
#define ZEDWIC_DATAFILE_H

#include "platform.h"

#include <cstdint>

// The layout, shared by the reader and every producer (zwx's writer, the test
// builders, the fuzz seeds, the benchmarks). All integers unsigned 32-bit
// little-endian, all positions absolute:
//   header at 0:        [0] 4 bytes reserved for the producer  [4] section limit
//   section record:     [0] name[32]  [32] first entry  [36] 12 bytes  [48] next section
//                       [52] entry count  [56] 8 bytes
//   entry record:       [0] key  [4] value  [8] 4 bytes  [12] next entry
//   strings:            NUL-terminated, anywhere in the file
// The first section record is at 8; the chain ends with a next offset at or
// above the section limit. The library never interprets the reserved header
// field; zwx stores "ZW" and the texts' code page (16-bit) there, older files
// hold "ZWX1" (tools/zwx/zwxwrite.h).
const uint32_t DATAFILE_HEADER_SIZE = 8;
const uint32_t DATAFILE_HEADER_RESERVED = 0;
const uint32_t DATAFILE_HEADER_RESERVED_SIZE = 4;
const uint32_t DATAFILE_HEADER_LIMIT = 4;

const uint32_t DATAFILE_FIRST_SECTION = 8;
const uint32_t DATAFILE_SECTION_RECORD_SIZE = 64;
const uint32_t DATAFILE_SECTION_NAME_SIZE = 32;
const uint32_t DATAFILE_SECTION_FIRST_ENTRY = 32;
const uint32_t DATAFILE_SECTION_NEXT = 48;
const uint32_t DATAFILE_SECTION_COUNT = 52;
// The reader takes a record in two pieces: the head (name, first entry, next
// section), then the tail (entry count and the 8 bytes after it).
const uint32_t DATAFILE_SECTION_HEAD_SIZE = 52;
const uint32_t DATAFILE_SECTION_TAIL_SIZE = 12;
static_assert(DATAFILE_SECTION_COUNT == DATAFILE_SECTION_HEAD_SIZE, "the count opens the tail");

const uint32_t DATAFILE_ENTRY_SIZE = 16;
const uint32_t DATAFILE_ENTRY_KEY = 0;
const uint32_t DATAFILE_ENTRY_VALUE = 4;
const uint32_t DATAFILE_ENTRY_NEXT = 12;

const uint32_t DATAFILE_READ_ERROR = 0xFFFFFFFFu;
// Paths are UTF-8 on Windows (bytes natively) of at most 260 characters;
// 780 bytes hold any of them.
const uint32_t DATAFILE_PATH_SIZE = 3 * 260 + 1;
const uint32_t DATAFILE_STRING_SCAN = 290; // a string must end within this many bytes

// Files up to this size are read whole into memory when opened (image mode);
// larger ones, and files whose size cannot be had, are read through the handle.
const uint32_t DATAFILE_IMAGE_LIMIT = 64u << 10;

// Handle mode keeps each chunk of the file it reads until the file is closed,
// so no chunk is read twice, up to DATAFILE_CHUNK_BUDGET bytes in all; past
// that, every access is read as asked. The chunks are found through pages of
// DATAFILE_CHUNKS_PER_PAGE slots, each taken when a chunk it covers is first
// wanted, so an ordinary load of a file of any size takes one or two.
const uint32_t DATAFILE_CHUNK_SIZE = 16u << 10;
const uint32_t DATAFILE_CHUNK_BUDGET = 256u << 20;
const uint32_t DATAFILE_CHUNKS_PER_PAGE = 512;
// Pages enough for the 2 GiB below the seek limit: nothing beyond is read.
const uint32_t DATAFILE_CHUNK_PAGES =
    (0x80000000u / DATAFILE_CHUNK_SIZE) / DATAFILE_CHUNKS_PER_PAGE;

struct DataFileChunk; // private to the reader

struct DataFile {
    PlatformFile handle;  // PLATFORM_NO_FILE for bytes in memory
    const uint8_t *bytes; // bytes in memory, not owned; null for a file
    uint32_t bytesSize;
    uint32_t bytesPosition; // where the next read of the bytes starts
    char path[DATAFILE_PATH_SIZE];
    uint8_t *image;     // the whole file; null in handle mode
    uint32_t imageSize; // meaningful only while image is set
    // Handle mode only: the chunks read so far, by page; none are read at or
    // past chunkLimit (the seek limit, or the end of a file of known size).
    DataFileChunk **chunkPages[DATAFILE_CHUNK_PAGES];
    uint32_t chunkLimit;
    uint32_t chunkBytes; // held in all, against DATAFILE_CHUNK_BUDGET
};

// Null when the file cannot be opened, the path does not fit (a cut path
// would name another file) or the reader cannot be allocated.
DataFile *DataFile_Open(const char *path);

// The same reader over size bytes in memory, which must outlive it: the same
// modes, limits and answers as a file of those bytes.
DataFile *DataFile_OpenBytes(const void *bytes, uint32_t size);

// Either of the two with the image limit chosen (tests and benchmarks reach
// both modes through it): path, or bytes when path is null.
DataFile *DataFile_OpenAs(const char *path, const void *bytes, uint32_t size, uint32_t imageLimit);

// Bytes copied: 0 at or past the end, and in handle mode at 2 GiB and beyond
// (no seek reaches there), or DATAFILE_READ_ERROR when a read fails in handle
// mode.
uint32_t DataFile_ReadAt(DataFile *file, void *destination, uint32_t count, uint32_t offset);

// Copies the NUL-terminated string at offset. False, destination untouched,
// when a read fails, no NUL comes within DATAFILE_STRING_SCAN bytes, or the
// string and its NUL do not fit destinationSize. The end of the file ends a
// string.
bool DataFile_ReadString(DataFile *file, uint32_t offset, char *destination,
                         uint32_t destinationSize);

void DataFile_Close(DataFile *file);

// Whether the whole file is held in memory (image mode), which no read can fail.
bool DataFile_InMemory(const DataFile *file);

// Offset of the section record named name (ASCII case ignored), or 0.
uint32_t DataFile_FindSection(DataFile *file, const char *name);

uint32_t DataFile_GetU32(const uint8_t *bytes);

// Whole-string equality ignoring ASCII case only, independent of the locale.
bool DataFile_NamesEqual(const char *a, const char *b);

// Constant-memory detection of a chain of file offsets that returns to an
// offset it has already visited (Brent's method). Reading the same file at the
// same offset gives the same record, so a chain that repeats one offset repeats
// forever; a chain that never repeats is never stopped.
struct ChainGuard {
    uint32_t saved;
    uint64_t power;
    uint64_t steps;
};

inline void ChainGuard_Start(ChainGuard *guard, uint32_t first) {
    guard->saved = first;
    guard->power = 1;
    guard->steps = 0;
}

// True when next closes a cycle. Found at the latest within twice the cycle's
// length after the chain enters it.
inline bool ChainGuard_Repeats(ChainGuard *guard, uint32_t next) {
    if (next == guard->saved) {
        return true;
    }
    if (++guard->steps == guard->power) {
        guard->saved = next;
        guard->power *= 2;
        guard->steps = 0;
    }
    return false;
}

#endif
