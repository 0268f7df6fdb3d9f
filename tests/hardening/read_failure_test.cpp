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

// One entry in handle mode, every read failing in turn, alone and with every
// later one. A read that fails alone costs nothing: the file loads as it does
// without failures. Reads that keep failing load nothing: no header, no
// section record. Either way the reads stay within a few of a clean load's
// (the access as asked after a failed chunk read, the chunk again for the
// next one), never one a byte.
TEST(ReadFailureByHandTest, EachReadOfOneEntryInHandleMode) {
    const std::string dir = TempDir_Create("");
    const std::string path = Path_Join(dir, "ZEDWIC_D.ZWX");
    const std::vector<uint8_t> bytes = Zwx_Build({{"QORBA_ErrMsg", {{"ERMSG_01", "ab"}}}}, nullptr);
    ASSERT_TRUE(File_Write(path, bytes));
    FaultPlan plan;
    plan.failAlloc = 2; // the image: the file is read through the handle
    const LoadRun clean = LoadRun_Do(path, bytes, ReadMode::Image, plan);
    ASSERT_EQ(clean.table.text[1], "ab");
    const uint32_t cleanReads = clean.counts.reads;
    ASSERT_GE(cleanReads, 1u);
    EXPECT_LT(cleanReads, bytes.size() / 4) << "the file is read in chunks, not field by field";
    for (bool later : {false, true}) {
        for (uint32_t failing = 1; failing <= cleanReads + 1; ++failing) {
            SCOPED_TRACE(testing::Message() << "read " << failing << (later ? "+" : ""));
            plan.failRead = failing;
            plan.failLaterReads = later;
            const LoadRun run = LoadRun_Do(path, bytes, ReadMode::Image, plan);
            const bool loads = !later || failing > cleanReads;
            EXPECT_EQ(run.table.loaded[1], loads);
            EXPECT_EQ(run.table.text[1], loads ? "ab" : "");
            for (size_t slot = 0; slot < TABLE_SLOTS; ++slot) {
                EXPECT_TRUE(slot == 1 || !run.table.loaded[slot]) << slot;
            }
            EXPECT_LE(run.counts.reads, cleanReads + 3);
            EXPECT_EQ(run.counts.blocks, 0u);
            EXPECT_EQ(run.counts.handles, 0u);
        }
    }
    TempDir_Remove(dir);
}

INSTANTIATE_TEST_SUITE_P(AllModes, ReadFailureTest, ALL_READ_MODES);

} // namespace
