// The message table: what each code answers after loading a data file.
#include "catalogue.h"
#include "errmsg.h"
#include "readmode.h"
#include "zwxwrite.h"

#include <string>

namespace {

class ErrMsgTest : public ReadModeTest {
  protected:
    void TearDown() override {
        ErrMsg_Free();
        EXPECT_EQ(FaultyIo_Counts().blocks, 0u) << "every block released";
        EXPECT_EQ(FaultyIo_Counts().handles, 0u);
        ReadModeTest::TearDown();
    }
    void Load(const std::vector<uint8_t> &bytes) {
        DataFile *file = DataFile_Open(Write(bytes).c_str());
        ASSERT_NE(file, nullptr);
        ErrMsg_Load(file);
        DataFile_Close(file);
    }
    void Load(const std::vector<ZwxSection> &sections) {
        Load(Zwx_Build(sections, nullptr));
    }
};

TEST_P(ErrMsgTest, EveryCodeFindsItsTextAndOthersTheFallback) {
    Load({{"Other", {{"ERMSG_00", "not this one"}}}, {"QORBA_ErrMsg", TestCatalogue()}});
    for (int code = 0; code < 16; ++code) {
        EXPECT_EQ(std::string(VOLQUAD_GetErrorMsg(code)), "text " + std::to_string(code));
    }
    for (int code : {16, 99, -1, INT32_MIN, INT32_MAX}) {
        EXPECT_STREQ(VOLQUAD_GetErrorMsg(code), "fallback") << code;
    }
    EXPECT_EQ(VOLQUAD_GetErrorMsg(3), VOLQUAD_GetErrorMsg(3)) << "a stable pointer";
}

TEST_P(ErrMsgTest, NoSectionOrNoFileGivesEmptyStrings) {
    Load({{"Something_Else", TestCatalogue()}});
    ErrMsg_Load(nullptr);
    for (int code : {0, 5, 15, 16, 99, -1}) {
        EXPECT_STREQ(VOLQUAD_GetErrorMsg(code), "") << code;
    }
}

TEST_P(ErrMsgTest, MissingCodesFallBackOrStayEmpty) {
    Load({{"QORBA_ErrMsg", {{"ERMSG_04", "four"}, {"ERMSG_XX", "fallback"}}}});
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(4), "four");
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(5), "fallback");
    ErrMsg_Free();
    Load({{"QORBA_ErrMsg", {{"ERMSG_04", "four"}}}});
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(5), "");
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(99), "");
}

TEST_P(ErrMsgTest, KeysMatchWholeIgnoringCaseAndTheFirstWins) {
    Load({{"QORBA_ErrMsg",
           {{"ermsg_05", "lower-case key"},
            {"ERMSG_03", "first"},
            {"ERMSG_03", "second"},
            {"ERMSG_16", "no such slot"},
            {"ERMSG_5", "one digit"},
            {"ERMSG_077", "three digits"},
            {"ERMSG_07 ", "trailing space"},
            {"", "empty key"},
            {"ermsg_xx", "fallback"}}}});
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(5), "lower-case key");
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(3), "first");
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(16), "fallback");
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(7), "fallback");
    for (const ErrMsgSlot *slot = ErrMsgTable; slot->key[0] != '\0'; ++slot) {
        const bool expected = slot == &ErrMsgTable[3] || slot == &ErrMsgTable[5] ||
                              slot == &ErrMsgTable[ERRMSG_FALLBACK_SLOT];
        EXPECT_EQ(slot->text != nullptr, expected) << slot->key;
    }
}

TEST_P(ErrMsgTest, UnreadableValueLoadsAsEmptyTextNotTheFallback) {
    ZwxLayout layout;
    std::vector<uint8_t> file = Zwx_Build(
        {{"QORBA_ErrMsg", {{"ERMSG_XX", "fallback"}, {"ERMSG_07", "x"}, {"ERMSG_08", "y"}}}},
        &layout);
    // ERMSG_07's value runs 290 characters without a NUL; ERMSG_08's lies past the end.
    const uint32_t longValue = static_cast<uint32_t>(file.size());
    file.insert(file.end(), 300, 'v');
    Zwx_PutU32(&file, layout.entryOffsets[0][1] + DATAFILE_ENTRY_VALUE, longValue);
    Zwx_PutU32(&file, layout.entryOffsets[0][2] + DATAFILE_ENTRY_VALUE, 0x80000000u);
    Load(file);
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(7), "");
    ASSERT_NE(ErrMsgTable[7].text, nullptr);
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(8), "") << "nothing there: the empty string";
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(9), "fallback");
}

TEST_P(ErrMsgTest, OverlongKeysMatchNothing) {
    const std::string longKey = "ERMSG_01" + std::string(200, ' ');
    Load({{"QORBA_ErrMsg", {{longKey, "long"}, {std::string(127, 'k'), "127"}}}});
    for (int code = 0; code < 17; ++code) {
        EXPECT_STREQ(VOLQUAD_GetErrorMsg(code), "") << code;
    }
}

TEST_P(ErrMsgTest, TheEntryCountBoundsTheWalk) {
    ZwxLayout layout;
    std::vector<uint8_t> file = Zwx_Build(
        {{"QORBA_ErrMsg", {{"ERMSG_00", "a"}, {"ERMSG_01", "b"}, {"ERMSG_02", "c"}}}}, &layout);
    const uint32_t countField = layout.sectionOffsets[0] + DATAFILE_SECTION_COUNT;
    Zwx_PutU32(&file, countField, 2);
    Load(file);
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(1), "b");
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(2), "") << "the third entry is past the count";
    ErrMsg_Free();
    Zwx_PutU32(&file, countField, 0);
    Load(file);
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(0), "") << "count 0 loads nothing";
}

TEST_P(ErrMsgTest, CyclingChainWithHugeCountLoadsWhatItMeets) {
    ZwxLayout layout;
    std::vector<uint8_t> file = Zwx_Build(
        {{"QORBA_ErrMsg", {{"ERMSG_00", "a"}, {"ERMSG_01", "b"}, {"ERMSG_02", "c"}}}}, &layout);
    Zwx_PutU32(&file, layout.sectionOffsets[0] + DATAFILE_SECTION_COUNT, 0xFFFFFFFFu);
    Zwx_PutU32(&file, layout.entryOffsets[0][2] + DATAFILE_ENTRY_NEXT, layout.entryOffsets[0][1]);
    Load(file);
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(0), "a");
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(2), "c");
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(3), "");
}

TEST_P(ErrMsgTest, ChainRunningOffTheFileReadsZeroEntries) {
    // Past the end an entry reads as zeros: key and value at offset 0, the
    // next entry at 0, and so on; the walk must still end.
    ZwxLayout layout;
    std::vector<uint8_t> file =
        Zwx_Build({{"QORBA_ErrMsg", {{"ERMSG_00", "a"}, {"ERMSG_01", "b"}}}}, &layout);
    Zwx_PutU32(&file, layout.sectionOffsets[0] + DATAFILE_SECTION_COUNT, 0xFFFFFFFFu);
    Zwx_PutU32(&file, layout.entryOffsets[0][1] + DATAFILE_ENTRY_NEXT, 0xFFFFFFF0u);
    Load(file);
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(1), "b");
}

TEST_P(ErrMsgTest, SecondLoadOnlyFillsEmptySlots) {
    Load({{"QORBA_ErrMsg", {{"ERMSG_00", "first load"}}}});
    Load({{"QORBA_ErrMsg", {{"ERMSG_00", "second load"}, {"ERMSG_01", "new"}}}});
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(0), "first load");
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(1), "new");
    ErrMsg_Free();
    ErrMsg_Free();
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(0), "");
}

INSTANTIATE_TEST_SUITE_P(BothModes, ErrMsgTest, BOTH_READ_MODES);

} // namespace
