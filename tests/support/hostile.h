// Hostile data files, built in memory: chains that cycle or run through a
// whole large file, counts of 0xFFFFFFFF, strings that run into the end of the
// file, offsets at and beyond 2 GiB. Shared by the tests, hostile_times and the benchmarks.
#ifndef ZW_TESTS_HOSTILE_H
#define ZW_TESTS_HOSTILE_H

#include <cstdint>
#include <string>
#include <vector>

const uint32_t HOSTILE_LARGE_SIZE = 64u << 20;

// Sections A -> B -> C -> A: the message section is never reached.
std::vector<uint8_t> Hostile_SectionCycle();

// Entries ERMSG_00, ERMSG_01, ERMSG_02, then a tail of tailLength entries with
// a key that names no slot, ending in a cycle of cycleLength such entries;
// entry count 0xFFFFFFFF.
std::vector<uint8_t> Hostile_EntryCycle(uint32_t tailLength, uint32_t cycleLength);

// Section records at every 16 bytes of a file of size bytes, one chain through
// all of them; its last record leads to the message section with the full
// catalogue ("text 0" ... "text 15", "fallback").
std::vector<uint8_t> Hostile_SectionChain(uint32_t size);

// Entries at every 16 bytes of a file of size bytes, one chain through all of
// them, each keyed with a string of keyLength characters that names no slot
// (8 gives "ERMSG_ZZ"); the chain ends in "text 0" ... "text 15" without a
// fallback, and then runs off the end of the file. Entry count 0xFFFFFFFF.
std::vector<uint8_t> Hostile_EntryChain(uint32_t size, uint32_t keyLength);

// Hostile_EntryChain with 8-character keys, its entries chained stride slots
// apart (modulo their number; raised to share no factor with it): every step
// lands far from the last, all of them before the catalogue.
std::vector<uint8_t> Hostile_ScatteredChain(uint32_t size, uint32_t stride);

// The same entries chained in an order shuffled by a fixed generator: no cache
// smaller than the file holds what the next step needs.
std::vector<uint8_t> Hostile_RandomChain(uint32_t size);

// Section records of an empty name every 64 bytes of a file of size bytes,
// chained stride records apart (modulo their number) under an all-ones limit,
// the last leading to the message section with the full catalogue.
std::vector<uint8_t> Hostile_ScatteredSections(uint32_t size, uint32_t stride);

// The full catalogue ("text 0" ... "fallback") with every entry, key and value
// in another of blocks 4 KiB blocks, 7 blocks on from the last.
std::vector<uint8_t> Hostile_SpreadCatalogue(uint32_t blocks);

// Values whose strings run into the end of the file without a NUL, at 1, 100,
// 289 and 290 characters from it: ERMSG_01 "v"*100, ERMSG_02 "v"*289,
// ERMSG_03 at 290 (empty text), ERMSG_04 "v", ERMSG_05 at the end itself
// (empty text); ERMSG_XX "fallback".
std::vector<uint8_t> Hostile_ValuesToTheEnd();

// The last bytes of the file are the key "ERMSG_07" without its NUL; its value
// is "seven".
std::vector<uint8_t> Hostile_KeyToTheEnd();

// Entries ERMSG_00 "zero"; a key at far; ERMSG_02 with its value at far;
// ERMSG_03 "three" whose next entry is at far. Entry count 0xFFFFFFFF.
std::vector<uint8_t> Hostile_FarStrings(uint32_t far);

// The message section's first entry is at far (entry count 4).
std::vector<uint8_t> Hostile_FarFirstEntry(uint32_t far);

// Section limit 0xFFFFFFFF and the first record's next section at far; the
// message section is not reached.
std::vector<uint8_t> Hostile_FarNextSection(uint32_t far);

#endif
