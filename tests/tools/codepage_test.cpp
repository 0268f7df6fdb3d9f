// Character conversion: exact mappings only, and bytes that form no character.
#include "codepage.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

std::string Encode(uint32_t codePage, uint32_t codePoint) {
    std::string bytes;
    return Codepage_EncodeChar(codePage, codePoint, &bytes) ? bytes : std::string("<none>");
}

// The code point and length of the character at bytes[0], or 0 and 0.
std::pair<uint32_t, size_t> Decode(uint32_t codePage, const std::string &bytes) {
    uint32_t codePoint = 0;
    size_t length = 0;
    if (!Codepage_DecodeChar(codePage, bytes, 0, &codePoint, &length)) {
        return {0, 0};
    }
    return {codePoint, length};
}

TEST(Codepage, OnlyCodePagesOfEightBitTextsAreAccepted) {
    for (uint32_t codePage : {874u, 932u, 936u, 949u, 950u, 1250u, 1252u, 1258u, 65001u}) {
        EXPECT_EQ(Codepage_Check(codePage), CODEPAGE_OK) << codePage;
    }
    for (uint32_t codePage : {0u, 437u, 1200u, 1249u, 1259u, 50220u, 65000u}) {
        EXPECT_EQ(Codepage_Check(codePage), CODEPAGE_UNKNOWN) << codePage;
    }
}

TEST(Codepage, Windows1252) {
    EXPECT_EQ(Encode(1252, 0xE9), "\xE9");
    EXPECT_EQ(Encode(1252, 0x20AC), "\x80");
    EXPECT_EQ(Encode(1252, 0x3042), "<none>");
    EXPECT_EQ(Encode(1252, 0x0100), "<none>") << "no best fit to 'A'";
    EXPECT_EQ(Encode(1252, 0), "<none>");
    EXPECT_EQ(Decode(1252, "\xE9x"), std::make_pair(0xE9u, size_t{1}));
    EXPECT_EQ(Decode(1252, "\x80"), std::make_pair(0x20ACu, size_t{1}));
}

TEST(Codepage, Windows932KeepsCharactersWholeAndRefusesBrokenOnes) {
    EXPECT_EQ(Encode(932, 0x3042), "\x82\xA0");
    EXPECT_EQ(Encode(932, 0xFF71), "\xB1");
    EXPECT_EQ(Encode(932, 0x30BD), "\x83\x5C") << "a second byte that is a backslash";
    EXPECT_EQ(Encode(932, 0x20AC), "<none>");
    EXPECT_EQ(Encode(932, 0xE9), "<none>");
    EXPECT_EQ(Decode(932, "\x83\x5C"), std::make_pair(0x30BDu, size_t{2}));
    EXPECT_EQ(Decode(932, "\xB1\x82"), std::make_pair(0xFF71u, size_t{1}));
    EXPECT_EQ(Decode(932, "\x83").second, 0u) << "a first byte alone";
    EXPECT_EQ(Decode(932, std::string("\x83 ", 2)).second, 0u) << "no valid second byte";
    EXPECT_EQ(Decode(932, "\x5C"), std::make_pair(0x5Cu, size_t{1}));
}

TEST(Codepage, Utf8NeedsNoTablesButValidBytes) {
    EXPECT_EQ(Encode(65001, 0x1F600), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Decode(65001, "\xF0\x9F\x98\x80"), std::make_pair(0x1F600u, size_t{4}));
    for (const char *broken :
         {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE3\x81", "\x80"}) {
        EXPECT_EQ(Decode(65001, broken).second, 0u) << broken;
    }
}

// Whatever decodes must encode back to the very bytes: the round trip of
// dump and compile rests on it.
TEST(Codepage, EveryDecodedCharacterEncodesBackToItsBytes) {
    for (uint32_t codePage : {1252u, 932u, 1258u}) {
        for (unsigned first = 1; first < 256; ++first) {
            for (unsigned second : {0x20u, 0x40u, 0x5Cu, 0x7Fu, 0x80u, 0x9Fu, 0xA0u, 0xFCu}) {
                const std::string bytes = {static_cast<char>(first), static_cast<char>(second)};
                const auto decoded = Decode(codePage, bytes);
                if (decoded.second != 0) {
                    EXPECT_EQ(Encode(codePage, decoded.first), bytes.substr(0, decoded.second))
                        << codePage << " " << first << " " << second;
                }
            }
        }
    }
}

TEST(Codepage, ALanguageGetsItsWindowsAnsiCodePage) {
    const std::pair<const char *, uint32_t> languages[] = {
        {"ja", 932},     {"ja_JP", 932},     {"zh_CN", 936},   {"zh", 936},
        {"zh_TW", 950},  {"zh_HK", 950},     {"zh-Hant", 950}, {"zh_Hans_SG", 936},
        {"ko", 949},     {"ru", 1251},       {"uk", 1251},     {"bg", 1251},
        {"sr", 1251},    {"sr@latin", 1250}, {"pl", 1250},     {"cs", 1250},
        {"hu", 1250},    {"el", 1253},       {"tr", 1254},     {"he", 1255},
        {"ar", 1256},    {"lt", 1257},       {"lv", 1257},     {"et", 1257},
        {"vi", 1258},    {"th", 874},        {"fr", 1252},     {"de_DE.UTF-8", 1252},
        {"pt_BR", 1252}, {"nb_NO", 1252},    {"tlh", 0},       {"", 0},
    };
    for (const auto &language : languages) {
        EXPECT_EQ(Codepage_ForLanguage(language.first), language.second) << language.first;
    }
}

} // namespace
