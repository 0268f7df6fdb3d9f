// PO files: the reader on the forms gettext's tools write, the writer read
// back, and the three PO commands in-process. The same files made by
// msginit, msgcat and msgunfmt are tested in zwx_po.cmake.
#include "catalogue.h"
#include "po.h"
#include "zwxtest.h"

#include <random>

namespace {

std::string Describe(const PoEntry &entry) {
    std::string text = std::to_string(entry.line) +
                       (entry.hasContext ? " [" + entry.context + "]" : "") + " " + entry.id +
                       " => " + entry.str;
    text += entry.fuzzy ? " fuzzy" : "";
    text += entry.obsolete ? " obsolete" : "";
    text += entry.plural ? " plural" : "";
    for (const std::string &comment : entry.extracted) {
        text += " #." + comment;
    }
    return text;
}

std::vector<std::string> Entries(const std::string &text) {
    const PoFile file = Po_Parse(text, "t.po");
    EXPECT_TRUE(file.errors.empty()) << file.errors[0];
    std::vector<std::string> described;
    for (const PoEntry &entry : file.entries) {
        described.push_back(Describe(entry));
    }
    return described;
}

TEST(PoParse, EntriesAsGettextWritesThem) {
    const std::string text = "# translator's comment\r\n"
                             "msgid \"\"\r\n"
                             "msgstr \"\"\r\n"
                             "\"Content-Type: text/plain; charset=UTF-8\\n\"\r\n"
                             "\r\n"
                             "#. code 1\n"
                             "#: file.c:12\n"
                             "#, fuzzy, c-format\n"
                             "#| msgid \"Old text\"\n"
                             "msgctxt \"ERMSG_01\"\n"
                             "msgid \"\"\n"
                             "\"two\\n\"\n"
                             "\"lines\"\n"
                             "msgstr \"zwei\\n\" \n"
                             "  \"Zeilen\"\n"
                             "msgctxt \"ERMSG_02\"\n"
                             "msgid \"q\\\"\\\\\\t\\r\\a\\b\\f\\v\\101\\x42\\7\"\n"
                             "msgstr \"\"\n"
                             "\n"
                             "msgid \"one\"\n"
                             "msgid_plural \"many\"\n"
                             "msgstr[0] \"eins\"\n"
                             "msgstr[1] \"viele\"\n"
                             "\n"
                             "#~ msgctxt \"ERMSG_03\"\n"
                             "#~ msgid \"gone\"\n"
                             "#~| msgid \"older\"\n"
                             "#~ msgstr \"weg\"\n";
    EXPECT_EQ(Entries(text), (std::vector<std::string>{
                                 "1  => Content-Type: text/plain; charset=UTF-8\n",
                                 "6 [ERMSG_01] two\nlines => zwei\nZeilen fuzzy #.code 1",
                                 "16 [ERMSG_02] q\"\\\t\r\a\b\f\vAB\a => ",
                                 "20 one => eins plural",
                                 "25 [ERMSG_03] gone => weg obsolete",
                             }));
    const PoFile file = Po_Parse(text, "t.po");
    ASSERT_NE(Po_Header(file), nullptr);
    EXPECT_EQ(Po_HeaderField(*Po_Header(file), "Content-Type"), "text/plain; charset=UTF-8");
    EXPECT_EQ(Po_HeaderField(*Po_Header(file), "Language"), "");
}

TEST(PoParse, ErrorsNameTheirLine) {
    const struct {
        const char *text;
        const char *error;
    } cases[] = {
        {"msgid \"a\"\nmsgstr \"b\n", "t.po:2: expected a string in double quotes"},
        {"msgid \"a\\q\"\nmsgstr \"\"\n", "t.po:1: unknown escape \\q"},
        {"msgid \"a\"\nmsgstr \"b\\\"\n", "t.po:2: a string ends in a lone '\\'"},
        {"msgstr \"b\"\n", "t.po:1: msgstr without msgid"},
        {"\n\"b\"\n", "t.po:2: a string continues no keyword"},
        {"msgid \"a\"\n\nmsgid \"b\"\nmsgstr \"\"\n", "t.po:1: an entry without msgstr"},
        {"msgid \"a\"\nmsgfoo \"b\"\n", "t.po:2: unknown keyword msgfoo"},
        {"msgctxt \"k\"\nmsgid \"a\"\nmsgstr \"\"\n\nmsgctxt \"k\"\nmsgid \"a\"\nmsgstr \"x\"\n",
         "t.po:6: the same message as line 2"},
        // Text from the file reaches the terminal escaped: no ESC, BEL, C1
        // control or invalid byte goes out raw.
        {"msgid \"a\"\nmsgstr \"\"\n\x1b]0;title\a\"x\"\n",
         "t.po:3: unknown keyword \\033]0;title\\a"},
        {"msg\xff\xc2\x9b\\\"\n", "t.po:1: msg\\377\\302\\233\\\\ without msgid"},
        {"msgid \"a\\\x1b\"\nmsgstr \"\"\n", "t.po:1: unknown escape: '\\' before \\033"},
        {"msgid \"a\"\n\x7f\xe2\x82\xac \"\"\n", "t.po:2: unknown keyword \\177\xe2\x82\xac"},
    };
    for (const auto &c : cases) {
        const PoFile file = Po_Parse(c.text, "t.po");
        ASSERT_FALSE(file.errors.empty()) << c.text;
        EXPECT_EQ(file.errors[0], c.error) << c.text;
    }
}

// One message is one context (or none) and one id: every later entry of it
// is reported against the first, and nothing else is one.
TEST(PoParse, TheSameMessageIsTheSameContextAndId) {
    const std::string text = "msgctxt \"ab\"\nmsgid \"c\"\nmsgstr \"\"\n\n"  // 1
                             "msgctxt \"a\"\nmsgid \"bc\"\nmsgstr \"\"\n\n"  // 5
                             "msgctxt \"\"\nmsgid \"x\"\nmsgstr \"\"\n\n"    // 9
                             "msgid \"x\"\nmsgstr \"\"\n\n"                  // 13
                             "#~ msgid \"x\"\n#~ msgstr \"\"\n\n"            // 16
                             "msgctxt \"ab\"\nmsgid \"c\"\nmsgstr \"y\"\n\n" // 19
                             "msgctxt \"ab\"\nmsgid \"c\"\nmsgstr \"z\"\n";  // 23
    const PoFile file = Po_Parse(text, "t.po");
    EXPECT_EQ(file.entries.size(), 7u);
    // Both positions are msgid lines, as gettext's own.
    EXPECT_EQ(file.errors, (std::vector<std::string>{"t.po:20: the same message as line 2",
                                                     "t.po:24: the same message as line 2"}));
}

// What is not a PO file is not read to its end: the first 100 errors, then
// one that says the rest was not read.
TEST(PoParse, TooManyErrorsStopTheReader) {
    std::string text;
    for (int line = 0; line < 100000; ++line) {
        text += "junk\n";
    }
    const PoFile file = Po_Parse(text, "t.po");
    ASSERT_EQ(file.errors.size(), 101u);
    EXPECT_EQ(file.errors[99], "t.po:100: junk without msgid");
    EXPECT_EQ(file.errors[100], "t.po:100: too many errors; the rest of the file is not read");
}

TEST(PoWrite, WhatIsWrittenReadsBack) {
    for (const std::string &text :
         {std::string(""), std::string("plain"), std::string("end\n"), std::string("a\nb\n\nc"),
          std::string("\"q\" \\ \t\r\a\b\f\v"), std::string("日本語\n€")}) {
        ASSERT_TRUE(Po_Writable(text));
        const std::string po = Po_Keyword("msgctxt", "k") + Po_Keyword("msgid", text) +
                               Po_Keyword("msgstr", text + "!");
        const PoFile file = Po_Parse(po, "w.po");
        ASSERT_TRUE(file.errors.empty()) << po;
        ASSERT_EQ(file.entries.size(), 1u);
        EXPECT_EQ(file.entries[0].id, text);
        EXPECT_EQ(file.entries[0].str, text + "!");
    }
    EXPECT_FALSE(Po_Writable("bell\x01"));
}

// Damaged files never break the reader, and whatever it reads, the writer
// writes so that it reads back the same.
TEST(PoParse, DamagedFilesReadBackAsWritten) {
    const std::string valid =
        "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
        "#. code 1\n#, fuzzy\nmsgctxt \"ERMSG_01\"\nmsgid \"\"\n\"a\\n\"\n\"b\\\"\"\n"
        "msgstr \"\\101\\x42\"\n\n#~ msgid \"old\"\n#~ msgstr \"x\"\n";
    std::mt19937 random(12);
    const char pieces[] = "\"\\\n#~,.|[]0x7 msgidstrctxt_plural";
    for (int round = 0; round < 3000; ++round) {
        std::string text = valid;
        for (int change = 0; change < 3; ++change) {
            const size_t at = random() % (text.size() + 1);
            const char piece = pieces[random() % (sizeof pieces - 1)];
            if (random() % 2 == 0 && at < text.size()) {
                text[at] = piece;
            } else {
                text.insert(at, 1, piece);
            }
        }
        const PoFile file = Po_Parse(text, "d.po");
        for (const PoEntry &entry : file.entries) {
            if (!Po_Writable(entry.context) || !Po_Writable(entry.id) || !Po_Writable(entry.str)) {
                continue;
            }
            const PoFile back =
                Po_Parse(Po_Keyword("msgctxt", entry.context) + Po_Keyword("msgid", entry.id) +
                             Po_Keyword("msgstr", entry.str),
                         "w.po");
            ASSERT_EQ(back.entries.size(), 1u) << text;
            EXPECT_EQ(back.entries[0].context, entry.context);
            EXPECT_EQ(back.entries[0].id, entry.id);
            EXPECT_EQ(back.entries[0].str, entry.str);
        }
    }
}

class PoCommandTest : public ZwxTest {
  protected:
    void SetUp() override {
        ZwxTest::SetUp();
        std::vector<ZwxEntry> entries = TestCatalogue("Text ", "Fallback");
        entries[1].value = "Cover open:\nclose \"it\"";
        entries.insert(entries.begin() + 2, {"ermsg_01", "never loaded"});
        entries.push_back({"ERMSG_16", "fills no slot"});
        std::vector<uint8_t> en = Zwx_Build({{"QORBA_ErrMsg", entries}}, nullptr);
        Zwx_SetCodePage(&en, 1252);
        Write("en.zwx", en);
    }
    // The template with msgstr filled in for the keys given.
    std::string Translate(const std::vector<std::pair<std::string, std::string>> &texts) {
        EXPECT_EQ(Run({"export-po", Path("en.zwx")}), ZWX_EXIT_OK) << io_.err;
        std::string po = io_.out;
        for (const auto &text : texts) {
            const size_t at = po.find("msgctxt \"" + text.first + "\"");
            const size_t str = po.find("msgstr \"\"", at);
            EXPECT_NE(at, std::string::npos) << text.first;
            po.replace(str, 9,
                       Po_Keyword("msgstr", text.second)
                           .substr(0, Po_Keyword("msgstr", text.second).size() - 1));
        }
        return po;
    }
};

TEST_F(PoCommandTest, ExportWritesWhatTheLibraryLoadsWithTheCodeOfEachKey) {
    ASSERT_EQ(Run({"export-po", Path("en.zwx"), "-o", Path("en.pot")}), ZWX_EXIT_OK);
    const std::string pot = Read("en.pot");
    EXPECT_NE(pot.find("#. code 1\nmsgctxt \"ERMSG_01\"\nmsgid \"\"\n\"Cover open:\\n\"\n\"close "
                       "\\\"it\\\"\"\nmsgstr \"\"\n"),
              std::string::npos)
        << pot;
    EXPECT_NE(pot.find("#. the fallback"), std::string::npos);
    EXPECT_EQ(pot.find("never loaded"), std::string::npos) << "a repeated key is not loaded";
    EXPECT_EQ(pot.find("ERMSG_16"), std::string::npos) << "it fills no slot";
    const PoFile file = Po_Parse(pot, "en.pot");
    EXPECT_TRUE(file.errors.empty());
    EXPECT_EQ(file.entries.size(), 18u) << "the header, 16 codes and the fallback";
}

// The lines check prints for the codes and the fallback.
std::string TableOf(const std::string &checkOutput) {
    std::string table;
    size_t at = 0;
    while (at < checkOutput.size()) {
        const size_t end = checkOutput.find('\n', at);
        const std::string line = checkOutput.substr(at, end - at);
        if (line.compare(0, 5, "code ") == 0 || line.compare(0, 9, "fallback:") == 0) {
            table += line + "\n";
        }
        at = end == std::string::npos ? checkOutput.size() : end + 1;
    }
    return table;
}

TEST_F(PoCommandTest, CompileChecksEveryCharacterAndShowsTheReferenceForFuzzyAndUntranslated) {
    std::string po = Translate({{"ERMSG_00", "用紙がありません"},
                                {"ERMSG_01", "カバー\n「開」"},
                                {"ERMSG_02", "推測"},
                                {"ERMSG_XX", "エラー"}});
    const size_t fuzzyAt = po.find("msgctxt \"ERMSG_02\"");
    po.insert(fuzzyAt, "#, fuzzy\n");
    Write("ja.po", po);
    ASSERT_EQ(Run({"compile-po", Path("ja.po"), "--codepage", "932", "-o", Path("ja.zwx")}),
              ZWX_EXIT_OK)
        << io_.err;
    EXPECT_NE(io_.err.find(": warning: ERMSG_02 is fuzzy: its reference text (msgid) is used\n"),
              std::string::npos)
        << io_.err;
    EXPECT_NE(io_.err.find(": warning: ERMSG_03 is untranslated: its reference text (msgid) is "
                           "used\n"),
              std::string::npos);
    // The library shows the reference's text wherever the translation has none.
    ASSERT_EQ(Run({"check", Path("en.zwx")}), ZWX_EXIT_FINDINGS);
    std::string expected = TableOf(io_.out);
    ASSERT_EQ(Run({"check", Path("ja.zwx")}), ZWX_EXIT_OK) << io_.out;
    std::string table = TableOf(io_.out);
    EXPECT_EQ(
        table.substr(table.find("code  2:"), table.find("fallback:") - table.find("code  2:")),
        expected.substr(expected.find("code  2:"),
                        expected.find("fallback:") - expected.find("code  2:")));
    EXPECT_NE(table.find("code  1: \"カバー\\n「開」\"\n"), std::string::npos) << table;
    EXPECT_NE(table.find("fallback: \"エラー\""), std::string::npos) << table;

    // An untranslated ERMSG_XX: the fallback in the reference language, not nothing.
    Write("xx.po", Translate({{"ERMSG_00", "Bourrage"}}));
    ASSERT_EQ(Run({"compile-po", Path("xx.po"), "-o", Path("xx.zwx")}), ZWX_EXIT_OK) << io_.err;
    ASSERT_EQ(Run({"check", Path("xx.zwx")}), ZWX_EXIT_OK) << io_.out;
    table = TableOf(io_.out);
    EXPECT_EQ(table.substr(table.find("code  1:")), expected.substr(expected.find("code  1:")));

    EXPECT_EQ(
        Run({"compile-po", Path("ja.po"), "--codepage", "932", "-o", Path("s.zwx"), "--check"}),
        ZWX_EXIT_FINDINGS);
    EXPECT_NE(io_.err.find(": error: ERMSG_02 is fuzzy"), std::string::npos) << io_.err;
    EXPECT_EQ(Run({"compile-po", Path("ja.po"), "--codepage", "1250", "-o", Path("s.zwx")}),
              ZWX_EXIT_FINDINGS);
    EXPECT_NE(io_.err.find(": in the translation of ERMSG_00: \"用\" (U+7528) has no mapping in "
                           "code page 1250"),
              std::string::npos)
        << io_.err;
    EXPECT_EQ(Read("s.zwx"), "");

    for (const std::string &bad :
         {std::string("msgid \"no context\"\nmsgstr \"x\"\n"),
          std::string("msgctxt \"ERMSG_00\"\nmsgid \"a\"\nmsgid_plural \"b\"\nmsgstr[0] \"x\"\n"),
          std::string("msgctxt \"ERMSG_00\"\nmsgid \"a\"\nmsgstr \"x\"\n\nmsgctxt \"ermsg_00\"\n"
                      "msgid \"b\"\nmsgstr \"y\"\n"),
          std::string("msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n\n"
                      "msgctxt \"ERMSG_00\"\nmsgid \"a\"\nmsgstr \"\xE9\"\n"),
          std::string("msgctxt \"ERMSG_00\"\nmsgid \"a\"\nmsgstr \"") + std::string(290, 'x') +
              "\"\n"}) {
        Write("bad.po", bad);
        EXPECT_EQ(Run({"compile-po", Path("bad.po"), "-o", Path("bad.zwx")}), ZWX_EXIT_FINDINGS)
            << bad;
        EXPECT_NE(io_.err.find("bad.po"), std::string::npos) << io_.err;
    }
}

// Each finding names the line of the string it is about, as gettext's tools
// do, not the first comment line of its entry.
TEST_F(PoCommandTest, FindingsNameTheLineOfTheirMsgidOrMsgstr) {
    Write("p.po",
          "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"           // 1
          "# a comment\n#. code 0\nmsgctxt \"ERMSG_00\"\nmsgid \"a\"\nmsgstr \"\"\n\n"      // 4
          "# a comment\nmsgid \"no context\"\nmsgstr \"x\"\n\n"                             // 10
          "#. code 1\nmsgctxt \"ERMSG_01\"\nmsgid \"b\"\nmsgstr \"\"\n\"\xE7\x94\xA8\"\n\n" // 14
          "#, fuzzy\nmsgctxt \"ERMSG_02\"\nmsgid \"\xE7\x94\xA8\"\nmsgstr \"c\"\n");        // 20
    EXPECT_EQ(Run({"compile-po", Path("p.po"), "--codepage", "1252", "-o", Path("p.zwx")}),
              ZWX_EXIT_FINDINGS);
    for (const char *finding :
         {"p.po:8: warning: ERMSG_00 is untranslated", "p.po:11: an entry without msgctxt",
          "p.po:17: in the translation of ERMSG_01",
          "p.po:22: in the reference text of ERMSG_02"}) {
        EXPECT_NE(io_.err.find(finding), std::string::npos) << finding << "\n" << io_.err;
    }
}

TEST_F(PoCommandTest, CompareListsMissingExtraUntranslatedFuzzyAndOutdated) {
    std::string po = Translate({{"ERMSG_00", "Papier"}, {"ERMSG_02", "deux"}, {"ERMSG_03", "x"}});
    po.insert(po.find("msgctxt \"ERMSG_02\""), "#, fuzzy\n");
    po.replace(po.find("msgid \"Text 3\""), 14, "msgid \"Old 3\"");
    const size_t cut = po.find("#. code 15");
    po.erase(cut, po.find("#. the fallback") - cut);
    po += "\nmsgctxt \"ERMSG_99\"\nmsgid \"x\"\nmsgstr \"y\"\n";
    Write("fr.po", po);
    EXPECT_EQ(Run({"compare-po", Path("en.zwx"), Path("fr.po")}), ZWX_EXIT_FINDINGS);
    for (const char *line :
         {": fuzzy: ERMSG_02 (code 2), the reference text is used\n",
          ": untranslated: ERMSG_01 (code 1)\n",
          ": outdated: ERMSG_03 (code 3): the reference text is now \"Text 3\"\n",
          ": extra: ERMSG_99 is not in the reference\n", ": missing: ERMSG_15 (code 15)\n",
          ": 1 of 17 translated, 17 to look at\n"}) {
        EXPECT_NE(io_.out.find(line), std::string::npos) << line << io_.out;
    }
    // A translation that is complete compares clean, against the template too.
    std::vector<uint8_t> de =
        Zwx_Build({{"QORBA_ErrMsg", TestCatalogue("Texte ", "Ersatz")}}, nullptr);
    Zwx_SetCodePage(&de, 1252);
    Write("de.zwx", de);
    ASSERT_EQ(
        Run({"export-po", Path("en.zwx"), "--translation", Path("de.zwx"), "-o", Path("de.po")}),
        ZWX_EXIT_OK);
    EXPECT_EQ(Run({"compare-po", Path("en.zwx"), Path("de.po")}), ZWX_EXIT_OK) << io_.out;
    ASSERT_EQ(Run({"export-po", Path("en.zwx"), "-o", Path("en.pot")}), ZWX_EXIT_OK);
    EXPECT_EQ(Run({"compare-po", Path("en.pot"), Path("de.po")}), ZWX_EXIT_OK) << io_.out;
    EXPECT_NE(io_.out.find(": 17 of 17 translated\n"), std::string::npos) << io_.out;

    // compile-po stores the reference text for what is fuzzy or untranslated:
    // exported again, a text identical to its reference is fuzzy, so a
    // round trip through data files keeps what still needs a translator.
    Write("half.po", Translate({{"ERMSG_00", "Papier"}}));
    ASSERT_EQ(Run({"compile-po", Path("half.po"), "-o", Path("half.zwx")}), ZWX_EXIT_OK) << io_.err;
    ASSERT_EQ(Run({"export-po", Path("en.zwx"), "--translation", Path("half.zwx"), "-o",
                   Path("half2.po")}),
              ZWX_EXIT_OK)
        << io_.err;
    const PoFile again = Po_Parse(Read("half2.po"), "half2.po");
    size_t fuzzy = 0;
    for (const PoEntry &entry : again.entries) {
        fuzzy += entry.fuzzy ? 1 : 0;
        EXPECT_EQ(entry.fuzzy, entry.hasContext && entry.context != "ERMSG_00") << entry.context;
    }
    EXPECT_EQ(fuzzy, 16u);
    EXPECT_EQ(Run({"compare-po", Path("en.zwx"), Path("half2.po")}), ZWX_EXIT_FINDINGS);
    EXPECT_NE(io_.out.find(": 1 of 17 translated, 16 to look at\n"), std::string::npos) << io_.out;
}

TEST_F(PoCommandTest, CompareFindingsAreOneLineWithPoEscapes) {
    std::string po = Translate({{"ERMSG_01", "Deckel"}});
    const size_t id = po.find("msgid \"\"\n\"Cover open:");
    po.replace(id, po.find("msgstr", id) - id, "msgid \"Cover open\"\n");
    Write("de.po", po);
    EXPECT_EQ(Run({"compare-po", Path("en.zwx"), Path("de.po")}), ZWX_EXIT_FINDINGS);
    EXPECT_NE(io_.out.find(": outdated: ERMSG_01 (code 1): the reference text is now "
                           "\"Cover open:\\nclose \\\"it\\\"\"\n"),
              std::string::npos)
        << io_.out;
}

// True when text holds no control character but the line feed, and is
// valid UTF-8 without C1 controls: safe to print on a terminal.
bool SafeForATerminal(const std::string &text) {
    for (size_t at = 0; at < text.size(); ++at) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if ((c < 0x20 && c != '\n') || c == 0x7F) {
            return false;
        }
        if (c == 0xC2 && at + 1 < text.size() && static_cast<unsigned char>(text[at + 1]) <= 0x9F) {
            return false;
        }
        if (c >= 0x80 && (c < 0xC2 || c > 0xF4)) {
            return false; // a stray continuation byte, or no UTF-8 lead byte
        }
    }
    return true;
}

// Keys and texts from a PO file or a data file reach the terminal escaped:
// ESC, BEL and C1 controls, and bytes that are not UTF-8, as \ooo.
TEST_F(PoCommandTest, FindingsCarryNoControlCharacterOrInvalidByte) {
    std::string po = Translate({{"ERMSG_00", "Papierstau"}});
    po += "\nmsgctxt \"E\\033]0;title\\a\"\nmsgid \"x\"\nmsgstr \"\"\n";
    // A C1 control; a byte that is no UTF-8 cannot come from a PO file, whose
    // escapes must make UTF-8 (the data file below has one).
    po += "\nmsgctxt \"\xc2\x9b\"\nmsgid \"x\"\nmsgstr \"y\"\n";
    Write("de.po", po);
    EXPECT_EQ(Run({"compile-po", Path("de.po"), "-o", Path("de.zwx")}), ZWX_EXIT_FINDINGS);
    EXPECT_TRUE(SafeForATerminal(io_.err)) << io_.err;
    EXPECT_NE(io_.err.find(": E\\033]0;title\\a is untranslated"), std::string::npos) << io_.err;
    EXPECT_NE(io_.err.find(": in the key \\302\\233: "), std::string::npos) << io_.err;
    EXPECT_EQ(Run({"compare-po", Path("en.zwx"), Path("de.po")}), ZWX_EXIT_FINDINGS);
    EXPECT_TRUE(SafeForATerminal(io_.out)) << io_.out;
    EXPECT_NE(io_.out.find(": extra: E\\033]0;title\\a is not in the reference"), std::string::npos)
        << io_.out;
    EXPECT_NE(io_.out.find(": extra: \\302\\233 is not in the reference"), std::string::npos)
        << io_.out;

    // A key in a data file that is left out of a PO file.
    std::vector<uint8_t> data =
        Zwx_Build({{"QORBA_ErrMsg", {{"ERMSG_00", "Paper jam"}, {"ERMSG_01", ""}}}}, nullptr);
    Write("tr.zwx",
          Zwx_Build({{"QORBA_ErrMsg", {{"ERMSG_00", "a"}, {"ERMSG_XX", "\x1b[2J"}}}}, nullptr));
    Write("ref.zwx", data);
    EXPECT_EQ(Run({"export-po", Path("ref.zwx"), "--translation", Path("tr.zwx")}),
              ZWX_EXIT_FINDINGS);
    EXPECT_TRUE(SafeForATerminal(io_.err)) << io_.err;
}

TEST_F(PoCommandTest, ExportThatLeavesATextOutExitsOne) {
    std::vector<uint8_t> holes = Zwx_Build(
        {{"QORBA_ErrMsg", {{"ERMSG_00", "Paper jam"}, {"ERMSG_01", ""}, {"ERMSG_02", "a\x01z"}}}},
        nullptr);
    Write("holes.zwx", holes);
    EXPECT_EQ(Run({"export-po", Path("holes.zwx"), "-o", Path("holes.pot")}), ZWX_EXIT_FINDINGS);
    EXPECT_NE(io_.err.find("(ERMSG_01): left out: it loads as the empty text\n"), std::string::npos)
        << io_.err;
    EXPECT_NE(io_.err.find("zwx: " + Path("holes.pot") + ": 2 texts were left out\n"),
              std::string::npos)
        << io_.err;
    EXPECT_NE(Read("holes.pot").find("msgid \"Paper jam\""), std::string::npos);
    // A translation with a key the reference lacks.
    EXPECT_EQ(Run({"export-po", Path("holes.zwx"), "--translation", Path("en.zwx")}),
              ZWX_EXIT_FINDINGS);
    EXPECT_NE(io_.err.find(": ERMSG_03 is not in the reference; not exported\n"),
              std::string::npos);
    EXPECT_NE(io_.out.find("msgstr \"Text 0\""), std::string::npos) << "still written";
}

// An input that yields no message is a mistake (the wrong file, a template
// that lost every entry) unless --allow-empty asks for an empty catalogue:
// an error, and the output as it was.
TEST_F(PoCommandTest, NoMessageIsAnErrorUnlessAllowed) {
    Write("out.zwx", std::string("old"));
    Write("out.po", std::string("old"));
    const std::string pe = std::string("MZ") + std::string(300, '\0');
    std::string cut = Read("en.zwx");
    cut.resize(20);
    struct Case {
        const char *command;
        const char *name;
        std::string text;
    };
    const std::string header =
        "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n";
    for (const Case &c : std::vector<Case>{
             {"compile-po", "empty.po", ""},
             {"compile-po", "header.po", header},
             {"compile-po", "obsolete.po",
              header + "\n#~ msgctxt \"ERMSG_00\"\n#~ msgid \"a\"\n"
                       "#~ msgstr \"b\"\n"},
             {"compile", "empty.src", ""},
             {"compile", "other.src", "[Other]\nk=v\n"},
             {"compile", "nothing.src", "[QORBA_ErrMsg]\n"},
             {"export-po", "ZEDWIC_W.dll", pe},
             {"export-po", "cut.zwx", cut},
         }) {
        Write(c.name, c.text);
        const bool po = std::string(c.command) == "export-po";
        const std::string out = Path(po ? "out.po" : "out.zwx");
        EXPECT_EQ(Run({c.command, Path(c.name), "-o", out}), ZWX_EXIT_FINDINGS) << c.name;
        EXPECT_NE(io_.err.find("zwx: " + out + " not written (--allow-empty"), std::string::npos)
            << c.name << ": " << io_.err;
        EXPECT_EQ(Read(po ? "out.po" : "out.zwx"), "old") << c.name;
        EXPECT_EQ(Run({c.command, Path(c.name), "-o", out, "--allow-empty"}), ZWX_EXIT_OK)
            << c.name << ": " << io_.err;
        EXPECT_NE(Read(po ? "out.po" : "out.zwx"), "old") << c.name;
        Write(po ? "out.po" : "out.zwx", std::string("old"));
    }
    EXPECT_EQ(Run({"check", Path("en.zwx"), "--allow-empty"}), ZWX_EXIT_FAILED);
}

// CR, LF and CRLF all end a line, in PO and source files alike: a file saved
// with CR line ends compiles to the same catalogue.
TEST_F(PoCommandTest, EveryLineEndEndsALine) {
    const std::string po = Translate({{"ERMSG_00", "Papier"}, {"ERMSG_01", "Deckel"}});
    std::string cr = po;
    std::string crlf;
    for (char &c : cr) {
        c = c == '\n' ? '\r' : c;
    }
    for (char c : po) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    ASSERT_EQ(Run({"compile-po", Write("lf.po", po), "-o", Path("lf.zwx")}), ZWX_EXIT_OK);
    for (const auto &variant : {std::make_pair("cr.po", cr), std::make_pair("crlf.po", crlf)}) {
        ASSERT_EQ(Run({"compile-po", Write(variant.first, variant.second), "-o", Path("x.zwx")}),
                  ZWX_EXIT_OK)
            << variant.first << io_.err;
        EXPECT_EQ(Read("x.zwx"), Read("lf.zwx")) << variant.first;
    }
    const std::string source = "# comment\n[QORBA_ErrMsg]\nERMSG_00=a\nERMSG_XX=b\n";
    std::string crSource = source;
    for (char &c : crSource) {
        c = c == '\n' ? '\r' : c;
    }
    EXPECT_EQ(Compile(crSource), Compile(source));
}

// As msgfmt (zwx_po.cmake runs it too): a byte-order mark is refused; an
// escape that writes a byte which is no UTF-8 character is named as such.
TEST_F(PoCommandTest, ByteOrderMarksAndByteEscapesAsGettextTakesThem) {
    const std::string po = Translate({{"ERMSG_00", "Papier"}});
    Write("bom.po", "\xEF\xBB\xBF" + po);
    EXPECT_EQ(Run({"compile-po", Path("bom.po"), "-o", Path("x.zwx")}), ZWX_EXIT_FINDINGS);
    EXPECT_NE(io_.err.find(Path("bom.po") + ":1: the file starts with a UTF-8 byte-order mark"),
              std::string::npos)
        << io_.err;
    EXPECT_EQ(Run({"compare-po", Path("en.zwx"), Path("bom.po")}), ZWX_EXIT_FAILED);
    std::string latin1 = po;
    latin1.replace(latin1.find("msgstr \"Papier\""), 15, "msgstr \"Pap\\351r\"");
    Write("latin1.po", latin1);
    EXPECT_EQ(Run({"compile-po", Path("latin1.po"), "-o", Path("x.zwx")}), ZWX_EXIT_FINDINGS);
    EXPECT_NE(io_.err.find(": the escape \\351 writes a byte that is no UTF-8 character here"),
              std::string::npos)
        << io_.err;
    std::string utf8 = po;
    utf8.replace(utf8.find("msgstr \"Papier\""), 15, "msgstr \"Pap\\303\\251r\"");
    Write("utf8.po", utf8);
    EXPECT_EQ(Run({"compile-po", Path("utf8.po"), "-o", Path("x.zwx")}), ZWX_EXIT_OK) << io_.err;
    EXPECT_EQ(Run({"dump", Path("x.zwx")}), ZWX_EXIT_OK);
    EXPECT_NE(io_.out.find("ERMSG_00=Papér\n"), std::string::npos) << io_.out;
}

TEST_F(PoCommandTest, AUtf16PoFileGetsOneMessage) {
    std::string po = Translate({{"ERMSG_00", "Papier"}});
    std::string le = "\xFF\xFE";
    std::string be;
    for (char c : po) {
        le += std::string(1, c) + '\0';
        be += std::string(1, '\0') + c;
    }
    Write("le.po", le);
    Write("be.po", be);
    for (const char *name : {"le.po", "be.po"}) {
        const std::string order = name[0] == 'l' ? "UTF-16LE" : "UTF-16BE";
        const std::string message = Path(name) + ":1: the file is " + order +
                                    " (UTF-16); save it as UTF-8, for example with iconv -f " +
                                    order + " -t UTF-8\n";
        EXPECT_EQ(Run({"compile-po", Path(name), "-o", Path("out.zwx")}), ZWX_EXIT_FINDINGS);
        EXPECT_EQ(io_.err, message + "zwx: " + Path("out.zwx") + " not written\n");
        EXPECT_EQ(Run({"compare-po", Path("en.zwx"), Path(name)}), ZWX_EXIT_FAILED);
        EXPECT_EQ(io_.err, message);
    }
}

TEST_F(PoCommandTest, TheCodePageComesFromTheLanguageUnlessGivenOrRecorded) {
    const std::string body = "\nmsgctxt \"ERMSG_00\"\nmsgid \"Paper jam\"\nmsgstr \"Papier\"\n"
                             "\nmsgctxt \"ERMSG_XX\"\nmsgid \"Error\"\nmsgstr \"Fehler\"\n";
    auto po = [&](const std::string &fields) {
        return Write("t.po", "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; "
                             "charset=UTF-8\\n\"\n" +
                                 fields + body);
    };
    auto recorded = [&]() {
        EXPECT_EQ(Run({"check", Path("t.zwx")}), ZWX_EXIT_OK) << io_.out;
        const size_t at = io_.out.find("texts in code page ");
        return io_.out.substr(at + 19, io_.out.find('\n', at) - at - 19);
    };
    const struct {
        std::string fields;
        std::vector<std::string> extra;
        std::string codePage;
        std::string note;
    } cases[] = {
        {"\"Language: ru\\n\"\n",
         {},
         "1251",
         "zwx: note: " + Path("t.po") +
             ": Language ru: texts in code page 1251, its Windows ANSI code page (--codepage "
             "chooses another)\n"},
        {"\"Language: tlh\\n\"\n",
         {},
         "1252",
         "zwx: note: " + Path("t.po") +
             ": Language tlh names no code page zwx knows; texts in code page 1252 (--codepage "
             "chooses another)\n"},
        // The record wins: it is the code page of the data file the texts came from.
        {"\"Language: ru\\n\"\n\"X-Zwx-Codepage: 1250\\n\"\n",
         {},
         "1250",
         "zwx: note: " + Path("t.po") +
             ": X-Zwx-Codepage 1250 wins over Language ru (code page 1251): it records the code "
             "page of the data file the texts came from (--codepage chooses another)\n"},
        {"\"Language: ru\\n\"\n\"X-Zwx-Codepage: 1251\\n\"\n", {}, "1251", ""},
        {"\"Language: ru\\n\"\n", {"--codepage", "1253"}, "1253", ""},
        {"\"X-Zwx-Codepage: 1250\\n\"\n",
         {"--codepage", "1253"},
         "1253",
         "zwx: note: " + Path("t.po") +
             " records code page 1250; its texts are written in 1253, as --codepage says\n"},
        {"\"Language: \\n\"\n", {}, "1252", ""},
    };
    for (const auto &c : cases) {
        po(c.fields);
        std::vector<std::string> args = {"compile-po", Path("t.po"), "-o", Path("t.zwx")};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        ASSERT_EQ(Run(args), ZWX_EXIT_OK) << c.fields << io_.err;
        EXPECT_EQ(io_.err, c.note) << c.fields;
        EXPECT_EQ(recorded(), c.codePage) << c.fields;
    }
    // A record is digits and nothing else.
    for (const char *bad : {"1252x", "1200", "-1252", "0x4E4"}) {
        po(std::string("\"X-Zwx-Codepage: ") + bad + "\\n\"\n");
        EXPECT_EQ(Run({"compile-po", Path("t.po"), "-o", Path("bad.zwx")}), ZWX_EXIT_FINDINGS)
            << bad;
        EXPECT_NE(io_.err.find("; give --codepage\n"), std::string::npos) << io_.err;
    }
    po("\"X-Zwx-Codepage: 1252x\\n\"\n");
    EXPECT_EQ(Run({"compile-po", Path("t.po"), "-o", Path("bad.zwx")}), ZWX_EXIT_FINDINGS);
    EXPECT_NE(io_.err.find(": X-Zwx-Codepage needs a code page number, not \"1252x\""),
              std::string::npos)
        << io_.err;
}

} // namespace
