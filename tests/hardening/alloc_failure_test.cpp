// Fails each allocation of a load in turn, alone and together with every later
// one, over files of many shapes (the full catalogue among them) and in both
// read modes: every run must end in a table the load model gives for the same
// faults, with as many allocations as it counts and nothing left allocated or
// open. The one sweep of the message table's allocations.
#include "errmsg.h"
#include "sweep.h"
#include "variedfiles.h"
#include "zwxwrite.h"

namespace {

using AllocFailureTest = SweepTest;

// Handle mode here comes from a failed size query, so that every allocation
// is free to fail in turn.
FaultPlan Clean(ReadMode mode) {
    FaultPlan plan;
    plan.failSize = mode == ReadMode::Handle;
    return plan;
}

TEST_P(AllocFailureTest, EveryAllocationOfEveryFile) {
    for (const VariedFile &varied : VariedFiles()) {
        SCOPED_TRACE(varied.name);
        const std::string path = Write(varied.bytes);
        const FaultPlan clean = Clean(GetParam());
        const LoadRun baseline = LoadRun_Do(path, clean);
        EXPECT_EQ(baseline.counts.allocs, Model_Load(varied.bytes, clean).allocs);
        for (bool later : {false, true}) {
            for (uint32_t failing = 1; failing <= baseline.counts.allocs + 1; ++failing) {
                SCOPED_TRACE(testing::Message()
                             << "allocation " << failing << (later ? " and every later one" : ""));
                FaultPlan plan = clean;
                plan.failAlloc = failing;
                plan.failLaterAllocs = later;
                if (!ExpectAsModelled(path, varied.bytes, plan)) {
                    break; // one report per file and kind is enough
                }
            }
        }
    }
}

// Hand-worked cases that keep the model honest: a slot whose block could not
// be had stays empty, so a later entry with the same key fills it.
TEST_P(AllocFailureTest, ALostBlockLetsALaterDuplicateFillTheSlot) {
    const std::vector<uint8_t> bytes = Zwx_Build({{"QORBA_ErrMsg",
                                                   {{"ERMSG_05", "five"},
                                                    {"ERMSG_03", "first"},
                                                    {"ermsg_03", "second"},
                                                    {"ERMSG_05", "5"}}}},
                                                 nullptr);
    const std::string path = Write(bytes);
    // The reader's block, then its image or its cache, then one per text.
    const uint32_t firstText = 3;
    struct Case {
        uint32_t failing;
        bool later;
        const char *three;
        const char *five;
        uint32_t textRequests;
    };
    const Case cases[] = {
        {firstText, false, "first", "5", 3},
        {firstText + 1, false, "second", "five", 3},
        {firstText + 1, true, nullptr, "five", 3},
        {firstText + 2, false, "first", "five", 2}, // that allocation never comes
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "allocation " << c.failing << (c.later ? "+" : ""));
        FaultPlan plan = Clean(GetParam());
        plan.failAlloc = c.failing;
        plan.failLaterAllocs = c.later;
        LoadRun run;
        ExpectAsModelled(path, bytes, plan, &run);
        EXPECT_EQ(run.table.loaded[3], c.three != nullptr);
        EXPECT_EQ(run.table.text[3], c.three != nullptr ? c.three : "");
        EXPECT_EQ(run.table.text[5], c.five);
        EXPECT_EQ(run.counts.allocs, firstText - 1 + c.textRequests);
    }
}

TEST_P(AllocFailureTest, NoReaderMeansNothingLoaded) {
    const std::vector<uint8_t> bytes = VariedFiles()[0].bytes;
    FaultPlan plan = Clean(GetParam());
    plan.failAlloc = 1;
    LoadRun run;
    ExpectAsModelled(Write(bytes), bytes, plan, &run);
    EXPECT_FALSE(run.opened);
    EXPECT_EQ(run.counts.allocs, 1u);
    EXPECT_EQ(run.counts.reads, 0u);
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(0), "");
}

INSTANTIATE_TEST_SUITE_P(BothModes, AllocFailureTest, BOTH_READ_MODES);

} // namespace
