// Fails each allocation of a load in turn, alone and together with every later
// one, over files of many shapes (the full catalogue among them) and in every
// read mode: every run must load only texts the file gives their keys, and
// leave nothing allocated or open. The one sweep of the message table's
// allocations.
#include "errmsg.h"
#include "sweep.h"
#include "variedfiles.h"
#include "zwxwrite.h"

namespace {

using AllocFailureTest = SweepTest;

FaultPlan Clean() {
    return FaultPlan();
}

TEST_P(AllocFailureTest, EveryAllocationOfEveryFile) {
    for (const VariedFile &varied : VariedFiles()) {
        SCOPED_TRACE(varied.name);
        const std::string path = Write(varied.bytes);
        const FaultPlan clean = Clean();
        const LoadRun baseline = Load(path, varied.bytes, clean);
        const TextChoices choices = LoadRun_Choices(varied.bytes);
        for (bool later : {false, true}) {
            for (uint32_t failing = 1; failing <= baseline.counts.allocs + 1; ++failing) {
                SCOPED_TRACE(testing::Message()
                             << "allocation " << failing << (later ? " and every later one" : ""));
                FaultPlan plan = clean;
                plan.failAlloc = failing;
                plan.failLaterAllocs = later;
                if (!ExpectSound(path, varied.bytes, plan, baseline, choices)) {
                    break; // one report per file and kind is enough
                }
            }
        }
    }
}

// Hand-worked cases: a slot whose block could not be had stays empty, so a
// later entry with the same key fills it.
TEST_P(AllocFailureTest, ALostBlockLetsALaterDuplicateFillTheSlot) {
    const std::vector<uint8_t> bytes = Zwx_Build({{"QORBA_ErrMsg",
                                                   {{"ERMSG_05", "five"},
                                                    {"ERMSG_03", "first"},
                                                    {"ermsg_03", "second"},
                                                    {"ERMSG_05", "5"}}}},
                                                 nullptr);
    const std::string path = Write(bytes);
    // The texts' blocks are the load's last allocations, two without faults.
    const LoadRun clean = Load(path, bytes, Clean());
    const TextChoices choices = LoadRun_Choices(bytes);
    const uint32_t firstText = clean.counts.allocs - 1;
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
        FaultPlan plan = Clean();
        plan.failAlloc = c.failing;
        plan.failLaterAllocs = c.later;
        LoadRun run;
        ExpectSound(path, bytes, plan, clean, choices, &run);
        EXPECT_EQ(run.table.loaded[3], c.three != nullptr);
        EXPECT_EQ(run.table.text[3], c.three != nullptr ? c.three : "");
        EXPECT_EQ(run.table.text[5], c.five);
        EXPECT_EQ(run.counts.allocs, firstText - 1 + c.textRequests);
    }
}

TEST_P(AllocFailureTest, NoReaderMeansNothingLoaded) {
    const std::vector<uint8_t> bytes = VariedFiles()[0].bytes;
    const std::string path = Write(bytes);
    FaultPlan plan = Clean();
    plan.failAlloc = 1;
    LoadRun run;
    ExpectSound(path, bytes, plan, Load(path, bytes, Clean()), LoadRun_Choices(bytes), &run);
    EXPECT_FALSE(run.opened);
    EXPECT_EQ(run.counts.allocs, 1u);
    EXPECT_EQ(run.counts.reads, 0u);
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(0), "");
}

INSTANTIATE_TEST_SUITE_P(AllModes, AllocFailureTest, ALL_READ_MODES);

} // namespace
