#include "catalogue.h"

#include <cstring>

std::vector<ZwxEntry> TestCatalogue(const std::string &prefix, const char *fallback) {
    std::vector<ZwxEntry> entries;
    for (int code = 0; code < 16; ++code) {
        // Formatted here: no variadic C runtime call in the Windows tests.
        const char key[] = {'E',
                            'R',
                            'M',
                            'S',
                            'G',
                            '_',
                            static_cast<char>('0' + code / 10),
                            static_cast<char>('0' + code % 10),
                            '\0'};
        entries.push_back({key, prefix + std::to_string(code)});
    }
    if (fallback != nullptr) {
        entries.push_back({"ERMSG_XX", fallback});
    }
    return entries;
}

std::vector<uint8_t> RawFile(uint32_t size, uint32_t limit) {
    std::vector<uint8_t> bytes(size, 0);
    memcpy(bytes.data() + DATAFILE_HEADER_RESERVED, ZWX_NO_CODE_PAGE,
           DATAFILE_HEADER_RESERVED_SIZE);
    Zwx_PutU32(&bytes, DATAFILE_HEADER_LIMIT, limit);
    return bytes;
}

void RawFile_PutString(std::vector<uint8_t> *bytes, uint32_t at, const std::string &text) {
    memcpy(bytes->data() + at, text.data(), text.size());
    (*bytes)[at + text.size()] = 0;
}

void RawFile_PutSection(std::vector<uint8_t> *bytes, uint32_t at, const char *name,
                        uint32_t firstEntry, uint32_t next, uint32_t count) {
    memcpy(bytes->data() + at, name, strlen(name));
    Zwx_PutU32(bytes, at + DATAFILE_SECTION_FIRST_ENTRY, firstEntry);
    Zwx_PutU32(bytes, at + DATAFILE_SECTION_NEXT, next);
    Zwx_PutU32(bytes, at + DATAFILE_SECTION_COUNT, count);
}

uint32_t RawFile_PutEntries(std::vector<uint8_t> *bytes, uint32_t entryAt, uint32_t stringAt,
                            const std::vector<ZwxEntry> &entries, uint32_t lastNext) {
    for (size_t e = 0; e < entries.size(); ++e) {
        const uint32_t at = entryAt + static_cast<uint32_t>(e) * DATAFILE_ENTRY_SIZE;
        Zwx_PutU32(bytes, at + DATAFILE_ENTRY_KEY, stringAt);
        RawFile_PutString(bytes, stringAt, entries[e].key);
        stringAt += static_cast<uint32_t>(entries[e].key.size()) + 1;
        Zwx_PutU32(bytes, at + DATAFILE_ENTRY_VALUE, stringAt);
        RawFile_PutString(bytes, stringAt, entries[e].value);
        stringAt += static_cast<uint32_t>(entries[e].value.size()) + 1;
        Zwx_PutU32(bytes, at + DATAFILE_ENTRY_NEXT,
                   e + 1 < entries.size() ? at + DATAFILE_ENTRY_SIZE : lastNext);
    }
    return stringAt;
}
