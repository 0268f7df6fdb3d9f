// Round trips: sections written as source read back byte for byte, and
// compile(dump(compile(source))) equals compile(source).
#include "source.h"
#include "zwxtest.h"

namespace {

// Names, keys and values made of every byte but NUL, in pieces that stress
// the escapes: spaces at the ends, '=' and comment marks in keys, first
// bytes of two-byte characters cut off, backslashes after them.
std::vector<ZwxSection> ByteRichSections() {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    std::vector<ZwxSection> sections;
    sections.push_back({"", {{"", ""}, {" ", " "}}});
    sections.push_back({" [n] ", {}});
    for (size_t at = 0; at < all.size(); at += 31) {
        ZwxSection section = {all.substr(at, 31), {}};
        section.entries.push_back({all.substr(at, 127), all.substr(at, 289)});
        section.entries.push_back({all.substr(at + 7, 40), all.substr(at + 3, 50)});
        sections.push_back(section);
    }
    ZwxSection edge = {"edge", {}};
    for (const char *key : {"#k", ";k", "[k", "k=v", "\\", " k", "k\t", "\x82", "\x82\\"}) {
        edge.entries.push_back({key, std::string(key) + " \x82\x5C \x81 \xA0 "});
    }
    sections.push_back(edge);
    return sections;
}

TEST(RoundTrip, FormattedSectionsParseBackToTheSameBytes) {
    const std::vector<ZwxSection> sections = ByteRichSections();
    for (uint32_t codePage : {1252u, 932u, 1258u, 65001u}) {
        const std::string text = Source_Format(sections, codePage);
        const SourceResult back = Source_Parse(text, "dump", codePage);
        ASSERT_TRUE(back.errors.empty()) << codePage << ": " << back.errors[0];
        EXPECT_EQ(Zwx_Build(back.sections, nullptr), Zwx_Build(sections, nullptr)) << codePage;
    }
}

class RoundTripTest : public ZwxTest {
  protected:
    // compile, dump, compile again: the same bytes.
    void ExpectRoundTrip(const std::string &source, const std::string &codePage) {
        const std::string first = Compile(source, codePage);
        ASSERT_FALSE(first.empty());
        ASSERT_EQ(Run({"dump", Path("out.zwx"), "--codepage", codePage}), 0) << io_.err;
        EXPECT_EQ(Compile(io_.out, codePage), first) << io_.out;
    }
};

TEST_F(RoundTripTest, CompileDumpCompileGivesTheSameFile) {
    const std::string source = "[QORBA_ErrMsg]\n"
                               "ERMSG_00=Paper jam\n"
                               "ERMSG_01=\\s two lines\\nand a tab\\t, a \\\\ \\s\n"
                               "ermsg_xx=fallback = \"here\"\n"
                               "[Empty]\n"
                               "[Other]\n"
                               "\\x23key\\x3D=\\x81\\x9F\\x7F\\x01\n"
                               "=\n";
    ExpectRoundTrip(source + "accents=Ünïcödé € ‰\n", "1252");
    ExpectRoundTrip(source + "kana=あいうｱｲｳソ表\n", "932");
}

TEST_F(RoundTripTest, SizeOfTheLayoutIsTheSizeBuilt) {
    const std::vector<ZwxSection> sections = ByteRichSections();
    EXPECT_EQ(Zwx_BuiltSize(sections), Zwx_Build(sections, nullptr).size());
    EXPECT_EQ(Zwx_BuiltSize({}), Zwx_Build({}, nullptr).size());
}

} // namespace
