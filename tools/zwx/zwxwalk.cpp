#include "zwxwalk.h"

#include <cstdio>
#include <cstring>
#include <unordered_set>

namespace {

// ChainGuard bounds a walk as it bounds the library's, but it notices a loop
// some records after the chain closed it, or not at all when the count ends
// the walk first. Each record is kept once; true when one came back.
template <typename Record> bool TrimRepeats(std::vector<Record> *records, uint32_t *backTo) {
    std::unordered_set<uint32_t> seen;
    for (size_t i = 0; i < records->size(); ++i) {
        if (!seen.insert((*records)[i].offset).second) {
            *backTo = (*records)[i].offset;
            records->resize(i);
            return true;
        }
    }
    return false;
}

// What a read of count bytes at offset tells about the record there.
WalkChainEnd RecordState(uint32_t got, uint32_t count) {
    if (got == 0 || got == DATAFILE_READ_ERROR) {
        return WALK_CHAIN_OUTSIDE;
    }
    return got < count ? WALK_CHAIN_CUT_SHORT : WALK_CHAIN_COMPLETE;
}

void WalkEntries(DataFile *file, WalkSection *section) {
    section->entriesEnd = WALK_CHAIN_COMPLETE;
    uint8_t record[DATAFILE_ENTRY_SIZE] = {};
    uint32_t offset = section->firstEntry;
    ChainGuard guard;
    ChainGuard_Start(&guard, offset);
    for (uint32_t k = 0; k < section->count; ++k) {
        if (k > 0) {
            offset = DataFile_GetU32(record + DATAFILE_ENTRY_NEXT);
            if (ChainGuard_Repeats(&guard, offset)) {
                section->entriesEnd = WALK_CHAIN_LOOPS;
                break;
            }
        }
        WalkChainEnd state =
            offset < DATAFILE_HEADER_SIZE
                ? WALK_CHAIN_INTO_HEADER
                : RecordState(DataFile_ReadAt(file, record, sizeof record, offset), sizeof record);
        if (state != WALK_CHAIN_COMPLETE) {
            section->entriesEnd = state;
            break;
        }
        WalkEntry entry;
        entry.offset = offset;
        entry.keyOffset = DataFile_GetU32(record + DATAFILE_ENTRY_KEY);
        entry.valueOffset = DataFile_GetU32(record + DATAFILE_ENTRY_VALUE);
        entry.key = Walk_String(file, entry.keyOffset);
        entry.value = Walk_String(file, entry.valueOffset);
        section->entries.push_back(entry);
    }
    section->entriesEndOffset = offset;
    if (TrimRepeats(&section->entries, &section->entriesEndOffset)) {
        section->entriesEnd = WALK_CHAIN_LOOPS;
    }
}

} // namespace

WalkString Walk_String(DataFile *file, uint32_t offset) {
    WalkString result = {WALK_STRING_UNREADABLE, std::string()};
    char text[DATAFILE_STRING_SCAN];
    if (!DataFile_ReadString(file, offset, text, sizeof text)) {
        return result;
    }
    const uint32_t length = static_cast<uint32_t>(strlen(text));
    result.bytes.assign(text, length);
    // The string read ends at a NUL only if there is a byte behind it.
    uint8_t byte = 0;
    const uint64_t after = static_cast<uint64_t>(offset) + length;
    if (after <= UINT32_MAX && DataFile_ReadAt(file, &byte, 1, static_cast<uint32_t>(after)) == 1) {
        result.state = WALK_STRING_OK;
    } else if (length == 0) {
        result.state = WALK_STRING_OUTSIDE;
    } else {
        result.state = WALK_STRING_AT_END;
    }
    return result;
}

bool Walk_Section(DataFile *file, uint32_t offset, WalkSection *section, WalkChainEnd *end) {
    *section = WalkSection();
    section->offset = offset;
    uint8_t head[DATAFILE_SECTION_HEAD_SIZE] = {};
    *end = offset < DATAFILE_HEADER_SIZE
               ? WALK_CHAIN_INTO_HEADER
               : RecordState(DataFile_ReadAt(file, head, sizeof head, offset), sizeof head);
    if (*end != WALK_CHAIN_COMPLETE) {
        return false;
    }
    uint8_t tail[DATAFILE_SECTION_TAIL_SIZE] = {};
    const uint32_t got = DataFile_ReadAt(file, tail, sizeof tail, offset + DATAFILE_SECTION_COUNT);
    section->tailCut = got != sizeof tail;
    if (got == DATAFILE_READ_ERROR) {
        memset(tail, 0, sizeof tail);
    }
    const char *name = reinterpret_cast<const char *>(head);
    const void *nul = memchr(name, 0, DATAFILE_SECTION_NAME_SIZE);
    section->nameTerminated = nul != nullptr;
    section->name.assign(name, nul != nullptr ? strlen(name) : DATAFILE_SECTION_NAME_SIZE);
    section->firstEntry = DataFile_GetU32(head + DATAFILE_SECTION_FIRST_ENTRY);
    section->next = DataFile_GetU32(head + DATAFILE_SECTION_NEXT);
    section->count = DataFile_GetU32(tail);
    WalkEntries(file, section);
    return true;
}

WalkFile Walk_File(DataFile *file) {
    WalkFile walk = WalkFile();
    uint8_t header[DATAFILE_HEADER_SIZE] = {};
    const uint32_t got = DataFile_ReadAt(file, header, sizeof header, 0);
    walk.headerShort = got == DATAFILE_READ_ERROR || got < sizeof header;
    walk.limit = walk.headerShort ? 0 : DataFile_GetU32(header + DATAFILE_HEADER_LIMIT);
    walk.sectionsEnd = WALK_CHAIN_COMPLETE;

    uint32_t position = DATAFILE_FIRST_SECTION;
    ChainGuard guard;
    ChainGuard_Start(&guard, position);
    while (position < walk.limit) {
        WalkSection section;
        WalkChainEnd end = WALK_CHAIN_COMPLETE;
        if (!Walk_Section(file, position, &section, &end)) {
            walk.sectionsEnd = end;
            walk.sectionsEndOffset = position;
            break;
        }
        walk.sections.push_back(section);
        position = section.next;
        if (position < walk.limit && ChainGuard_Repeats(&guard, position)) {
            walk.sectionsEnd = WALK_CHAIN_LOOPS;
            walk.sectionsEndOffset = position;
            break;
        }
    }
    if (TrimRepeats(&walk.sections, &walk.sectionsEndOffset)) {
        walk.sectionsEnd = WALK_CHAIN_LOOPS;
    }
    return walk;
}

const char *Walk_ChainEndText(WalkChainEnd end) {
    switch (end) {
    case WALK_CHAIN_COMPLETE:
        return "is complete";
    case WALK_CHAIN_LOOPS:
        return "loops back to a record it has read";
    case WALK_CHAIN_OUTSIDE:
        return "leaves the file";
    case WALK_CHAIN_CUT_SHORT:
        return "ends in a record that the end of the file cuts short";
    case WALK_CHAIN_INTO_HEADER:
        return "runs into the file header";
    }
    return "";
}

std::string Walk_Hex(uint32_t value) {
    char text[16];
    snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
    return text;
}
