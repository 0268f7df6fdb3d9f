// What differs between the processors the library is built for: the byte
// order of the machine (the file's fields are little-endian on every one),
// records at offsets of any alignment (ARM64 traps some unaligned accesses
// that x64 allows), and whether char is signed (it is on x64, not on ARM64
// Linux): the answers must be the same everywhere. These run natively, as
// aarch64 programs under qemu, and in every Windows build.
#include "catalogue.h"
#include "datafile.h"
#include "errmsg.h"
#include "readmode.h"
#include "zwxwrite.h"

#include <cstring>
#include <string>

namespace {

TEST(PortabilityTest, FieldsAreLittleEndianAtEveryAlignment) {
    uint8_t buffer[16] = {};
    for (size_t at = 0; at < 8; ++at) {
        std::memset(buffer, 0xAA, sizeof buffer);
        const uint8_t field[4] = {0x78, 0x56, 0x34, 0xF2};
        std::memcpy(buffer + at, field, sizeof field);
        EXPECT_EQ(DataFile_GetU32(buffer + at), 0xF2345678u) << at;
    }
}

TEST(PortabilityTest, NamesFoldTheCaseOfAsciiLettersOnly) {
    EXPECT_TRUE(DataFile_NamesEqual("Qorba_Err\xE9", "QORBA_ERR\xE9"));
    // Bytes above 0x7F are negative where char is signed; none is a letter here.
    EXPECT_FALSE(DataFile_NamesEqual("\xC9", "\xE9")); // two cases of one letter in 1252
    EXPECT_FALSE(DataFile_NamesEqual("\xFF", "\xDF")); // 0x20 apart, as ASCII cases are
    EXPECT_FALSE(DataFile_NamesEqual("\x80", "\x80\x80"));
    EXPECT_FALSE(DataFile_NamesEqual("a\x80", "a"));
}

class PortableFileTest : public ReadModeTest {
  protected:
    void TearDown() override {
        ErrMsg_Free();
        ReadModeTest::TearDown();
    }
    void Load(const std::vector<uint8_t> &bytes) {
        DataFile *file = DataFile_Open(Write(bytes).c_str());
        ASSERT_NE(file, nullptr);
        ErrMsg_Load(file);
        DataFile_Close(file);
    }
};

// Every byte from 0x01 to 0xFF in a text, through the same file at each
// alignment of its records: the text comes back whole and the same.
TEST_P(PortableFileTest, RecordsAtAnyAlignmentAndHighBytesReadTheSame) {
    std::string everyByte;
    for (int b = 0x80; b <= 0xFF; ++b) {
        everyByte += static_cast<char>(b);
    }
    for (int b = 0x01; b < 0x80; ++b) {
        everyByte += static_cast<char>(b);
    }
    const std::string text = everyByte.substr(0, 200);
    for (uint32_t shift = 0; shift < 4; ++shift) {
        SCOPED_TRACE(shift);
        // An empty section first, at 8 as the format has it; ours behind it,
        // shifted, and its entries and strings at odd offsets.
        const uint32_t section = DATAFILE_FIRST_SECTION + DATAFILE_SECTION_RECORD_SIZE + shift;
        const uint32_t entries = section + DATAFILE_SECTION_RECORD_SIZE + 1;
        std::vector<uint8_t> bytes = RawFile(4096, section + DATAFILE_SECTION_RECORD_SIZE);
        RawFile_PutSection(&bytes, DATAFILE_FIRST_SECTION, "Empty", 0, section, 0);
        RawFile_PutSection(&bytes, section, "QORBA_ErrMsg", entries, 0xFFFFFFFFu, 2);
        const uint32_t strings = entries + 2 * DATAFILE_ENTRY_SIZE + 3;
        RawFile_PutEntries(&bytes, entries, strings,
                           {{"ERMSG_01", text}, {"ERMSG_XX", "fallback \xE9"}}, 0);
        Load(bytes);
        EXPECT_EQ(std::string(VOLQUAD_GetErrorMsg(1)), text);
        EXPECT_STREQ(VOLQUAD_GetErrorMsg(2), "fallback \xE9");
        ErrMsg_Free();
    }
}

INSTANTIATE_TEST_SUITE_P(BothModes, PortableFileTest, BOTH_READ_MODES);

} // namespace
