#include "benchfiles.h"
#include "benchtext.h"

#include "catalogue.h"
#include "zwxwrite.h"

namespace {

const uint32_t kCatalogueCodes = 16;

std::string Key(int code) {
    return code == 16 ? std::string("ERMSG_XX")
                      : "ERMSG_" + BenchText_Zeros(static_cast<unsigned>(code), 2);
}

ZwxSection MessageSection(bool withFallback) {
    ZwxSection section = {"QORBA_ErrMsg", {}};
    for (int code = 0; code < (withFallback ? 17 : 16); ++code) {
        section.entries.push_back({Key(code), BenchFile_Text(code)});
    }
    return section;
}

// A section of the producer's own: entries of valueLength-character values.
ZwxSection OtherSection(uint32_t index, uint32_t entries, uint32_t valueLength) {
    ZwxSection section = {"QORBA_Layout" + BenchText_Zeros(index, 5), {}};
    for (uint32_t e = 0; e < entries; ++e) {
        const std::string key = "KEY_" + BenchText_Zeros(index, 5) + "_" + BenchText_Zeros(e, 2);
        std::string value(valueLength, static_cast<char>('a' + (index + e) % 26));
        section.entries.push_back({key, value});
    }
    return section;
}

} // namespace

std::string BenchFile_Text(int code) {
    if (code == 16) {
        return "An error occurred that has no message of its own; see the driver's documentation.";
    }
    return "Message " + std::to_string(code) +
           ": the printer could not complete the settings operation that was asked for.";
}

std::vector<uint8_t> BenchFile_Catalogue() {
    return Zwx_Build({MessageSection(true)}, nullptr);
}

std::vector<uint8_t> BenchFile_Realistic() {
    std::vector<ZwxSection> sections;
    for (uint32_t s = 0; s < 200; ++s) {
        if (s == 100) {
            sections.push_back(MessageSection(true));
        }
        sections.push_back(OtherSection(s, 5, 64));
    }
    return Zwx_Build(sections, nullptr);
}

std::vector<uint8_t> BenchFile_Large() {
    // 64 + 12 * (16 + 13 + 106) = 1684 bytes a section: 9,999 of them and the
    // message section come to 16 MiB.
    std::vector<ZwxSection> sections;
    for (uint32_t s = 0; s < 9999; ++s) {
        sections.push_back(OtherSection(s, 12, 105));
    }
    sections.push_back(MessageSection(true));
    return Zwx_Build(sections, nullptr);
}

namespace {

// The key and text of one code as an entry at entry, its strings at *strings,
// which moves past them.
void PutCatalogueEntry(std::vector<uint8_t> *bytes, uint32_t entry, int code, uint32_t *strings) {
    const std::string key = Key(code);
    const std::string text = BenchFile_Text(code);
    Zwx_PutU32(bytes, entry, *strings);
    RawFile_PutString(bytes, *strings, key);
    *strings += static_cast<uint32_t>(key.size()) + 1;
    Zwx_PutU32(bytes, entry + DATAFILE_ENTRY_VALUE, *strings);
    RawFile_PutString(bytes, *strings, text);
    *strings += static_cast<uint32_t>(text.size()) + 1;
}

} // namespace

std::vector<uint8_t> BenchFile_Hostile(uint32_t keyLength) {
    const uint32_t size = BENCHFILE_HOSTILE_SIZE;
    const uint32_t section = DATAFILE_FIRST_SECTION;
    const uint32_t firstEntry = section + DATAFILE_SECTION_RECORD_SIZE;
    // The only section record lies below the limit.
    std::vector<uint8_t> bytes = RawFile(size, firstEntry);
    RawFile_PutSection(&bytes, section, "QORBA_ErrMsg", firstEntry, firstEntry, 0xFFFFFFFFu);

    // Strings at the end: the junk key, then the catalogue's keys and texts.
    uint32_t strings = size - 4096;
    const uint32_t junk = strings;
    RawFile_PutString(&bytes, junk,
                      keyLength == 8 ? std::string("ERMSG_ZZ") : std::string(keyLength, 'Z'));
    strings += keyLength + 1;

    uint32_t entry = firstEntry;
    for (uint32_t code = 0; code < kCatalogueCodes; ++code, entry += DATAFILE_ENTRY_SIZE) {
        PutCatalogueEntry(&bytes, entry, static_cast<int>(code), &strings);
        Zwx_PutU32(&bytes, entry + DATAFILE_ENTRY_NEXT, entry + DATAFILE_ENTRY_SIZE);
    }
    const uint32_t entriesEnd = junk - DATAFILE_ENTRY_SIZE;
    for (; entry < entriesEnd; entry += DATAFILE_ENTRY_SIZE) {
        Zwx_PutU32(&bytes, entry, junk);
        Zwx_PutU32(&bytes, entry + DATAFILE_ENTRY_VALUE, junk);
        Zwx_PutU32(&bytes, entry + DATAFILE_ENTRY_NEXT, entry + DATAFILE_ENTRY_SIZE);
    }
    // The last one leads off the end of the file; the walk stops soon after.
    Zwx_PutU32(&bytes, entry - DATAFILE_ENTRY_SIZE + DATAFILE_ENTRY_NEXT, 0xFFFFFFF0u);
    return bytes;
}

std::vector<uint8_t> BenchFile_LongChain(uint32_t junkEntries) {
    const uint32_t section = DATAFILE_FIRST_SECTION;
    const uint32_t firstEntry = section + DATAFILE_SECTION_RECORD_SIZE;
    const uint32_t entries = junkEntries + 17;
    uint32_t strings = firstEntry + entries * DATAFILE_ENTRY_SIZE;
    std::vector<uint8_t> bytes = RawFile(strings + 64 * 1024, firstEntry);
    RawFile_PutSection(&bytes, section, "QORBA_ErrMsg", firstEntry, firstEntry, entries);
    const uint32_t junk = strings;
    RawFile_PutString(&bytes, junk, "ERMSG_ZZ");
    strings += 9;
    for (uint32_t e = 0; e < entries; ++e) {
        const uint32_t entry = firstEntry + e * DATAFILE_ENTRY_SIZE;
        Zwx_PutU32(&bytes, entry + DATAFILE_ENTRY_NEXT, entry + DATAFILE_ENTRY_SIZE);
        if (e < junkEntries) {
            Zwx_PutU32(&bytes, entry, junk);
            Zwx_PutU32(&bytes, entry + DATAFILE_ENTRY_VALUE, junk);
            continue;
        }
        PutCatalogueEntry(&bytes, entry, static_cast<int>(e - junkEntries), &strings);
    }
    bytes.resize(strings);
    return bytes;
}

bool BenchFile_Write(const std::string &path, const std::vector<uint8_t> &bytes) {
    FILE *f = fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    const bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}
