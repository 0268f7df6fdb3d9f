// Shared by the fault sweeps: both read modes through the image limit, and the
// comparison of one faulty load with what the load model accepts for the same
// faults (each load installs its own fault plan).
#ifndef ZW_TESTS_SWEEP_H
#define ZW_TESTS_SWEEP_H

#include "datafile.h"
#include "loadmodel.h"
#include "loadrun.h"
#include "readmode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Image mode for files of any size, handle mode for all but the empty one,
// through the image limit; faults can take either mode elsewhere.
class SweepTest : public TempFolderTest, public testing::WithParamInterface<ReadMode> {
  protected:
    void SetUp() override {
        g_dataFileImageLimit = GetParam() == ReadMode::Image ? UINT32_MAX : 0;
        TempFolderTest::SetUp();
    }
    void TearDown() override {
        g_dataFileImageLimit = DATAFILE_IMAGE_LIMIT;
        TempFolderTest::TearDown();
    }
    // Loads under plan and checks the run against the model; true when it agrees.
    static bool ExpectAsModelled(const std::string &path, const std::vector<uint8_t> &bytes,
                                 const FaultPlan &plan, LoadRun *out = nullptr) {
        const LoadRun run = LoadRun_Do(path, plan);
        const ModelOutcome expected = Model_Load(bytes, plan);
        if (out != nullptr) {
            *out = run;
        }
        EXPECT_EQ(run.counts.blocks, 0u) << "a block left behind";
        EXPECT_EQ(run.counts.handles, 0u) << "a handle left open";
        EXPECT_EQ(run.opened, expected.opened);
        EXPECT_EQ(run.imageMode, expected.imageMode);
        const bool accepted = Model_Accepts(expected, run.table);
        EXPECT_TRUE(accepted) << "loaded:   " << Model_Describe(run.table)
                              << "\nexpected: " << Model_Describe(expected.endStates.back())
                              << (expected.endStates.size() > 1 ? " (or an earlier state)" : "");
        return accepted && run.counts.blocks == 0 && run.counts.handles == 0 &&
               run.opened == expected.opened && run.imageMode == expected.imageMode;
    }
};

#endif
