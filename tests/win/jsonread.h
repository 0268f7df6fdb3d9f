// A strict JSON reader for the tests of zwhost --json: what zwhost writes must
// parse whole (no trailing bytes, no raw control characters, only the escapes
// JSON has), and the tests then look fields up by name.
#ifndef ZW_TESTS_JSONREAD_H
#define ZW_TESTS_JSONREAD_H

#include <string>
#include <utility>
#include <vector>

struct JsonValue {
    enum Kind { NONE, NUL, BOOL, NUMBER, STRING, ARRAY, OBJECT } kind = NONE;
    bool boolean = false;
    long long number = 0;
    std::string text; // strings as UTF-8; a lone surrogate \uDCXX as the byte XX
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> fields;

    // The field of that name, or a NONE value.
    const JsonValue &operator[](const std::string &name) const;
};

// False, with where and why in *error, when text is not one JSON value.
bool Json_Parse(const std::string &text, JsonValue *value, std::string *error);

#endif
