// A walk over a data file's records by the library's own reading rules
// (DataFile_ReadAt, DataFile_ReadString, ChainGuard), which records where the
// structure is damaged instead of reading on through zeros the way the
// library does.
#ifndef ZWX_ZWXWALK_H
#define ZWX_ZWXWALK_H

#include "datafile.h"

#include <cstdint>
#include <string>
#include <vector>

enum WalkStringState {
    WALK_STRING_OK,
    WALK_STRING_AT_END,     // no NUL: the end of the file ends it, as the library reads it
    WALK_STRING_OUTSIDE,    // starts at or past the end: the library reads ""
    WALK_STRING_UNREADABLE, // no NUL within DATAFILE_STRING_SCAN bytes, or a read failed
};

struct WalkString {
    WalkStringState state;
    std::string bytes; // as read; empty when unreadable
};

enum WalkChainEnd {
    WALK_CHAIN_COMPLETE,    // the count is reached, or the section chain left the limit
    WALK_CHAIN_LOOPS,       // back at a record it has read
    WALK_CHAIN_OUTSIDE,     // a record at or past the end of the file
    WALK_CHAIN_CUT_SHORT,   // a record that the end of the file cuts
    WALK_CHAIN_INTO_HEADER, // a record offset inside the 8-byte header
};

struct WalkEntry {
    uint32_t offset;
    uint32_t keyOffset;
    uint32_t valueOffset;
    WalkString key;
    WalkString value;
};

struct WalkSection {
    uint32_t offset;
    bool nameTerminated; // false: 32 bytes without a NUL, which match no name
    std::string name;
    bool tailCut; // the entry count lies (partly) past the end and reads as zeros
    uint32_t firstEntry;
    uint32_t count;
    uint32_t next;
    std::vector<WalkEntry> entries;
    WalkChainEnd entriesEnd;
    uint32_t entriesEndOffset; // the record where the walk stopped, if not complete
};

struct WalkFile {
    bool headerShort; // fewer than 8 bytes: the library sees limit 0, so no sections
    uint32_t limit;
    std::vector<WalkSection> sections;
    WalkChainEnd sectionsEnd;
    uint32_t sectionsEndOffset;
};

WalkString Walk_String(DataFile *file, uint32_t offset);

// The section record at offset and its entries. False when not even the
// record's first 52 bytes can be read (*end tells why).
bool Walk_Section(DataFile *file, uint32_t offset, WalkSection *section, WalkChainEnd *end);

WalkFile Walk_File(DataFile *file);

// "loops", "leaves the file", ...: the end of a chain in words.
const char *Walk_ChainEndText(WalkChainEnd end);

// An offset as messages show it: "0x1F0".
std::string Walk_Hex(uint32_t value);

#endif
