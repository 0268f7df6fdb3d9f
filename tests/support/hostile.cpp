#include "hostile.h"

#include "catalogue.h"

#include "zwxwrite.h"

#include <utility>

namespace {

const uint32_t kAllOnes = 0xFFFFFFFFu;

std::vector<ZwxEntry> Named(std::initializer_list<const char *> keys) {
    std::vector<ZwxEntry> entries;
    for (const char *key : keys) {
        entries.push_back({key, std::string(key) + " text"});
    }
    return entries;
}

} // namespace

std::vector<uint8_t> Hostile_SectionCycle() {
    ZwxLayout layout;
    std::vector<uint8_t> bytes =
        Zwx_Build({{"A", {}}, {"B", {}}, {"C", {}}, {"QORBA_ErrMsg", TestCatalogue()}}, &layout);
    Zwx_PutU32(&bytes, layout.sectionOffsets[2] + DATAFILE_SECTION_NEXT, layout.sectionOffsets[0]);
    return bytes;
}

std::vector<uint8_t> Hostile_EntryCycle(uint32_t tailLength, uint32_t cycleLength) {
    std::vector<ZwxEntry> entries = {{"ERMSG_00", "a"}, {"ERMSG_01", "b"}, {"ERMSG_02", "c"}};
    entries.resize(3 + tailLength + cycleLength, ZwxEntry{"ERMSG_ZZ", "z"});
    ZwxLayout layout;
    std::vector<uint8_t> bytes = Zwx_Build({{"QORBA_ErrMsg", entries}}, &layout);
    const std::vector<uint32_t> &at = layout.entryOffsets[0];
    Zwx_PutU32(&bytes, layout.sectionOffsets[0] + DATAFILE_SECTION_COUNT, kAllOnes);
    Zwx_PutU32(&bytes, at.back() + DATAFILE_ENTRY_NEXT, at[3 + tailLength]);
    return bytes;
}

namespace {

// The message section with the full catalogue in the last 4 KiB of a file of
// size bytes, its next field next; returns where it lies.
uint32_t PutCatalogueSectionLast(std::vector<uint8_t> *bytes, uint32_t size, uint32_t next) {
    const std::vector<ZwxEntry> catalogue = TestCatalogue();
    const uint32_t section = size - 4096;
    RawFile_PutSection(bytes, section, "QORBA_ErrMsg", section + DATAFILE_SECTION_RECORD_SIZE, next,
                       static_cast<uint32_t>(catalogue.size()));
    RawFile_PutEntries(bytes, section + DATAFILE_SECTION_RECORD_SIZE,
                       section + DATAFILE_SECTION_RECORD_SIZE +
                           DATAFILE_ENTRY_SIZE * static_cast<uint32_t>(catalogue.size()),
                       catalogue, 0);
    return section;
}

} // namespace

std::vector<uint8_t> Hostile_SectionChain(uint32_t size) {
    std::vector<uint8_t> bytes = RawFile(size, size);
    const uint32_t section = PutCatalogueSectionLast(&bytes, size, size);
    // Each record's next field is 48 bytes in, inside the records after it;
    // none of the names these fields spell is the one looked for.
    uint32_t record = DATAFILE_FIRST_SECTION;
    for (; record + DATAFILE_SECTION_RECORD_SIZE + 16 <= section; record += 16) {
        Zwx_PutU32(&bytes, record + DATAFILE_SECTION_NEXT, record + 16);
    }
    Zwx_PutU32(&bytes, record - 16 + DATAFILE_SECTION_NEXT, section);
    return bytes;
}

std::vector<uint8_t> Hostile_EntryChain(uint32_t size, uint32_t keyLength) {
    std::vector<uint8_t> bytes =
        RawFile(size, DATAFILE_FIRST_SECTION + DATAFILE_SECTION_RECORD_SIZE);
    const uint32_t firstEntry = DATAFILE_FIRST_SECTION + DATAFILE_SECTION_RECORD_SIZE + 8;
    RawFile_PutSection(&bytes, DATAFILE_FIRST_SECTION, "QORBA_ErrMsg", firstEntry,
                       DATAFILE_FIRST_SECTION + DATAFILE_SECTION_RECORD_SIZE, kAllOnes);

    const std::vector<ZwxEntry> catalogue = TestCatalogue("text ", nullptr);
    const uint32_t strings = size - 2048;
    const uint32_t catalogueAt = strings -
                                 DATAFILE_ENTRY_SIZE * static_cast<uint32_t>(catalogue.size()) -
                                 DATAFILE_ENTRY_SIZE;
    const std::string junkKey = keyLength == 8 ? "ERMSG_ZZ" : std::string(keyLength, 'Z');
    RawFile_PutString(&bytes, strings, junkKey);
    for (uint32_t entry = firstEntry; entry < catalogueAt; entry += DATAFILE_ENTRY_SIZE) {
        Zwx_PutU32(&bytes, entry, strings);
        Zwx_PutU32(&bytes, entry + DATAFILE_ENTRY_VALUE, strings);
        Zwx_PutU32(&bytes, entry + DATAFILE_ENTRY_NEXT, entry + DATAFILE_ENTRY_SIZE);
    }
    // Without a fallback the walk goes on past the catalogue and off the end.
    RawFile_PutEntries(&bytes, catalogueAt, strings + keyLength + 1, catalogue, kAllOnes - 15);
    return bytes;
}

std::vector<uint8_t> Hostile_ValuesToTheEnd() {
    std::vector<ZwxEntry> entries =
        Named({"ERMSG_01", "ERMSG_02", "ERMSG_03", "ERMSG_04", "ERMSG_05"});
    entries.push_back({"ERMSG_XX", "fallback"});
    ZwxLayout layout;
    std::vector<uint8_t> bytes = Zwx_Build({{"QORBA_ErrMsg", entries}}, &layout);
    const std::vector<uint32_t> &at = layout.entryOffsets[0];
    const uint32_t tail = static_cast<uint32_t>(bytes.size());
    bytes.insert(bytes.end(), 300, 'v');
    const uint32_t fromTheEnd[] = {100, 289, 290, 1, 0};
    for (size_t e = 0; e < 5; ++e) {
        Zwx_PutU32(&bytes, at[e] + DATAFILE_ENTRY_VALUE, tail + 300 - fromTheEnd[e]);
    }
    return bytes;
}

std::vector<uint8_t> Hostile_KeyToTheEnd() {
    ZwxLayout layout;
    std::vector<uint8_t> bytes = Zwx_Build({{"QORBA_ErrMsg", {{"placeholder", "seven"}}}}, &layout);
    Zwx_PutU32(&bytes, layout.entryOffsets[0][0], static_cast<uint32_t>(bytes.size()));
    const char key[] = "ERMSG_07";
    bytes.insert(bytes.end(), key, key + 8);
    return bytes;
}

std::vector<uint8_t> Hostile_FarStrings(uint32_t far) {
    ZwxLayout layout;
    std::vector<uint8_t> bytes = Zwx_Build(
        {{"QORBA_ErrMsg",
          {{"ERMSG_00", "zero"}, {"ERMSG_01", "one"}, {"ERMSG_02", "two"}, {"ERMSG_03", "three"}}}},
        &layout);
    const std::vector<uint32_t> &at = layout.entryOffsets[0];
    Zwx_PutU32(&bytes, layout.sectionOffsets[0] + DATAFILE_SECTION_COUNT, kAllOnes);
    Zwx_PutU32(&bytes, at[1], far);
    Zwx_PutU32(&bytes, at[2] + DATAFILE_ENTRY_VALUE, far);
    Zwx_PutU32(&bytes, at[3] + DATAFILE_ENTRY_NEXT, far);
    return bytes;
}

std::vector<uint8_t> Hostile_FarFirstEntry(uint32_t far) {
    ZwxLayout layout;
    std::vector<uint8_t> bytes = Zwx_Build({{"QORBA_ErrMsg", TestCatalogue()}}, &layout);
    Zwx_PutU32(&bytes, layout.sectionOffsets[0] + DATAFILE_SECTION_FIRST_ENTRY, far);
    Zwx_PutU32(&bytes, layout.sectionOffsets[0] + DATAFILE_SECTION_COUNT, 4);
    return bytes;
}

std::vector<uint8_t> Hostile_FarNextSection(uint32_t far) {
    ZwxLayout layout;
    std::vector<uint8_t> bytes = Zwx_Build({{"A", {}}, {"QORBA_ErrMsg", TestCatalogue()}}, &layout);
    Zwx_PutU32(&bytes, DATAFILE_HEADER_LIMIT, kAllOnes);
    Zwx_PutU32(&bytes, layout.sectionOffsets[0] + DATAFILE_SECTION_NEXT, far);
    return bytes;
}

namespace {

// Links the records at first + k * spacing (k below count) through their
// field at nextField in the order order gives, the last to end.
void ChainInOrder(std::vector<uint8_t> *bytes, uint32_t first, uint32_t spacing, uint32_t nextField,
                  const std::vector<uint32_t> &order, uint32_t end) {
    for (size_t i = 0; i < order.size(); ++i) {
        const uint32_t to = i + 1 < order.size() ? first + order[i + 1] * spacing : end;
        Zwx_PutU32(bytes, first + order[i] * spacing + nextField, to);
    }
}

uint32_t Gcd(uint32_t a, uint32_t b) {
    return b == 0 ? a : Gcd(b, a % b);
}

// 0, stride, 2 * stride, ... modulo count: every slot once (the stride is
// raised until it shares no factor with count).
std::vector<uint32_t> StrideOrder(uint32_t count, uint32_t stride) {
    while (Gcd(count, stride % count) != 1) {
        ++stride;
    }
    std::vector<uint32_t> order(count);
    uint64_t k = 0;
    for (uint32_t &slot : order) {
        slot = static_cast<uint32_t>(k);
        k = (k + stride) % count;
    }
    return order;
}

// 0 first, then the rest shuffled by a fixed generator: the same file each run.
std::vector<uint32_t> RandomOrder(uint32_t count) {
    std::vector<uint32_t> order(count);
    for (uint32_t k = 0; k < count; ++k) {
        order[k] = k;
    }
    uint64_t state = 0x9E3779B97F4A7C15u;
    for (uint32_t k = count - 1; k > 1; --k) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        const uint32_t j = 1 + static_cast<uint32_t>((state >> 33) % k);
        std::swap(order[k], order[j]);
    }
    return order;
}

std::vector<uint8_t> EntryChainInOrder(uint32_t size, bool random, uint32_t stride) {
    std::vector<uint8_t> bytes = Hostile_EntryChain(size, 8);
    const uint32_t firstEntry = DATAFILE_FIRST_SECTION + DATAFILE_SECTION_RECORD_SIZE + 8;
    const uint32_t catalogueAt =
        size - 2048 -
        DATAFILE_ENTRY_SIZE * static_cast<uint32_t>(TestCatalogue("text ", nullptr).size()) -
        DATAFILE_ENTRY_SIZE;
    const uint32_t count = (catalogueAt - firstEntry) / DATAFILE_ENTRY_SIZE;
    ChainInOrder(&bytes, firstEntry, DATAFILE_ENTRY_SIZE, DATAFILE_ENTRY_NEXT,
                 random ? RandomOrder(count) : StrideOrder(count, stride), catalogueAt);
    return bytes;
}

} // namespace

std::vector<uint8_t> Hostile_ScatteredChain(uint32_t size, uint32_t stride) {
    return EntryChainInOrder(size, false, stride);
}

std::vector<uint8_t> Hostile_RandomChain(uint32_t size) {
    return EntryChainInOrder(size, true, 0);
}

std::vector<uint8_t> Hostile_ScatteredSections(uint32_t size, uint32_t stride) {
    // Every link below the all-ones limit is followed.
    std::vector<uint8_t> bytes = RawFile(size, kAllOnes);
    const uint32_t section = PutCatalogueSectionLast(&bytes, size, kAllOnes);
    // Records of an empty name, which matches nothing, one every 64 bytes.
    const uint32_t count = (section - DATAFILE_FIRST_SECTION) / DATAFILE_SECTION_RECORD_SIZE;
    ChainInOrder(&bytes, DATAFILE_FIRST_SECTION, DATAFILE_SECTION_RECORD_SIZE,
                 DATAFILE_SECTION_NEXT, StrideOrder(count, stride), section);
    return bytes;
}

std::vector<uint8_t> Hostile_SpreadCatalogue(uint32_t blocks) {
    const uint32_t block = 4096;
    std::vector<uint8_t> bytes =
        RawFile((blocks + 1) * block, DATAFILE_FIRST_SECTION + DATAFILE_SECTION_RECORD_SIZE);
    const std::vector<ZwxEntry> catalogue = TestCatalogue("text ", "fallback");
    const auto count = static_cast<uint32_t>(catalogue.size());
    // Entry k, its key and its value each in a block of their own, 7 blocks on.
    auto at = [&](uint32_t k, uint32_t role) {
        return block * (1 + (7 * k + 5 * role) % blocks) + 1024 * role + 32 * k;
    };
    RawFile_PutSection(&bytes, DATAFILE_FIRST_SECTION, "QORBA_ErrMsg", at(0, 0),
                       DATAFILE_FIRST_SECTION + DATAFILE_SECTION_RECORD_SIZE, count);
    for (uint32_t k = 0; k < count; ++k) {
        Zwx_PutU32(&bytes, at(k, 0), at(k, 1));
        RawFile_PutString(&bytes, at(k, 1), catalogue[k].key);
        Zwx_PutU32(&bytes, at(k, 0) + DATAFILE_ENTRY_VALUE, at(k, 2));
        RawFile_PutString(&bytes, at(k, 2), catalogue[k].value);
        Zwx_PutU32(&bytes, at(k, 0) + DATAFILE_ENTRY_NEXT,
                   k + 1 < count ? at(k + 1, 0) : 0xFFFFFFF0u);
    }
    return bytes;
}
