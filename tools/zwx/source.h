// The source text of a data file, UTF-8:
//
//   # comment            (also ';'; whole lines only)
//   [SectionName]
//   KEY=value            split at the first '='; spaces and tabs around the
//                        key and the value are dropped
//
//   #codepage 932        the code page of the data file, before the first
//                        section; any other '#' line is a comment
//
// Escapes, in names, keys and values: \\ \n \r \t, \s (a space that is kept),
// \xHH (one byte, written as it stands, not converted). Every other character
// is converted to the code page.
#ifndef ZWX_SOURCE_H
#define ZWX_SOURCE_H

#include "zwxwrite.h"

#include <cstdint>
#include <string>
#include <vector>

struct SourceResult {
    std::vector<ZwxSection> sections;
    std::vector<std::string> errors;        // "name:line: what", in line order
    uint32_t statedCodePage = 0;            // from a #codepage line; 0 for none
    std::vector<size_t> sectionLines;       // the line of each section's header
    std::vector<std::vector<size_t>> lines; // the source line of each entry
};

// Names, keys and values in code-page bytes, refused where the library could
// not load them: a name of 32 bytes or more, a key of 128, a value of 290.
// sourceName only prefixes the errors. A #codepage line overrides codePage.
SourceResult Source_Parse(const std::string &text, const std::string &sourceName,
                          uint32_t codePage);

// A source that Source_Parse turns back into the same sections, byte for byte.
// Bytes that form no character in the code page are written as \xHH.
std::string Source_Format(const std::vector<ZwxSection> &sections, uint32_t codePage);

// One name, key or value as the source writes it, for messages that show one.
std::string Source_FormatText(const std::string &bytes, uint32_t codePage);

// The directive that states a data file's code page, as dump writes it.
std::string Source_CodePageLine(uint32_t codePage);

// UTF-8 text (no escapes) in the code page, checked character by character
// as source text is; false with *error naming the first character that has
// no mapping.
bool Source_Convert(const std::string &utf8, uint32_t codePage, std::string *bytes,
                    std::string *error);

#endif
