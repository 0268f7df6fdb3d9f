// One load of the message table as the library does it at attach, under a
// fault plan and in a chosen read mode: open, load, close; then the table is
// read and released again. And what a load may give, from the file itself.
#ifndef ZW_TESTS_LOADRUN_H
#define ZW_TESTS_LOADRUN_H

#include "faultyio.h"
#include "readmode.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

const size_t TABLE_SLOTS = 17; // 16 codes and the fallback

struct TableState {
    std::array<bool, TABLE_SLOTS> loaded{};
    std::array<std::string, TABLE_SLOTS> text;
};

bool operator==(const TableState &a, const TableState &b);
bool operator!=(const TableState &a, const TableState &b);
std::string TableState_Describe(const TableState &table);

struct LoadRun {
    bool opened;
    bool imageMode;
    TableState table;
    FaultCounts counts; // after the table was released: blocks and handles must be 0
};

// The file at path (its bytes, for ReadMode::Bytes) loaded in mode, with plan
// installed for the load and removed again.
LoadRun LoadRun_Do(const std::string &path, const std::vector<uint8_t> &bytes, ReadMode mode,
                   const FaultPlan &plan);

// For each slot, the texts the entries keyed for it carry in the message
// section, as zwx's walk of the file reads them (the empty text always among
// them: an unreadable value gives it). A load whose reads all succeed may only
// give these. any is set when an entry chain runs where the walk stops
// reading (off the file, into its header): a load reads on through zeros there.
struct TextChoices {
    std::array<std::set<std::string>, TABLE_SLOTS> texts;
    bool any;
};
TextChoices LoadRun_Choices(const std::vector<uint8_t> &bytes);

// Whether text is a string the file holds somewhere: followed by a NUL or by
// its end. A failed read leaves a record zero, which leads a load to offset 0,
// so under read faults a slot may hold any such string (or none).
bool LoadRun_FileHolds(const std::vector<uint8_t> &bytes, const std::string &text);

#endif
