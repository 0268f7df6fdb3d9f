// Section lookup: matching names, the section limit, and chains that wander.
#include "datafile.h"
#include "readmode.h"
#include "zwxwrite.h"

#include <cstring>

namespace {

class SectionTest : public ReadModeTest {
  protected:
    uint32_t Find(const std::vector<uint8_t> &bytes, const char *name = "QORBA_ErrMsg") {
        DataFile *file = DataFile_Open(Write(bytes).c_str());
        EXPECT_NE(file, nullptr);
        if (file == nullptr) {
            return 0xBADu;
        }
        uint32_t found = DataFile_FindSection(file, name);
        DataFile_Close(file);
        return found;
    }
    // Bytes of a file whose records sit wherever the test puts them.
    static std::vector<uint8_t> Header(uint32_t limit, size_t size) {
        std::vector<uint8_t> bytes(size, 0);
        Zwx_PutU32(&bytes, DATAFILE_HEADER_LIMIT, limit);
        return bytes;
    }
    static void PutRecord(std::vector<uint8_t> *bytes, uint32_t at, const char *name,
                          uint32_t next) {
        memcpy(bytes->data() + at, name, strlen(name));
        Zwx_PutU32(bytes, at + DATAFILE_SECTION_NEXT, next);
    }
};

TEST_P(SectionTest, NamesMatchWholeIgnoringAsciiCase) {
    std::vector<uint8_t> file = Zwx_Build({{"qorba_errmsg", {}}}, nullptr);
    EXPECT_EQ(Find(file), 8u);
    EXPECT_EQ(Find(Zwx_Build({{"QORBA_ErrMsgs", {}}}, nullptr)), 0u);
    EXPECT_EQ(Find(Zwx_Build({{"QORBA_ErrMs", {}}}, nullptr)), 0u);
    EXPECT_EQ(Find(Zwx_Build({{"Other", {}}, {"QORBA_ERRMSG", {}}}, nullptr)), 72u);
    // Only ASCII letters fold: a Latin-1 capital is another character.
    EXPECT_EQ(Find(Zwx_Build({{"caf\xC9", {}}}, nullptr), "caf\xE9"), 0u);
}

TEST_P(SectionTest, ShortFilesAndZeroLimitFindNothing) {
    std::vector<uint8_t> file = Zwx_Build({{"QORBA_ErrMsg", {}}}, nullptr);
    file.resize(59); // no whole 52-byte record at 8
    EXPECT_EQ(Find(file), 0u);
    file = Zwx_Build({{"QORBA_ErrMsg", {}}}, nullptr);
    Zwx_PutU32(&file, DATAFILE_HEADER_LIMIT, 0);
    EXPECT_EQ(Find(file), 0u);
    Zwx_PutU32(&file, DATAFILE_HEADER_LIMIT, 8);
    EXPECT_EQ(Find(file), 0u) << "a match at 8 still needs a limit above 8";
    Zwx_PutU32(&file, DATAFILE_HEADER_LIMIT, 9);
    EXPECT_EQ(Find(file), 8u);
    EXPECT_EQ(Find({}), 0u);
}

TEST_P(SectionTest, TheLimitBoundsTheChain) {
    std::vector<uint8_t> file = Header(201, 300);
    PutRecord(&file, 8, "First", 200);
    PutRecord(&file, 200, "QORBA_ErrMsg", 0);
    EXPECT_EQ(Find(file), 200u);
    Zwx_PutU32(&file, DATAFILE_HEADER_LIMIT, 200);
    EXPECT_EQ(Find(file), 0u) << "a next field equal to the limit ends the walk";
}

TEST_P(SectionTest, ChainsMayPointBackwards) {
    std::vector<uint8_t> file = Header(1000, 1000);
    PutRecord(&file, 8, "A", 600);
    PutRecord(&file, 600, "B", 300);
    PutRecord(&file, 300, "C", 100);
    PutRecord(&file, 100, "QORBA_ErrMsg", 0);
    EXPECT_EQ(Find(file), 100u);
    EXPECT_EQ(Find(file, "C"), 300u);
}

TEST_P(SectionTest, NameFieldWithoutNulMatchesNothing) {
    std::vector<uint8_t> file = Header(500, 400);
    PutRecord(&file, 8, "QORBA_ErrMsgQORBA_ErrMsgQORBA_Er", 200); // 32 bytes, no NUL
    PutRecord(&file, 200, "QORBA_ErrMsg", 0);
    EXPECT_EQ(Find(file), 200u);
    EXPECT_EQ(Find(file, "QORBA_ErrMsgQORBA_ErrMsgQORBA_Er"), 0u);
}

TEST_P(SectionTest, ZeroNextReadsTheHeaderAsARecord) {
    // The header's own bytes spell the name: found at 0, which means not found.
    std::vector<uint8_t> file(200, 0);
    memcpy(file.data(), "QORBA_ErrMsg", 12); // limit = "A_Er", far above 0
    EXPECT_EQ(Find(file), 0u);
    EXPECT_EQ(Find(file, "rMsg"), 8u);
}

TEST_P(SectionTest, CyclesEndTheWalk) {
    std::vector<uint8_t> file = Header(1000, 1000);
    PutRecord(&file, 8, "A", 100);
    PutRecord(&file, 100, "B", 200);
    PutRecord(&file, 200, "C", 300);
    PutRecord(&file, 300, "D", 100);
    EXPECT_EQ(Find(file), 0u);
    EXPECT_EQ(Find(file, "D"), 300u) << "every record of the cycle is still visited";
    PutRecord(&file, 8, "A", 8); // a record that names itself
    EXPECT_EQ(Find(file), 0u);
}

INSTANTIATE_TEST_SUITE_P(BothModes, SectionTest, BOTH_READ_MODES);

} // namespace
