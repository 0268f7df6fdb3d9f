// Conversion between UTF-8 and the code page of the target system's texts, one
// character at a time: callers can name the character that has no mapping, and
// keep bytes that form no character as bytes.
//
// Only code pages that a Windows system can use for its 8-bit texts are
// accepted: 874, 932, 936, 949, 950, 1250 to 1258, and 65001 (UTF-8). All of
// them keep ASCII as it is, and none carries state from one character to the
// next, so converting character by character gives the same bytes as
// converting a whole text.
#ifndef ZWX_CODEPAGE_H
#define ZWX_CODEPAGE_H

#include <cstddef>
#include <cstdint>
#include <string>

const uint32_t CODEPAGE_DEFAULT = 1252;

enum CodepageStatus {
    CODEPAGE_OK,
    CODEPAGE_UNKNOWN,     // not a code page of 8-bit system texts
    CODEPAGE_UNAVAILABLE, // this machine has no tables for it
};

CodepageStatus Codepage_Check(uint32_t codePage);

// The code page a setting names (what: "--codepage", "#codepage",
// "X-Zwx-Codepage"), written in decimal digits and nothing else. Empty with
// *codePage set when it is usable here, else why not, in a message's words.
std::string Codepage_Parse(const std::string &what, const std::string &text, uint32_t *codePage);

// The bytes of one character. False when the code page has no exact mapping
// for it: a best fit, a default character or a mapping that does not convert
// back to the same character all count as none.
bool Codepage_EncodeChar(uint32_t codePage, uint32_t codePoint, std::string *bytes);

// The character that starts at bytes[at]. False when no character starts
// there that converts back to exactly the bytes it came from.
bool Codepage_DecodeChar(uint32_t codePage, const std::string &bytes, size_t at,
                         uint32_t *codePoint, size_t *length);

// The Windows ANSI code page of a language as a PO file's Language header
// names it ("ja", "zh_TW", "pt_BR", "sr@latin"), or 0 when zwx knows none.
uint32_t Codepage_ForLanguage(const std::string &language);

#endif
