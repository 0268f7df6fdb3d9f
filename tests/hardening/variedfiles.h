// Small data files of many shapes, well-formed and damaged, for the sweeps
// that fail each allocation or read of a load in turn.
#ifndef ZW_TESTS_VARIEDFILES_H
#define ZW_TESTS_VARIEDFILES_H

#include <cstdint>
#include <string>
#include <vector>

struct VariedFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

std::vector<VariedFile> VariedFiles();

#endif
