// Fails each read of a load in turn, alone and together with every later one:
// in handle mode every read of the load goes through the handle, in image mode
// only the one that fills the image. Each run must end as the load model says
// for the same failed read.
#include "errmsg.h"
#include "sweep.h"
#include "variedfiles.h"
#include "zwxwrite.h"

namespace {

using ReadFailureTest = SweepTest;

FaultPlan Clean(SweepMode mode) {
    FaultPlan plan;
    plan.failAlloc = mode == SweepMode::Handle ? 2 : 0; // the image's allocation
    return plan;
}

TEST_P(ReadFailureTest, EveryReadOfEveryFile) {
    for (const VariedFile &varied : VariedFiles()) {
        SCOPED_TRACE(varied.name);
        const std::string path = Write(varied.bytes);
        const FaultPlan clean = Clean(GetParam());
        const LoadRun baseline = LoadRun_Do(path, clean);
        const ModelOutcome modelled = Model_Load(varied.bytes, clean);
        if (!modelled.chainRepeats) {
            EXPECT_EQ(baseline.counts.reads, modelled.reads);
        }
        for (bool later : {false, true}) {
            for (uint32_t failing = 1; failing <= baseline.counts.reads + 1; ++failing) {
                SCOPED_TRACE(testing::Message()
                             << "read " << failing << (later ? " and every later one" : ""));
                FaultPlan plan = clean;
                plan.failRead = failing;
                plan.failLaterReads = later;
                if (!ExpectAsModelled(path, varied.bytes, plan)) {
                    break;
                }
            }
        }
    }
}

// Worked out by hand for one entry, read by read in handle mode: the header,
// the section record, the record again, the entry count, the entry, the key's
// 9 bytes, then the value's 3 bytes.
TEST(ReadFailureByHandTest, EachReadOfOneEntryInHandleMode) {
    const std::string dir = TempDir_Create("");
    const std::string path = Path_Join(dir, "ZEDWIC_D.ZWX");
    ASSERT_TRUE(File_Write(path, Zwx_Build({{"QORBA_ErrMsg", {{"ERMSG_01", "ab"}}}}, nullptr)));
    FaultPlan plan;
    plan.failAlloc = 2;
    EXPECT_EQ(LoadRun_Do(path, plan).counts.reads, 17u);
    for (bool later : {false, true}) {
        for (uint32_t failing = 1; failing <= 18; ++failing) {
            SCOPED_TRACE(testing::Message() << "read " << failing << (later ? "+" : ""));
            plan.failRead = failing;
            plan.failLaterReads = later;
            const LoadRun run = LoadRun_Do(path, plan);
            // 1-2: no section; 3: a zero record whose entry at 0 names nothing;
            // 4: count 0; 5: a zero entry; 6-14: no key; 15-17: no value.
            EXPECT_EQ(run.table.loaded[1], failing >= 15);
            EXPECT_EQ(run.table.text[1], failing == 18 ? "ab" : "");
            for (size_t slot = 0; slot < MODEL_SLOTS; ++slot) {
                EXPECT_TRUE(slot == 1 || !run.table.loaded[slot]) << slot;
            }
            EXPECT_EQ(run.counts.blocks, 0u);
            EXPECT_EQ(run.counts.handles, 0u);
        }
    }
    TempDir_Remove(dir);
}

INSTANTIATE_TEST_SUITE_P(BothModes, ReadFailureTest,
                         testing::Values(SweepMode::Image, SweepMode::Handle), SweepModeName);

} // namespace
