// zwx check: the table the library loads, and the warnings about it.
#include "catalogue.h"
#include "zwxtest.h"

namespace {

class CheckTest : public ZwxTest {
  protected:
    int Check(const std::vector<uint8_t> &file) {
        Write("check.zwx", file);
        return Run({"check", Path("check.zwx")});
    }
    bool Says(const std::string &text) const {
        return io_.out.find(text) != std::string::npos;
    }
};

TEST_F(CheckTest, CleanFileShowsEveryCodeAndExitsZero) {
    EXPECT_EQ(
        Check(Zwx_Build({{"Other", {{"x", "y"}}}, {"QORBA_ErrMsg", TestCatalogue()}}, nullptr)),
        ZWX_EXIT_OK)
        << io_.out;
    EXPECT_TRUE(Says("message section at 0x48\n"));
    EXPECT_TRUE(Says("code  5: \"text 5\"\ncode  6: \"text 6\"\n"));
    EXPECT_TRUE(Says("fallback: \"fallback\"\n"));
    EXPECT_TRUE(Says(": no warnings\n"));
}

TEST_F(CheckTest, WarnsAboutWhatAMaintainerMustFix) {
    ZwxLayout layout;
    std::vector<uint8_t> file = Zwx_Build({{"QORBA_ErrMsg",
                                            {{"ERMSG_03", "first"},
                                             {"ERMSG_16", "no slot"},
                                             {"ermsg_03", "second"},
                                             {"ERMSG_07", ""},
                                             {"ERMSG_08", "to be made too long"},
                                             {std::string(130, 'K'), "long key"},
                                             {"", "empty key"},
                                             {"ERMSG_\"1\n", "x"}}}},
                                          &layout);
    file.insert(file.end(), 300, 'v');
    file.push_back(0);
    Zwx_PutU32(&file, layout.entryOffsets[0][4] + DATAFILE_ENTRY_VALUE,
               static_cast<uint32_t>(file.size() - 301));
    EXPECT_EQ(Check(file), ZWX_EXIT_FINDINGS);
    for (const char *warning :
         {"warning: entry 2 (\"ERMSG_16\"): fills no slot",
          "warning: entry 3 (\"ermsg_03\"): repeats the key of entry 1, whose text is the one "
          "loaded",
          "warning: entry 4 (\"ERMSG_07\"): the value is empty; code 7 loads as the empty text, "
          "not the fallback",
          "warning: entry 5 (\"ERMSG_08\"): the value has no NUL within 290 bytes (too long to "
          "load); code 8 loads as the empty text",
          "warning: entry 6: the key is 130 bytes; keys of more than 127 are not read; the "
          "library skips the entry",
          "warning: entry 7: the key is empty",
          // Quotes and line breaks escaped: one line per finding.
          "warning: entry 8 (\"ERMSG_\\\"1\\n\"): fills no slot", "warning: no ERMSG_XX",
          ": 8 warnings\n"}) {
        EXPECT_TRUE(Says(warning)) << warning << "\n" << io_.out;
    }
    EXPECT_TRUE(Says("code  3: \"first\"\n")) << io_.out;
    EXPECT_TRUE(Says("code  7: \"\"\n"));
    EXPECT_TRUE(Says("code  9: \"\"  (no text)\n"));
    EXPECT_TRUE(Says("fallback: none"));
}

TEST_F(CheckTest, MissingOrRepeatedMessageSection) {
    EXPECT_EQ(Check(Zwx_Build({{"QORBA_ErrMsg ", TestCatalogue()}, {"Other", {}}}, nullptr)),
              ZWX_EXIT_FINDINGS);
    EXPECT_TRUE(Says("no message section\n"));
    EXPECT_TRUE(Says("code  0: \"\"  (no text)"));
    EXPECT_TRUE(Says("warning: no section \"QORBA_ErrMsg\": every code gets the empty string "
                     "(sections found: \"QORBA_ErrMsg\\s\", \"Other\")"))
        << io_.out;

    EXPECT_EQ(Check(Zwx_Build({{"QORBA_ErrMsg", TestCatalogue()},
                               {"qorba_errmsg", {{"ERMSG_00", "never read"}}}},
                              nullptr)),
              ZWX_EXIT_FINDINGS);
    EXPECT_TRUE(
        Says("warning: the section at 0x48 is named \"qorba_errmsg\" too and is never read"));
    EXPECT_TRUE(Says("code  0: \"text 0\""));
}

TEST_F(CheckTest, BrokenEntryChains) {
    ZwxLayout layout;
    std::vector<uint8_t> file = Zwx_Build({{"QORBA_ErrMsg", TestCatalogue()}}, &layout);
    const uint32_t countField = layout.sectionOffsets[0] + DATAFILE_SECTION_COUNT;
    Zwx_PutU32(&file, countField, 0xFFFFFFFFu);
    Zwx_PutU32(&file, layout.entryOffsets[0][16] + DATAFILE_ENTRY_NEXT, layout.entryOffsets[0][10]);
    EXPECT_EQ(Check(file), ZWX_EXIT_FINDINGS);
    EXPECT_TRUE(Says("warning: the entry chain loops back to a record it has read at 0x"));
    EXPECT_TRUE(Says("after 17 of 4294967295 entries")) << io_.out;
    EXPECT_TRUE(Says("fallback: \"fallback\"")) << "the library loads what it met";

    Zwx_PutU32(&file, countField, 17);
    Zwx_PutU32(&file, layout.entryOffsets[0][4] + DATAFILE_ENTRY_NEXT, 0x7FFFFFF0u);
    EXPECT_EQ(Check(file), ZWX_EXIT_FINDINGS);
    EXPECT_TRUE(Says("the entry chain leaves the file at 0x7FFFFFF0 after 5 of 17 entries"));
    EXPECT_TRUE(Says("code  5: \"\"  (no text)"));
}

} // namespace
