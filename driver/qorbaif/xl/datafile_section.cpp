// Section lookup: a walk along the chain of section records.
#include "datafile.h"

#include <cstring>

uint32_t DataFile_FindSection(DataFile *file, const char *name) {
    uint8_t header[DATAFILE_HEADER_SIZE] = {};
    DataFile_ReadAt(file, header, sizeof header, 0);
    const uint32_t limit = DataFile_GetU32(header + DATAFILE_HEADER_LIMIT);

    // Only a record name of the same length can be equal: most records of a
    // long chain are passed over without comparing their characters.
    const size_t nameLength = strlen(name);
    uint8_t record[DATAFILE_SECTION_HEAD_SIZE] = {};
    uint32_t position = DATAFILE_FIRST_SECTION;
    ChainGuard guard;
    ChainGuard_Start(&guard, position);
    for (;;) {
        if (DataFile_ReadAt(file, record, sizeof record, position) != sizeof record) {
            return 0;
        }
        // A name field without a NUL matches nothing.
        const char *recordName = reinterpret_cast<const char *>(record);
        const void *nul = memchr(recordName, 0, DATAFILE_SECTION_NAME_SIZE);
        if (nul != nullptr &&
            static_cast<size_t>(static_cast<const char *>(nul) - recordName) == nameLength &&
            DataFile_NamesEqual(recordName, name)) {
            return position < limit ? position : 0;
        }
        position = DataFile_GetU32(record + DATAFILE_SECTION_NEXT);
        // A record seen before did not match then and will not now.
        if (position >= limit || ChainGuard_Repeats(&guard, position)) {
            return 0;
        }
    }
}
