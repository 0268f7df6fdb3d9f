#include "zwxwrite.h"

#include <cstring>

namespace {

uint32_t AppendString(std::vector<uint8_t> *bytes, const std::string &text) {
    uint32_t at = static_cast<uint32_t>(bytes->size());
    bytes->insert(bytes->end(), text.begin(), text.end());
    bytes->push_back(0);
    return at;
}

} // namespace

void Zwx_PutU32(std::vector<uint8_t> *bytes, uint32_t offset, uint32_t value) {
    if (bytes->size() < static_cast<size_t>(offset) + 4) {
        bytes->resize(static_cast<size_t>(offset) + 4);
    }
    for (int i = 0; i < 4; ++i) {
        (*bytes)[offset + static_cast<uint32_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
    }
}

uint64_t Zwx_BuiltSize(const std::vector<ZwxSection> &sections) {
    uint64_t size = DATAFILE_HEADER_SIZE;
    for (const ZwxSection &section : sections) {
        size += DATAFILE_SECTION_RECORD_SIZE;
        for (const ZwxEntry &entry : section.entries) {
            size += DATAFILE_ENTRY_SIZE + entry.key.size() + 1 + entry.value.size() + 1;
        }
    }
    return size;
}

std::vector<uint8_t> Zwx_Build(const std::vector<ZwxSection> &sections, ZwxLayout *layout) {
    ZwxLayout local;
    ZwxLayout *out = layout != nullptr ? layout : &local;
    *out = ZwxLayout();

    const uint32_t sectionCount = static_cast<uint32_t>(sections.size());
    const uint32_t limit = DATAFILE_FIRST_SECTION + sectionCount * DATAFILE_SECTION_RECORD_SIZE;
    uint32_t entryCount = 0;
    for (const ZwxSection &section : sections) {
        entryCount += static_cast<uint32_t>(section.entries.size());
    }
    std::vector<uint8_t> bytes(limit + entryCount * DATAFILE_ENTRY_SIZE, 0);
    memcpy(bytes.data() + DATAFILE_HEADER_RESERVED, ZWX_NO_CODE_PAGE,
           DATAFILE_HEADER_RESERVED_SIZE);
    Zwx_PutU32(&bytes, DATAFILE_HEADER_LIMIT, limit);

    uint32_t entryAt = limit;
    for (uint32_t s = 0; s < sectionCount; ++s) {
        const ZwxSection &section = sections[s];
        const uint32_t at = DATAFILE_FIRST_SECTION + s * DATAFILE_SECTION_RECORD_SIZE;
        out->sectionOffsets.push_back(at);
        out->entryOffsets.emplace_back();
        out->keyOffsets.emplace_back();
        out->valueOffsets.emplace_back();
        size_t nameLength = section.name.size() < DATAFILE_SECTION_NAME_SIZE
                                ? section.name.size()
                                : DATAFILE_SECTION_NAME_SIZE - 1;
        memcpy(&bytes[at], section.name.data(), nameLength);
        const uint32_t count = static_cast<uint32_t>(section.entries.size());
        Zwx_PutU32(&bytes, at + DATAFILE_SECTION_FIRST_ENTRY, count != 0 ? entryAt : 0);
        Zwx_PutU32(&bytes, at + DATAFILE_SECTION_NEXT, at + DATAFILE_SECTION_RECORD_SIZE);
        Zwx_PutU32(&bytes, at + DATAFILE_SECTION_COUNT, count);
        for (uint32_t e = 0; e < count; ++e) {
            out->entryOffsets[s].push_back(entryAt + e * DATAFILE_ENTRY_SIZE);
        }
        entryAt += count * DATAFILE_ENTRY_SIZE;
    }
    for (uint32_t s = 0; s < sectionCount; ++s) {
        const std::vector<ZwxEntry> &entries = sections[s].entries;
        for (size_t e = 0; e < entries.size(); ++e) {
            const uint32_t at = out->entryOffsets[s][e];
            const uint32_t key = AppendString(&bytes, entries[e].key);
            const uint32_t value = AppendString(&bytes, entries[e].value);
            out->keyOffsets[s].push_back(key);
            out->valueOffsets[s].push_back(value);
            Zwx_PutU32(&bytes, at + DATAFILE_ENTRY_KEY, key);
            Zwx_PutU32(&bytes, at + DATAFILE_ENTRY_VALUE, value);
            // The last entry's next field is never followed; it holds 0.
            Zwx_PutU32(&bytes, at + DATAFILE_ENTRY_NEXT,
                       e + 1 < entries.size() ? at + DATAFILE_ENTRY_SIZE
                                              : static_cast<uint32_t>(0));
        }
    }
    return bytes;
}

void Zwx_SetCodePage(std::vector<uint8_t> *bytes, uint32_t codePage) {
    if (bytes->size() < DATAFILE_HEADER_RESERVED_SIZE) {
        bytes->resize(DATAFILE_HEADER_RESERVED_SIZE);
    }
    (*bytes)[0] = 'Z';
    (*bytes)[1] = 'W';
    (*bytes)[2] = static_cast<uint8_t>(codePage);
    (*bytes)[3] = static_cast<uint8_t>(codePage >> 8);
}

uint32_t Zwx_RecordedCodePage(const uint8_t reserved[DATAFILE_HEADER_RESERVED_SIZE]) {
    if (reserved[0] != 'Z' || reserved[1] != 'W' ||
        memcmp(reserved, ZWX_NO_CODE_PAGE, DATAFILE_HEADER_RESERVED_SIZE) == 0) {
        return 0;
    }
    return static_cast<uint32_t>(reserved[2]) | static_cast<uint32_t>(reserved[3]) << 8;
}
