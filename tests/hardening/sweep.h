// Shared by the fault sweeps: every read mode, and the checks of one faulty
// load against what the file allows (each load installs its own fault plan).
#ifndef ZW_TESTS_SWEEP_H
#define ZW_TESTS_SWEEP_H

#include "datafile.h"
#include "loadrun.h"
#include "readmode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class SweepTest : public TempFolderTest, public testing::WithParamInterface<ReadMode> {
  protected:
    LoadRun Load(const std::string &path, const std::vector<uint8_t> &bytes,
                 const FaultPlan &plan) const {
        return LoadRun_Do(path, bytes, GetParam(), plan);
    }
    // Loads under plan: nothing may be left behind, only the reader's own
    // block keeps the file from opening, and every text must be one the file
    // gives its key (under read faults: one the file holds). A plan that fails nothing the clean
    // load asked for must give exactly the clean load's table. True when all holds.
    bool ExpectSound(const std::string &path, const std::vector<uint8_t> &bytes,
                     const FaultPlan &plan, const LoadRun &clean, const TextChoices &choices,
                     LoadRun *out = nullptr) const {
        const LoadRun run = Load(path, bytes, plan);
        if (out != nullptr) {
            *out = run;
        }
        bool ok = run.counts.blocks == 0 && run.counts.handles == 0;
        EXPECT_EQ(run.counts.blocks, 0u) << "a block left behind";
        EXPECT_EQ(run.counts.handles, 0u) << "a handle left open";
        const bool opens = plan.failAlloc != 1;
        ok = ok && run.opened == opens;
        EXPECT_EQ(run.opened, opens);
        for (size_t slot = 0; slot < TABLE_SLOTS; ++slot) {
            const std::string &text = run.table.text[slot];
            const bool allowed = plan.failRead != 0 || choices.any
                                     ? LoadRun_FileHolds(bytes, text)
                                     : choices.texts[slot].count(text) != 0;
            ok = ok && allowed;
            EXPECT_TRUE(allowed) << "slot " << slot << " holds \"" << text
                                 << "\", which the file does not give its key";
        }
        const bool beyond = (plan.failAlloc == 0 || plan.failAlloc > clean.counts.allocs) &&
                            (plan.failRead == 0 || plan.failRead > clean.counts.reads);
        if (beyond) {
            ok = ok && run.table == clean.table;
            EXPECT_EQ(TableState_Describe(run.table), TableState_Describe(clean.table));
        }
        return ok;
    }
};

#endif
