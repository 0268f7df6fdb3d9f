#include "catalogue.h"

#include <cstdio>

std::vector<ZwxEntry> TestCatalogue(const std::string &prefix, const char *fallback) {
    std::vector<ZwxEntry> entries;
    for (int code = 0; code < 16; ++code) {
        char key[16];
        snprintf(key, sizeof key, "ERMSG_%02d", code);
        entries.push_back({key, prefix + std::to_string(code)});
    }
    if (fallback != nullptr) {
        entries.push_back({"ERMSG_XX", fallback});
    }
    return entries;
}
