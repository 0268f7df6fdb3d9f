// What zwx check warns about in a data file: the rules of check, which
// compile and compile-po apply to the file they build as well.
#ifndef ZWX_CHECK_RULES_H
#define ZWX_CHECK_RULES_H

#include "datafile.h"

#include <cstdint>
#include <string>
#include <vector>

// entry is the 0-based index of the message section's entry a finding is
// about, or ZWX_NO_ENTRY.
struct ZwxFinding {
    uint32_t entry;
    std::string text;
};

// In the order check reports them.
std::vector<ZwxFinding> ZwxCmd_CheckFindings(DataFile *file, uint32_t codePage);

#endif
