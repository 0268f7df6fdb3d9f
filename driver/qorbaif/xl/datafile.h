// Random access to one data file by absolute offset, and the lookup of its
// named sections; the layout is in datafile_layout.h.
#ifndef ZEDWIC_DATAFILE_H
#define ZEDWIC_DATAFILE_H

#include "datafile_layout.h"
#include "fileio.h"

#include <cstdint>

const uint32_t DATAFILE_READ_ERROR = 0xFFFFFFFFu;
// Paths are UTF-8 on Windows (bytes natively) of at most 260 characters,
// counted in UTF-16 units as Windows counts them; 780 bytes hold any of them.
const uint32_t DATAFILE_PATH_UNITS = 260;
const uint32_t DATAFILE_PATH_SIZE = 3 * DATAFILE_PATH_UNITS + 1;
const uint32_t DATAFILE_STRING_SCAN = 290; // a string must end within this many bytes

// Files up to this size are read whole into memory (image mode); larger ones,
// and files whose size cannot be had, are read through the handle. Only tests
// and benchmarks change it, and only while no file is open.
extern uint32_t g_dataFileImageLimit;
const uint32_t DATAFILE_IMAGE_LIMIT = 64u << 10;

// Handle mode reads aligned blocks of the file into a few buffers of a block
// of its own, least recently used replaced first.
const uint32_t DATAFILE_BLOCK_SIZE = 4096;
const uint32_t DATAFILE_CACHE_BLOCKS = 8;

struct DataFileBlock {
    uint32_t index;   // the block's offset divided by DATAFILE_BLOCK_SIZE
    uint32_t length;  // bytes the file has there: less than a block at its end
    uint64_t lastUse; // 0 while the buffer holds nothing
    uint8_t bytes[DATAFILE_BLOCK_SIZE];
};

struct DataFileCache {
    uint64_t useClock;
    DataFileBlock blocks[DATAFILE_CACHE_BLOCKS];
};

struct DataFile {
    FileIo_Handle handle;
    char path[DATAFILE_PATH_SIZE];
    uint8_t *image;     // the whole file; null in handle mode
    uint32_t imageSize; // meaningful only while image is set
    // Handle mode only; without it (not to be had) every access is read as asked.
    DataFileCache *cache;
};

// Whether path has at most DATAFILE_PATH_UNITS characters.
bool DataFile_PathFits(const char *path);

// Null when the file cannot be opened, the path does not fit (a cut path
// would name another file) or the reader cannot be allocated.
DataFile *DataFile_Open(const char *path);

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

// Offset of the section record named name (ASCII case ignored), or 0.
uint32_t DataFile_FindSection(DataFile *file, const char *name);

uint32_t DataFile_GetU32(const uint8_t *bytes);

// Whole-string equality ignoring ASCII case only, independent of the locale.
bool DataFile_NamesEqual(const char *a, const char *b);

#endif
