// The data file's layout, the one definition shared by the reader, the writer
// (zwx), the test builders, the fuzz seeds and the benchmarks.
//
// All integers unsigned 32-bit little-endian, all positions absolute:
//   header at 0:        [0] 4 bytes reserved for the producer  [4] section limit
//   section record:     [0] name[32]  [32] first entry  [36] 12 bytes  [48] next section
//                       [52] entry count  [56] 8 bytes
//   entry record:       [0] key  [4] value  [8] 4 bytes  [12] next entry
//   strings:            NUL-terminated, anywhere in the file
// The first section record is at 8; the chain ends with a next offset at or
// above the section limit. The library never interprets the reserved header
// field; zwx stores "ZW" and the texts' code page (16-bit) there, older files
// hold "ZWX1" (tools/zwx/zwxwrite.h).
#ifndef ZEDWIC_DATAFILE_LAYOUT_H
#define ZEDWIC_DATAFILE_LAYOUT_H

#include <cstdint>

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

#endif
