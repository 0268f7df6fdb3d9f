// pecheck: a built DLL's export table must hold exactly the expected names,
// undecorated, and it may import only from the DLLs allowed. Reads the PE file
// itself, so the check runs wherever the DLL was built (no objdump, no shell).
//   pecheck DLL --imports A.dll,B.drv --exports NAME...
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct PeImage {
    std::vector<unsigned char> bytes;
    uint32_t sectionTable; // file offset of the section headers
    uint16_t sectionCount;
    uint32_t exportRva, importRva;
};

uint32_t Read32(const PeImage &pe, uint64_t offset) {
    if (offset + 4 > pe.bytes.size()) {
        return 0;
    }
    const unsigned char *p = &pe.bytes[static_cast<size_t>(offset)];
    return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16) | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t Read16(const PeImage &pe, uint64_t offset) {
    if (offset + 2 > pe.bytes.size()) {
        return 0;
    }
    const unsigned char *p = &pe.bytes[static_cast<size_t>(offset)];
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// File offset of an address in the image; 0 when no section holds it.
uint64_t OffsetOf(const PeImage &pe, uint32_t rva) {
    for (uint16_t i = 0; i < pe.sectionCount; ++i) {
        const uint64_t header = pe.sectionTable + uint64_t{40} * i;
        const uint32_t size = Read32(pe, header + 8);
        const uint32_t address = Read32(pe, header + 12);
        const uint32_t raw = Read32(pe, header + 20);
        if (rva >= address && rva - address < size) {
            return uint64_t{raw} + (rva - address);
        }
    }
    return 0;
}

// The NUL-terminated string at an address; empty when outside the file.
std::string StringAt(const PeImage &pe, uint32_t rva) {
    std::string text;
    for (uint64_t at = OffsetOf(pe, rva); at != 0 && at < pe.bytes.size() && pe.bytes[at] != 0;
         ++at) {
        text += static_cast<char>(pe.bytes[at]);
    }
    return text;
}

bool Load(const char *path, PeImage *pe) {
    FILE *file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    unsigned char chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        pe->bytes.insert(pe->bytes.end(), chunk, chunk + got);
    }
    std::fclose(file);
    if (pe->bytes.size() < 64 || pe->bytes[0] != 'M' || pe->bytes[1] != 'Z') {
        return false;
    }
    const uint32_t peHeader = Read32(*pe, 0x3C);
    if (Read32(*pe, peHeader) != 0x00004550) { // "PE\0\0"
        return false;
    }
    const uint64_t optional = uint64_t{peHeader} + 24;
    const uint16_t magic = Read16(*pe, optional);
    const uint64_t directories = optional + (magic == 0x20B ? 112 : 96);
    pe->sectionCount = Read16(*pe, uint64_t{peHeader} + 6);
    pe->sectionTable = static_cast<uint32_t>(optional + Read16(*pe, uint64_t{peHeader} + 20));
    pe->exportRva = Read32(*pe, directories);
    pe->importRva = Read32(*pe, directories + 8);
    return magic == 0x20B || magic == 0x10B;
}

std::vector<std::string> ExportNames(const PeImage &pe) {
    std::vector<std::string> names;
    const uint64_t directory = pe.exportRva == 0 ? 0 : OffsetOf(pe, pe.exportRva);
    if (directory == 0) {
        return names;
    }
    const uint32_t count = Read32(pe, directory + 24);
    const uint64_t table = OffsetOf(pe, Read32(pe, directory + 32));
    for (uint32_t i = 0; table != 0 && i < count && i < 65536; ++i) {
        names.push_back(StringAt(pe, Read32(pe, table + uint64_t{4} * i)));
    }
    return names;
}

std::vector<std::string> ImportedDlls(const PeImage &pe) {
    std::vector<std::string> dlls;
    uint64_t descriptor = pe.importRva == 0 ? 0 : OffsetOf(pe, pe.importRva);
    for (; descriptor != 0 && descriptor + 20 <= pe.bytes.size(); descriptor += 20) {
        const uint32_t name = Read32(pe, descriptor + 12);
        if (name == 0) {
            break;
        }
        dlls.push_back(StringAt(pe, name));
    }
    return dlls;
}

std::string Upper(std::string text) {
    for (char &c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

bool Contains(const std::vector<std::string> &list, const std::string &item) {
    for (const std::string &entry : list) {
        if (entry == item) {
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 4 || std::strcmp(argv[2], "--imports") != 0 ||
        (argc > 4 && std::strcmp(argv[4], "--exports") != 0)) {
        std::fprintf(stderr, "usage: pecheck DLL --imports A.dll,B.drv --exports NAME...\n");
        return 2;
    }
    PeImage pe = {};
    if (!Load(argv[1], &pe)) {
        std::printf("%s: not a readable PE file\n", argv[1]);
        return 1;
    }
    std::vector<std::string> allowed;
    for (const char *p = argv[3]; *p != '\0';) {
        const char *comma = std::strchr(p, ',');
        const size_t length = comma == nullptr ? std::strlen(p) : static_cast<size_t>(comma - p);
        allowed.push_back(Upper(std::string(p, length)));
        p += length + (comma == nullptr ? 0 : 1);
    }
    std::vector<std::string> expected(argv + (argc > 4 ? 5 : argc), argv + argc);

    int status = 0;
    const std::vector<std::string> exports = ExportNames(pe);
    for (const std::string &name : exports) {
        if (!Contains(expected, name)) {
            std::printf("unexpected export: %s\n", name.c_str());
            status = 1;
        }
    }
    for (const std::string &name : expected) {
        if (!Contains(exports, name)) {
            std::printf("missing export: %s\n", name.c_str());
            status = 1;
        }
    }
    if (exports.size() != expected.size()) {
        std::printf("%zu exports, expected %zu\n", exports.size(), expected.size());
        status = 1;
    }
    for (const std::string &dll : ImportedDlls(pe)) {
        std::printf("imports %s\n", dll.c_str());
        if (!Contains(allowed, Upper(dll))) {
            std::printf("unexpected import: %s\n", dll.c_str());
            status = 1;
        }
    }
    if (status == 0) {
        std::printf("exports and imports as expected\n");
    }
    return status;
}
