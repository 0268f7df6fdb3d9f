// The message section the tests build most: one text per code and a fallback;
// and records put where a test wants them, for files the writer would not lay out.
#ifndef ZW_TESTS_CATALOGUE_H
#define ZW_TESTS_CATALOGUE_H

#include "zwxwrite.h"

#include <string>
#include <vector>

// "ERMSG_00" to "ERMSG_15" with prefix + code, then "ERMSG_XX" with fallback
// unless fallback is null.
std::vector<ZwxEntry> TestCatalogue(const std::string &prefix = "text ",
                                    const char *fallback = "fallback");

// size zero bytes: the header ("ZWX1" and limit), nothing else.
std::vector<uint8_t> RawFile(uint32_t size, uint32_t limit);

// text and its NUL at at.
void RawFile_PutString(std::vector<uint8_t> *bytes, uint32_t at, const std::string &text);

void RawFile_PutSection(std::vector<uint8_t> *bytes, uint32_t at, const char *name,
                        uint32_t firstEntry, uint32_t next, uint32_t count);

// Entries chained from entryAt on, their keys and values from stringAt on;
// the last entry's next field is lastNext. Returns the end of the strings.
uint32_t RawFile_PutEntries(std::vector<uint8_t> *bytes, uint32_t entryAt, uint32_t stringAt,
                            const std::vector<ZwxEntry> &entries, uint32_t lastNext);

#endif
