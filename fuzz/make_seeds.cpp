// Writes the seed corpus of the data-file fuzzer: well-formed files and files
// damaged in the ways the reader must survive. Usage: zwx_seeds FOLDER
// (the files in fuzz/corpus came from it; the fuzzer adds its own beside them).
#include "zwxwrite.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string g_folder;
int g_failures = 0;

void Save(const char *name, const std::vector<uint8_t> &bytes) {
    const std::string path = g_folder + "/" + name;
    FILE *f = fopen(path.c_str(), "wb");
    bool ok = f != nullptr && (bytes.empty() || fwrite(bytes.data(), bytes.size(), 1, f) == 1);
    if (f != nullptr && fclose(f) != 0) {
        ok = false;
    }
    if (!ok) {
        fprintf(stderr, "zwx_seeds: cannot write %s\n", path.c_str());
        ++g_failures;
    }
}

std::vector<ZwxEntry> Catalogue(int codes) {
    std::vector<ZwxEntry> entries;
    for (int code = 0; code < codes; ++code) {
        char key[16];
        snprintf(key, sizeof key, "ERMSG_%02d", code);
        entries.push_back({key, "message " + std::to_string(code)});
    }
    entries.push_back({"ERMSG_XX", "fallback"});
    return entries;
}

std::vector<uint8_t> Small(ZwxLayout *layout) {
    return Zwx_Build(
        {{"QORBA_ErrMsg", {{"ERMSG_00", "zero"}, {"ERMSG_01", "one"}, {"ERMSG_XX", "else"}}}},
        layout);
}

void WellFormed() {
    Save("full", Zwx_Build({{"Other", {{"ERMSG_00", "not here"}}}, {"QORBA_ErrMsg", Catalogue(16)}},
                           nullptr));
    Save("small", Small(nullptr));
    Save("case-and-duplicates", Zwx_Build({{"qorba_errmsg",
                                            {{"ermsg_05", "lower"},
                                             {"ERMSG_03", "first"},
                                             {"ERMSG_03", "second"},
                                             {"ERMSG_16", "none"},
                                             {"ERMSG_5", "none"},
                                             {"ermsg_xx", "fb"}}}},
                                          nullptr));
    Save("two-sections-same-name",
         Zwx_Build({{"QORBA_ErrMsg", {{"ERMSG_01", "a"}}}, {"QORBA_ErrMsg", {{"ERMSG_02", "b"}}}},
                   nullptr));
    Save("no-section", Zwx_Build({{"Something", Catalogue(2)}}, nullptr));
    Save("empty-section", Zwx_Build({{"QORBA_ErrMsg", {}}}, nullptr));
}

void ShortFiles() {
    Save("empty", {});
    std::vector<uint8_t> file = Small(nullptr);
    file.resize(DATAFILE_HEADER_SIZE);
    Save("header-only", file);
    file = Small(nullptr);
    file.resize(59);
    Save("record-cut", file);
    file = Small(nullptr);
    file.resize(file.size() - 9);
    Save("strings-cut", file);
}

void DamagedSections() {
    std::vector<uint8_t> file = Small(nullptr);
    Zwx_PutU32(&file, DATAFILE_HEADER_LIMIT, 0);
    Save("limit-zero", file);
    Zwx_PutU32(&file, DATAFILE_HEADER_LIMIT, 8);
    Save("limit-eight", file);

    ZwxLayout layout;
    file = Zwx_Build({{"A", {}}, {"B", {}}, {"QORBA_ErrMsg", Catalogue(3)}}, &layout);
    Zwx_PutU32(&file, layout.sectionOffsets[1] + DATAFILE_SECTION_NEXT, layout.sectionOffsets[0]);
    Save("section-cycle", file);
    Zwx_PutU32(&file, layout.sectionOffsets[1] + DATAFILE_SECTION_NEXT, 0);
    Save("section-next-zero", file);
    Zwx_PutU32(&file, layout.sectionOffsets[1] + DATAFILE_SECTION_NEXT, 0x80000000u);
    Zwx_PutU32(&file, DATAFILE_HEADER_LIMIT, 0xFFFFFFFFu);
    Save("section-next-far", file);

    file = Zwx_Build({{"QORBA_ErrMsgQORBA_ErrMsgQORBA_ErrMsg", {}}, {"QORBA_ErrMsg", Catalogue(2)}},
                     &layout);
    file[layout.sectionOffsets[0] + DATAFILE_SECTION_NAME_SIZE - 1] =
        'g'; // a name field without a NUL
    Save("name-without-nul", file);
}

void DamagedEntries() {
    ZwxLayout layout;
    std::vector<uint8_t> file = Small(&layout);
    const uint32_t section = layout.sectionOffsets[0];
    const std::vector<uint32_t> &entries = layout.entryOffsets[0];

    std::vector<uint8_t> damaged = file;
    Zwx_PutU32(&damaged, section + DATAFILE_SECTION_COUNT, 0xFFFFFFFFu);
    Zwx_PutU32(&damaged, entries[2] + DATAFILE_ENTRY_NEXT, entries[1]);
    Save("entry-cycle-huge-count", damaged);

    damaged = file;
    Zwx_PutU32(&damaged, section + DATAFILE_SECTION_COUNT, 0xFFFFFFFFu);
    Zwx_PutU32(&damaged, entries[2] + DATAFILE_ENTRY_NEXT, 0xFFFFFFF0u);
    Save("entry-chain-off-the-end", damaged);

    damaged = file;
    Zwx_PutU32(&damaged, section + DATAFILE_SECTION_COUNT, 0);
    Save("entry-count-zero", damaged);

    const uint32_t farOffsets[] = {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu};
    const char *const names[] = {"first-entry-7fffffff", "first-entry-80000000",
                                 "first-entry-ffffffff"};
    for (int i = 0; i < 3; ++i) {
        damaged = file;
        Zwx_PutU32(&damaged, section + DATAFILE_SECTION_FIRST_ENTRY, farOffsets[i]);
        Zwx_PutU32(&damaged, section + DATAFILE_SECTION_COUNT, 4);
        Save(names[i], damaged);
    }
    damaged = file;
    Zwx_PutU32(&damaged, entries[0], 0x80000000u);
    Zwx_PutU32(&damaged, entries[1] + DATAFILE_ENTRY_VALUE, 0x7FFFFFFFu);
    Zwx_PutU32(&damaged, entries[2] + DATAFILE_ENTRY_VALUE, 0xFFFFFFFFu);
    Save("string-offsets-far", damaged);

    damaged = file;
    const uint32_t tail = static_cast<uint32_t>(damaged.size());
    damaged.insert(damaged.end(), 300, 'v');
    Zwx_PutU32(&damaged, entries[0] + DATAFILE_ENTRY_VALUE, tail);
    Zwx_PutU32(&damaged, entries[1] + DATAFILE_ENTRY_VALUE, tail + 11); // 289 characters to the end
    Save("values-to-the-end", damaged);

    damaged = Zwx_Build(
        {{"QORBA_ErrMsg", {{std::string(130, 'K'), "long key"}, {"ERMSG_04", "four"}}}}, nullptr);
    Save("key-too-long", damaged);
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: zwx_seeds FOLDER\n");
        return 2;
    }
    g_folder = argv[1];
    WellFormed();
    ShortFiles();
    DamagedSections();
    DamagedEntries();
    return g_failures == 0 ? 0 : 1;
}
