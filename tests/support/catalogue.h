// The message section the tests build most: one text per code and a fallback.
#ifndef ZW_TESTS_CATALOGUE_H
#define ZW_TESTS_CATALOGUE_H

#include "zwxwrite.h"

#include <string>
#include <vector>

// "ERMSG_00" to "ERMSG_15" with prefix + code, then "ERMSG_XX" with fallback
// unless fallback is null.
std::vector<ZwxEntry> TestCatalogue(const std::string &prefix = "text ",
                                    const char *fallback = "fallback");

#endif
