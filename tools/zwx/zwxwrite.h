// Producer side of the data file: lays out sections of key/value entries the
// way the library reads them (datafile_layout.h): the section records from
// offset 8 chained in order, the last one's next field the section limit;
// then each section's entries, chained in order; then the keys and values.
#ifndef ZWX_ZWXWRITE_H
#define ZWX_ZWXWRITE_H

#include "datafile.h"

#include <cstdint>
#include <string>
#include <vector>

struct ZwxEntry {
    std::string key;
    std::string value;
};

struct ZwxSection {
    std::string name;
    std::vector<ZwxEntry> entries;
};

// Where the writer put each record, for callers that want to change a file
// after it is laid out (tests building damaged files).
struct ZwxLayout {
    std::vector<uint32_t> sectionOffsets;
    std::vector<std::vector<uint32_t>> entryOffsets;
    std::vector<std::vector<uint32_t>> keyOffsets;
    std::vector<std::vector<uint32_t>> valueOffsets;
};

// Names, keys and values are copied byte for byte; a name longer than 31
// bytes is cut to fit its field.
std::vector<uint8_t> Zwx_Build(const std::vector<ZwxSection> &sections, ZwxLayout *layout);

// The size of the file Zwx_Build lays out. Offsets in the file are 32-bit:
// check this before building anything large.
uint64_t Zwx_BuiltSize(const std::vector<ZwxSection> &sections);

void Zwx_PutU32(std::vector<uint8_t> *bytes, uint32_t offset, uint32_t value);

// The code page of a file's texts travels in the header's reserved field,
// which the library never reads (it takes only the limit from the header, and
// a walk sent back to offset 0 compares those bytes as a name that starts with
// 'Z', which no section the library asks for does): "ZW" and the code page,
// little-endian. Zwx_Build writes ZWX_NO_CODE_PAGE, which records none
// (as in files from before code pages were recorded).
const char ZWX_NO_CODE_PAGE[DATAFILE_HEADER_RESERVED_SIZE + 1] = "ZWX1";
void Zwx_SetCodePage(std::vector<uint8_t> *bytes, uint32_t codePage);

// The code page a header's reserved field records, or 0 for none.
uint32_t Zwx_RecordedCodePage(const uint8_t reserved[DATAFILE_HEADER_RESERVED_SIZE]);

#endif
