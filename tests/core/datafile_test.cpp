// The reader: every mode answers alike (a file in memory, a file through its
// handle, bytes held in memory), at and past the end, and for strings.
#include "datafile.h"
#include "readmode.h"

#include <cstring>

namespace {

// The literal's bytes, embedded NULs included, without the final NUL.
template <size_t N> std::vector<uint8_t> Bytes(const char (&text)[N]) {
    return std::vector<uint8_t>(text, text + N - 1);
}

class DataFileTest : public ReadModeTest {
  protected:
    DataFile *Open(const std::vector<uint8_t> &bytes) {
        held_ = bytes;
        DataFile *file =
            GetParam() == ReadMode::Bytes
                ? DataFile_OpenAs(nullptr, held_.data(), static_cast<uint32_t>(held_.size()), 0)
                : DataFile_Open(Write(bytes).c_str());
        EXPECT_NE(file, nullptr);
        if (file != nullptr && !bytes.empty()) {
            EXPECT_EQ(DataFile_InMemory(file), GetParam() == ReadMode::Image);
        }
        return file;
    }
    std::vector<uint8_t> held_; // the bytes a reader over memory reads
};

TEST_P(DataFileTest, EmptyFileReadsNothingAndEmptyStrings) {
    DataFile *file = Open({});
    ASSERT_NE(file, nullptr);
    uint8_t buffer[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(DataFile_ReadAt(file, buffer, 8, 0), 0u);
    EXPECT_EQ(DataFile_ReadAt(file, buffer, 8, 100), 0u);
    EXPECT_EQ(buffer[0], 1);
    char text[16] = "untouched";
    EXPECT_TRUE(DataFile_ReadString(file, 0, text, sizeof text));
    EXPECT_STREQ(text, "");
    strcpy(text, "untouched");
    EXPECT_TRUE(DataFile_ReadString(file, 0xFFFFFFFFu, text, sizeof text));
    EXPECT_STREQ(text, "");
    DataFile_Close(file);
}

TEST_P(DataFileTest, ReadsStopAtTheEnd) {
    const std::vector<uint8_t> content = Bytes("0123456789abcdefghij");
    DataFile *file = Open(content);
    ASSERT_NE(file, nullptr);
    uint8_t buffer[16] = {};
    EXPECT_EQ(DataFile_ReadAt(file, buffer, 16, 20), 0u);
    EXPECT_EQ(DataFile_ReadAt(file, buffer, 16, 17), 3u);
    EXPECT_EQ(memcmp(buffer, "hij", 3), 0);
    EXPECT_EQ(buffer[3], 0) << "nothing is copied past the end";
    EXPECT_EQ(DataFile_ReadAt(file, buffer, 4, 2), 4u);
    EXPECT_EQ(memcmp(buffer, "2345", 4), 0);
    EXPECT_EQ(DataFile_ReadAt(file, buffer, 0, 2), 0u);
    for (uint32_t offset : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        EXPECT_EQ(DataFile_ReadAt(file, buffer, 16, offset), 0u) << offset;
    }
    DataFile_Close(file);
}

TEST_P(DataFileTest, StringsUpTo289CharactersAreWhole) {
    std::vector<uint8_t> content(289, 'a');
    content.push_back(0);
    content.insert(content.end(), 290, 'b');
    content.push_back(0);
    DataFile *file = Open(content);
    ASSERT_NE(file, nullptr);

    char text[300];
    memset(text, 'x', sizeof text);
    ASSERT_TRUE(DataFile_ReadString(file, 0, text, 290));
    EXPECT_EQ(strlen(text), 289u);
    EXPECT_EQ(text[290], 'x') << "exactly 290 bytes copied";

    memset(text, 'x', sizeof text);
    EXPECT_FALSE(DataFile_ReadString(file, 290, text, sizeof text)) << "290 characters, no NUL";
    EXPECT_EQ(text[0], 'x') << "destination untouched";
    // Starting one byte in, the same run of 'b' has 289 characters.
    EXPECT_TRUE(DataFile_ReadString(file, 291, text, sizeof text));
    EXPECT_EQ(strlen(text), 289u);
    DataFile_Close(file);
}

TEST_P(DataFileTest, StringsEndAtTheEndOfTheFile) {
    DataFile *file = Open(Bytes("key\0tail-without-nul"));
    ASSERT_NE(file, nullptr);
    char text[64];
    ASSERT_TRUE(DataFile_ReadString(file, 4, text, sizeof text));
    EXPECT_STREQ(text, "tail-without-nul");
    ASSERT_TRUE(DataFile_ReadString(file, 19, text, sizeof text));
    EXPECT_STREQ(text, "l");
    DataFile_Close(file);
}

TEST_P(DataFileTest, StringThatDoesNotFitItsDestinationIsRefused) {
    std::vector<uint8_t> content(127, 'k');
    content.push_back(0);
    content.insert(content.end(), 128, 'm');
    content.push_back(0);
    DataFile *file = Open(content);
    ASSERT_NE(file, nullptr);
    char key[128];
    memset(key, 'x', sizeof key);
    ASSERT_TRUE(DataFile_ReadString(file, 0, key, sizeof key));
    EXPECT_EQ(strlen(key), 127u);
    memset(key, 'x', sizeof key);
    EXPECT_FALSE(DataFile_ReadString(file, 128, key, sizeof key));
    EXPECT_EQ(key[0], 'x');
    DataFile_Close(file);
}

TEST_P(DataFileTest, FileThatShrankLeavesItsTailZero) {
    if (GetParam() == ReadMode::Bytes) {
        GTEST_SKIP() << "bytes in memory cannot shrink";
    }
    FaultPlan plan = BasePlan();
    plan.sizeSurplus = 6; // the size query saw 6 bytes that are gone when read
    Refault(plan);
    DataFile *file = Open(Bytes("abcd"));
    ASSERT_NE(file, nullptr);
    uint8_t buffer[10];
    memset(buffer, 0xEE, sizeof buffer);
    if (GetParam() == ReadMode::Image) {
        EXPECT_EQ(DataFile_ReadAt(file, buffer, 10, 0), 10u);
        EXPECT_EQ(memcmp(buffer, "abcd\0\0\0\0\0\0", 10), 0);
    } else {
        EXPECT_EQ(DataFile_ReadAt(file, buffer, 10, 0), 4u);
    }
    char text[16];
    ASSERT_TRUE(DataFile_ReadString(file, 1, text, sizeof text));
    EXPECT_STREQ(text, "bcd");
    DataFile_Close(file);
}

INSTANTIATE_TEST_SUITE_P(AllModes, DataFileTest, ALL_READ_MODES);

using DataFileOpenTest = TempFolderTest;

TEST_F(DataFileOpenTest, MissingFilesAndOverlongPathsGiveNoReader) {
    EXPECT_EQ(DataFile_Open(Path_Join(dir_, "absent.zwx").c_str()), nullptr);
    EXPECT_EQ(DataFile_Open(dir_.c_str()), nullptr) << "a folder is not a data file";
    EXPECT_EQ(DataFile_Open(nullptr), nullptr);
    // Cutting the path would open some other file.
    const std::string path = Write(Bytes("x"));
    const std::string longPath = path + std::string(300, 'x');
    EXPECT_EQ(DataFile_Open(longPath.c_str()), nullptr);
    EXPECT_EQ(FaultyIo_Counts().handles, 0u);
    EXPECT_EQ(FaultyIo_Counts().blocks, 0u);
}

TEST_F(DataFileOpenTest, ReaderThatCannotBeAllocatedOpensNothing) {
    FaultPlan plan;
    plan.failAlloc = 1;
    Refault(plan);
    EXPECT_EQ(DataFile_Open(Write(Bytes("abc")).c_str()), nullptr);
    EXPECT_EQ(FaultyIo_Counts().handles, 0u);
}

TEST_F(DataFileOpenTest, UnknownSizeOrFailedFillFallsBackToHandleMode) {
    const std::string path = Write(Bytes("hello\0world"));
    for (int variant = 0; variant < 2; ++variant) {
        FaultPlan plan;
        plan.failSize = variant == 0;
        plan.failRead = variant == 1 ? 1 : 0; // the read that fills the image
        Refault(plan);
        DataFile *file = DataFile_Open(path.c_str());
        ASSERT_NE(file, nullptr) << variant;
        EXPECT_FALSE(DataFile_InMemory(file));
        EXPECT_EQ(FaultyIo_Counts().blocks, 1u) << "the reader alone: no image, no chunk yet";
        char text[16];
        ASSERT_TRUE(DataFile_ReadString(file, 6, text, sizeof text));
        EXPECT_STREQ(text, "world") << "the handle is back at the start and usable";
        DataFile_Close(file);
        EXPECT_EQ(FaultyIo_Counts().blocks, 0u);
        EXPECT_EQ(FaultyIo_Counts().handles, 0u);
    }
}

TEST_F(DataFileOpenTest, FailedReadsInHandleModeAreReported) {
    const std::string path = Write(Bytes("hello\0world"));
    FaultPlan plan;
    plan.failAlloc = 2;
    plan.failRead = 2; // the chunk's first read succeeds, the one that finds the end fails
    Refault(plan);
    DataFile *file = DataFile_Open(path.c_str());
    ASSERT_NE(file, nullptr);
    char text[16] = "untouched";
    // One failure costs nothing: 'w' is read as asked, the chunk again for the
    // rest; no byte is read alone after that.
    EXPECT_TRUE(DataFile_ReadString(file, 6, text, sizeof text));
    EXPECT_STREQ(text, "world");
    const uint32_t afterString = FaultyIo_Counts().reads;
    EXPECT_LE(afterString, 5u) << "not one read a byte of \"world\"";
    uint8_t buffer[4];
    EXPECT_EQ(DataFile_ReadAt(file, buffer, 4, 0), 4u);
    EXPECT_EQ(memcmp(buffer, "hell", 4), 0);
    EXPECT_LE(FaultyIo_Counts().reads, afterString) << "answered from the chunk";
    DataFile_Close(file);

    // Reads that keep failing fail every access, as they do without chunks.
    plan.failRead = 1;
    plan.failLaterReads = true;
    Refault(plan);
    file = DataFile_Open(path.c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(DataFile_ReadString(file, 6, text, sizeof text));
    EXPECT_STREQ(text, "world");
    EXPECT_EQ(DataFile_ReadAt(file, buffer, 4, 0), DATAFILE_READ_ERROR);
    const uint32_t afterFailures = FaultyIo_Counts().reads;
    EXPECT_LE(afterFailures, 4u) << "at most a chunk read, then the access as asked, each";
    EXPECT_EQ(DataFile_ReadAt(file, buffer, 4, 0x80000000u), 0u) << "no seek reaches 2 GiB";
    EXPECT_LE(FaultyIo_Counts().reads, afterFailures);
    DataFile_Close(file);
}

TEST_F(DataFileOpenTest, WithoutItsChunksHandleModeReadsEachAccessAsAsked) {
    const std::string path = Write(Bytes("hello\0world"));
    FaultPlan plan;
    plan.failAlloc = 2; // the image, then every page and chunk
    plan.failLaterAllocs = true;
    Refault(plan);
    DataFile *file = DataFile_Open(path.c_str());
    ASSERT_NE(file, nullptr);
    char text[16];
    ASSERT_TRUE(DataFile_ReadString(file, 6, text, sizeof text));
    EXPECT_STREQ(text, "world");
    EXPECT_LE(FaultyIo_Counts().reads, 6u) << "at most one read a byte, the NUL too";
    DataFile_Close(file);
    EXPECT_EQ(FaultyIo_Counts().blocks, 0u);
}

// However a walk jumps about, handle mode reads no part of the file twice: a
// walk over every 16 bytes of 1 MiB in a scattered order costs about as many
// reads as reading the file once in chunks, not one a step.
TEST_F(DataFileOpenTest, HandleModeReadsNoPartOfTheFileTwice) {
    std::vector<uint8_t> bytes(1u << 20);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + 1);
    }
    const std::string path = Write(bytes);
    DataFile *file = DataFile_OpenAs(path.c_str(), nullptr, 0, 0);
    ASSERT_NE(file, nullptr);
    const uint32_t records = static_cast<uint32_t>(bytes.size() / 16);
    uint32_t at = 0;
    for (uint32_t step = 0; step < records; ++step) {
        at = (at + 4099) % records; // 4099 shares no factor with 65536
        uint8_t record[16];
        ASSERT_EQ(DataFile_ReadAt(file, record, 16, at * 16), 16u);
        ASSERT_EQ(memcmp(record, &bytes[at * 16], 16), 0) << at;
    }
    const uint32_t chunks = static_cast<uint32_t>(bytes.size() / DATAFILE_CHUNK_SIZE);
    EXPECT_LE(FaultyIo_Counts().reads, 2 * chunks) << "steps: " << records;
    DataFile_Close(file);
    EXPECT_EQ(FaultyIo_Counts().blocks, 0u);
}

// A sparse file just over 2 GiB: above the image limit, so read through the
// handle; accesses that cross 2 GiB give what seeking to each one gives.
TEST_F(DataFileOpenTest, AFileOver2GiBIsReadThroughTheHandleUpTo2GiB) {
    const std::string path = Path_Join(dir_, "large.zwx");
    ASSERT_TRUE(File_WriteSparse(path, 0x80001000ull,
                                 {{0, Bytes("head")}, {0x7FFFFFFCull, Bytes("abcdefgh\0")}}));
    DataFile *file = DataFile_Open(path.c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(DataFile_InMemory(file));
    uint8_t buffer[8] = {};
    EXPECT_EQ(DataFile_ReadAt(file, buffer, 4, 0), 4u);
    EXPECT_EQ(DataFile_ReadAt(file, buffer, 8, 0x7FFFFFFCu), 8u) << "one seek below 2 GiB";
    EXPECT_EQ(memcmp(buffer, "abcdefgh", 8), 0);
    EXPECT_EQ(DataFile_ReadAt(file, buffer, 4, 0x80000000u), 0u);
    char text[16];
    ASSERT_TRUE(DataFile_ReadString(file, 0x7FFFFFFCu, text, sizeof text));
    EXPECT_STREQ(text, "abcd") << "a byte at 2 GiB is sought alone, and that fails";
    // The reader, and a chunk and its page at each end: nothing in proportion
    // to the file's size.
    EXPECT_LE(FaultyIo_Counts().blocks, 5u);
    DataFile_Close(file);
    EXPECT_EQ(FaultyIo_Counts().blocks, 0u);
    EXPECT_EQ(FaultyIo_Counts().handles, 0u);
}

} // namespace
