// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
#ifndef ZWX_UTF8_H
#define ZWX_UTF8_H

#include <cstddef>
#include <cstdint>
#include <string>

// The character that starts at text[at]; false when the bytes there are not
// valid UTF-8 (or at is past the end).
bool Utf8_Next(const std::string &text, size_t at, uint32_t *codePoint, size_t *length);

// codePoint must be a Unicode scalar value.
void Utf8_Append(std::string *text, uint32_t codePoint);

#endif
