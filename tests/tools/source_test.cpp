// The source text: its structure, escapes, conversion, and every refusal with
// the line it names.
#include "source.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

typedef std::vector<std::vector<std::string>> Flat;

// Each section as its name followed by key, value, key, value...
Flat Flatten(const std::vector<ZwxSection> &sections) {
    Flat flat;
    for (const ZwxSection &section : sections) {
        flat.push_back({section.name});
        for (const ZwxEntry &entry : section.entries) {
            flat.back().push_back(entry.key);
            flat.back().push_back(entry.value);
        }
    }
    return flat;
}

Flat Parse(const std::string &text, uint32_t codePage = 1252) {
    const SourceResult result = Source_Parse(text, "src", codePage);
    EXPECT_TRUE(result.errors.empty()) << result.errors[0];
    return Flatten(result.sections);
}

// The one error the text gives.
std::string ErrorOf(const std::string &text, uint32_t codePage = 1252) {
    const SourceResult result = Source_Parse(text, "src", codePage);
    EXPECT_EQ(result.errors.size(), 1u) << text;
    return result.errors.empty() ? std::string() : result.errors[0];
}

TEST(SourceParse, SectionsInOrderWithCommentsBlanksAndTrimming) {
    const std::string text = "\xEF\xBB\xBF# comment\r\n"
                             "[QORBA_ErrMsg]\r\n"
                             "  ; another comment\n"
                             "\n"
                             "ERMSG_00 = Paper jam \t\n"
                             "[ Empty ]\n"
                             "[Other]\n"
                             "a=b=c\n"
                             "=empty key\n"
                             "key=\n"
                             "k2=# not a comment";
    EXPECT_EQ(Parse(text),
              (Flat{{"QORBA_ErrMsg", "ERMSG_00", "Paper jam"},
                    {"Empty"},
                    {"Other", "a", "b=c", "", "empty key", "key", "", "k2", "# not a comment"}}));
}

TEST(SourceParse, EscapesGiveBytesAndKeepSpaces) {
    EXPECT_EQ(Parse("[S]\n\\s k\\x3D\\s = \\s\\\\\\n\\r\\t\\x81\\xe9 \\s\n"),
              (Flat{{"S", "  k= ", " \\\n\r\t\x81\xE9  "}}));
    EXPECT_EQ(Parse("[\\x5Bname\\s]\n"), (Flat{{"[name "}}));
}

TEST(SourceParse, TextIsConvertedToTheCodePage) {
    EXPECT_EQ(Parse("[S]\nk=Ünï €\n"), (Flat{{"S", "k", "\xDCn\xEF \x80"}}));
    EXPECT_EQ(Parse("[S]\nk=あｱソ\n", 932), (Flat{{"S", "k", "\x82\xA0\xB1\x83\x5C"}}));
    EXPECT_EQ(Parse("[S]\nk=\\x82\\xA0\n", 1252), (Flat{{"S", "k", "\x82\xA0"}}))
        << "escaped bytes are not converted";
}

TEST(SourceParse, EachRefusalNamesItsLine) {
    const struct {
        std::string line;
        uint32_t codePage;
        const char *message;
    } cases[] = {
        {"k=あ", 1252, "src:3: in the value: \"あ\" (U+3042) has no mapping in code page 1252"},
        {"k=€", 932, "src:3: in the value: \"€\" (U+20AC) has no mapping in code page 932"},
        {"é=v", 932, "src:3: in the key: \"é\" (U+00E9) has no mapping"},
        {"k=\\q", 1252, "src:3: in the value: unknown escape \\q"},
        {"k=\\x4", 1252, "src:3: in the value: \\x needs two hex digits"},
        {"k=\\x00", 1252, "src:3: in the value: \\x00: a NUL cannot be stored"},
        {"k=x\\", 1252, "src:3: in the value: a lone '\\' at the end"},
        {std::string("k=a\0b", 5), 1252, "src:3: in the value: a NUL character"},
        {"k=\xE9", 1252, "src:3: in the value: invalid UTF-8 (byte 0xE9)"},
        {"no equals sign", 1252, "src:3: expected [Section], KEY=value or a comment"},
        {"[Unclosed", 1252, "src:3: a section header ends with ']'"},
        {"[" + std::string(32, 'n') + "]", 1252, "src:3: the section name is 32 bytes"},
        {std::string(128, 'k') + "=v", 1252, "src:3: the key is 128 bytes"},
        {"k=" + std::string(290, 'v'), 1252, "src:3: the value is 290 bytes"},
        // What the line quotes is escaped: no control character goes out raw.
        {"k=\\\x1b", 1252, "src:3: in the value: unknown escape: '\\' before \\033"},
        {"k=\xc2\x85", 1252, "src:3: in the value: \"\\302\\205\" (U+0085) has no mapping"},
    };
    for (const auto &c : cases) {
        const std::string error = ErrorOf("# first\n[S]\n" + c.line + "\n", c.codePage);
        EXPECT_EQ(error.compare(0, strlen(c.message), c.message), 0) << error;
    }
    EXPECT_EQ(ErrorOf("\nk=v\n[S]\n"), "src:2: an entry before the first [Section] header");
    EXPECT_EQ(ErrorOf("#codepage 9\x1b[2J\a\n[S]\n"),
              "src:1: #codepage needs a code page number, not \"9\\033[2J\\a\"");
    // UTF-16 with or without a byte-order mark: one error that says how to convert it.
    const std::string le = "src:1: the file is UTF-16LE (UTF-16); save it as UTF-8, for example "
                           "with iconv -f UTF-16LE -t UTF-8";
    EXPECT_EQ(ErrorOf(std::string("\xFF\xFE[\0S\0]\0", 8)), le);
    EXPECT_EQ(ErrorOf(std::string("[\0S\0]\0\n\0", 8)), le);
    EXPECT_EQ(ErrorOf(std::string("\0[\0S\0]", 6)).find("UTF-16BE"), 19u);
}

TEST(SourceParse, LimitsCountBytesAfterConversion) {
    std::string kana145, kana144, accents200;
    for (int i = 0; i < 145; ++i) {
        kana145 += "あ";
    }
    kana144 = kana145.substr(3);
    for (int i = 0; i < 200; ++i) {
        accents200 += "é"; // 400 bytes of UTF-8, 200 in 1252
    }
    EXPECT_EQ(Parse("[S]\nk=" + accents200 + "\n")[0][2].size(), 200u);
    EXPECT_EQ(Parse("[S]\nk=" + kana144 + "\n", 932)[0][2].size(), 288u);
    EXPECT_NE(ErrorOf("[S]\nk=" + kana145 + "\n", 932).find("the value is 290 bytes"),
              std::string::npos);
    EXPECT_EQ(Parse("[" + std::string(31, 'n') + "]\n" + std::string(127, 'k') + "=" +
                    std::string(289, 'v'))[0][2]
                  .size(),
              289u);
}

TEST(SourceParse, EveryErrorIsReported) {
    const SourceResult result = Source_Parse("[S]\nk=\\q\nok=1\nbad\n[S2\nk2=あ\n", "f.src", 1252);
    ASSERT_EQ(result.errors.size(), 4u);
    EXPECT_EQ(result.errors[0].compare(0, 7, "f.src:2"), 0);
    EXPECT_EQ(result.errors[1].compare(0, 7, "f.src:4"), 0);
    EXPECT_EQ(result.errors[2].compare(0, 7, "f.src:5"), 0);
    EXPECT_EQ(result.errors[3].compare(0, 7, "f.src:6"), 0)
        << "no second error after a broken header";
}

} // namespace
