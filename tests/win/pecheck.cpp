// pecheck: a built DLL's export table must hold exactly the expected names,
// undecorated, and it may import only from the DLLs allowed. Reads the PE file
// itself with the tools' PE reader, so the check runs wherever the DLL was
// built (no objdump, no shell).
//   pecheck DLL --imports A.dll,B.drv --exports NAME...
#include "pefile.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool ReadWhole(const char *path, std::vector<uint8_t> *bytes) {
    FILE *file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    uint8_t chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes->insert(bytes->end(), chunk, chunk + got);
    }
    std::fclose(file);
    return true;
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
    std::vector<uint8_t> bytes;
    const PeFile pe =
        ReadWhole(argv[1], &bytes) ? PeFile_Read(bytes.data(), bytes.size()) : PeFile{};
    if (!pe.isImage || !pe.exportsReadable || !pe.importsReadable) {
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
    const std::vector<std::string> &exports = pe.exports;
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
    for (const std::string &dll : pe.imports) {
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
