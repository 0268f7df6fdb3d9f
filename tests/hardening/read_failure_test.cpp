// Fails each read of a load in turn, alone and together with every later one:
// in handle mode every chunk read of the load and every access made as asked
// after a chunk read failed, in image mode only the one that fills the image.
// Each run must leave nothing behind and load only what the file holds.
#include "errmsg.h"
#include "sweep.h"
#include "variedfiles.h"
#include "zwxwrite.h"

namespace {

using ReadFailureTest = SweepTest;

TEST_P(ReadFailureTest, EveryReadOfEveryFile) {
    for (const VariedFile &varied : VariedFiles()) {
        SCOPED_TRACE(varied.name);
        const std::string path = Write(varied.bytes);
        const FaultPlan clean;
        const LoadRun baseline = Load(path, varied.bytes, clean);
        const TextChoices choices = LoadRun_Choices(varied.bytes);
        for (bool later : {false, true}) {
            for (uint32_t failing = 1; failing <= baseline.counts.reads + 1; ++failing) {
                SCOPED_TRACE(testing::Message()
                             << "read " << failing << (later ? " and every later one" : ""));
                FaultPlan plan = clean;
                plan.failRead = failing;
                plan.failLaterReads = later;
                if (!ExpectSound(path, varied.bytes, plan, baseline, choices)) {
                    break;
                }
            }
        }
    }
}

// Worked out by hand for one entry in handle mode: the whole file is one
// chunk, read by two reads (the second finds the end), and every access is
// answered from it. A read that fails alone costs nothing: the access it
// belonged to is made as asked, and the chunk is read again for the next.
// Reads that keep failing leave every access failing, as without chunks:
// no header, no section record, nothing loaded.
TEST(ReadFailureByHandTest, EachReadOfOneEntryInHandleMode) {
    const std::string dir = TempDir_Create("");
    const std::string path = Path_Join(dir, "ZEDWIC_D.ZWX");
    const std::vector<uint8_t> bytes = Zwx_Build({{"QORBA_ErrMsg", {{"ERMSG_01", "ab"}}}}, nullptr);
    ASSERT_TRUE(File_Write(path, bytes));
    FaultPlan plan;
    plan.failAlloc = 2;
    EXPECT_EQ(LoadRun_Do(path, bytes, ReadMode::Image, plan).counts.reads, 2u);
    for (bool later : {false, true}) {
        for (uint32_t failing = 1; failing <= 3; ++failing) {
            SCOPED_TRACE(testing::Message() << "read " << failing << (later ? "+" : ""));
            plan.failRead = failing;
            plan.failLaterReads = later;
            const LoadRun run = LoadRun_Do(path, bytes, ReadMode::Image, plan);
            const bool loads = !later || failing == 3;
            // The failed chunk read, the header as asked, then the chunk again
            // (or the section record's failed chunk read and its exact read).
            EXPECT_EQ(run.counts.reads, failing == 3 ? 2u : failing + 3);
            EXPECT_EQ(run.table.loaded[1], loads);
            EXPECT_EQ(run.table.text[1], loads ? "ab" : "");
            for (size_t slot = 0; slot < TABLE_SLOTS; ++slot) {
                EXPECT_TRUE(slot == 1 || !run.table.loaded[slot]) << slot;
            }
            EXPECT_EQ(run.counts.blocks, 0u);
            EXPECT_EQ(run.counts.handles, 0u);
        }
    }
    TempDir_Remove(dir);
}

INSTANTIATE_TEST_SUITE_P(AllModes, ReadFailureTest, ALL_READ_MODES);

} // namespace
