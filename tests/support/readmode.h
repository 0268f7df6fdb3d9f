// Tests run in both read modes: the file held in memory, and through the open
// handle. ReadModeTest reaches handle mode by failing the image's allocation
// (the fallback), the fault sweeps (tests/hardening/sweep.h) through the image
// limit.
#ifndef ZW_TESTS_READMODE_H
#define ZW_TESTS_READMODE_H

#include "faultyio.h"
#include "tempfile.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

enum class ReadMode { Image, Handle };

inline void PrintTo(ReadMode mode, std::ostream *out) {
    *out << (mode == ReadMode::Image ? "image mode" : "handle mode");
}

inline std::string ReadModeName(const testing::TestParamInfo<ReadMode> &info) {
    return info.param == ReadMode::Image ? "Image" : "Handle";
}

// INSTANTIATE_TEST_SUITE_P(BothModes, Suite, BOTH_READ_MODES);
#define BOTH_READ_MODES testing::Values(ReadMode::Image, ReadMode::Handle), ReadModeName

// A fresh folder per test, and the fault seam installed so every test can
// check that nothing stays allocated or open.
class TempFolderTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = TempDir_Create("");
        ASSERT_FALSE(dir_.empty());
        Refault(BasePlan());
    }
    void TearDown() override {
        faults_.reset();
        TempDir_Remove(dir_);
    }
    virtual FaultPlan BasePlan() {
        return FaultPlan();
    }
    void Refault(const FaultPlan &plan) {
        faults_.reset();
        faults_ = std::make_unique<FaultyIoScope>(plan);
    }
    // Writes bytes to a fresh file and returns its path.
    std::string Write(const std::vector<uint8_t> &bytes, const char *name = "ZEDWIC_D.ZWX") {
        std::string path = Path_Join(dir_, name);
        EXPECT_TRUE(File_Write(path, bytes));
        return path;
    }

    std::string dir_;
    std::unique_ptr<FaultyIoScope> faults_;
};

class ReadModeTest : public TempFolderTest, public testing::WithParamInterface<ReadMode> {
  protected:
    // The reader's own block is the first allocation, its image the second.
    FaultPlan BasePlan() override {
        FaultPlan plan;
        plan.failAlloc = GetParam() == ReadMode::Handle ? 2 : 0;
        return plan;
    }
};

#endif
