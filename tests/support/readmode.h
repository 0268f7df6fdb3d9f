// Tests run in every read mode: the file held in memory, through the open
// handle, and bytes the caller holds read through the handle-mode steps.
// ReadModeTest reaches handle mode by failing the image's allocation (the
// fallback), the fault sweeps (tests/hardening/sweep.h) through the image
// limit (ReadMode_Open).
#ifndef ZW_TESTS_READMODE_H
#define ZW_TESTS_READMODE_H

#include "datafile.h"
#include "faultyio.h"
#include "tempfile.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

enum class ReadMode { Image, Handle, Bytes };

inline const char *ReadMode_Name(ReadMode mode) {
    return mode == ReadMode::Image ? "Image" : mode == ReadMode::Handle ? "Handle" : "Bytes";
}

inline void PrintTo(ReadMode mode, std::ostream *out) {
    *out << ReadMode_Name(mode) << " mode";
}

inline std::string ReadModeName(const testing::TestParamInfo<ReadMode> &info) {
    return ReadMode_Name(info.param);
}

// The file at path in image mode whatever its size, or in handle mode
// (but for an empty file), or its bytes from memory through the handle-mode
// steps.
inline DataFile *ReadMode_Open(ReadMode mode, const std::string &path,
                               const std::vector<uint8_t> &bytes) {
    if (mode == ReadMode::Bytes) {
        return DataFile_OpenAs(nullptr, bytes.data(), static_cast<uint32_t>(bytes.size()), 0);
    }
    return DataFile_OpenAs(path.c_str(), nullptr, 0, mode == ReadMode::Image ? UINT32_MAX : 0);
}

// INSTANTIATE_TEST_SUITE_P(BothModes, Suite, BOTH_READ_MODES);
#define BOTH_READ_MODES testing::Values(ReadMode::Image, ReadMode::Handle), ReadModeName
#define ALL_READ_MODES                                                                             \
    testing::Values(ReadMode::Image, ReadMode::Handle, ReadMode::Bytes), ReadModeName

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
