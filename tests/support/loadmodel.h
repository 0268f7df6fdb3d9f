// A literal model of loading the message table from a data file's bytes, kept
// apart from the reader's code: it follows the file layout and the load's
// rules step by step (one access per byte of a string; in handle mode each
// access byte by byte through the cache of file blocks, or as asked when its
// block cannot be read), counts allocations and reads the same way the fault
// seam does, and fails the same ones. Tests compare the library with it.
#ifndef ZW_TESTS_LOADMODEL_H
#define ZW_TESTS_LOADMODEL_H

#include "faultyio.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

const size_t MODEL_SLOTS = 17; // 16 codes and the fallback

struct ModelTable {
    std::array<bool, MODEL_SLOTS> loaded{};
    std::array<std::string, MODEL_SLOTS> text;
};

bool operator==(const ModelTable &a, const ModelTable &b);
bool operator!=(const ModelTable &a, const ModelTable &b);

struct ModelOutcome {
    bool opened = false;
    bool imageMode = false;
    // The table states the load may end in. One, unless the entry chain comes
    // back to an offset it has already visited: then the walk may stop there
    // or at any later step, and every distinct state from that step on counts.
    std::vector<ModelTable> endStates;
    // A chain came back to an offset: the library may stop earlier than the
    // model, so it may make fewer requests (or more, for a section chain).
    bool chainRepeats = false;
    uint32_t allocs = 0; // allocation requests
    uint32_t reads = 0;  // read requests
};

// Opens and loads bytes as DataFile_Open and ErrMsg_Load would into an empty
// table, with faults failing the same allocations and reads (failAlloc,
// failRead, their "later" forms, and failSize apply).
ModelOutcome Model_Load(const std::vector<uint8_t> &bytes, const FaultPlan &faults);

// What VOLQUAD_GetErrorMsg answers for code with this table.
std::string Model_Lookup(const ModelTable &table, int32_t code);

// The library's table as it stands.
ModelTable Model_Snapshot();

bool Model_Accepts(const ModelOutcome &outcome, const ModelTable &table);

std::string Model_Describe(const ModelTable &table);

#endif
