// A fresh folder per test, and the zwx command line run in-process.
#ifndef ZW_TESTS_ZWXTEST_H
#define ZW_TESTS_ZWXTEST_H

#include "tempfile.h"
#include "zwxcmd.h"
#include "zwxwrite.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class ZwxTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = TempDir_Create("-zwx");
        ASSERT_FALSE(dir_.empty());
    }
    void TearDown() override {
        TempDir_Remove(dir_);
    }
    std::string Path(const std::string &name) const {
        return Path_Join(dir_, name);
    }
    std::string Write(const std::string &name, const std::string &text) {
        EXPECT_TRUE(File_Write(Path(name), std::vector<uint8_t>(text.begin(), text.end())));
        return Path(name);
    }
    std::string Write(const std::string &name, const std::vector<uint8_t> &bytes) {
        EXPECT_TRUE(File_Write(Path(name), bytes));
        return Path(name);
    }
    std::string Read(const std::string &name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // zwx with these arguments; the output lands in io_.
    int Run(const std::vector<std::string> &args) {
        std::vector<const char *> argv = {"zwx"};
        for (const std::string &arg : args) {
            argv.push_back(arg.c_str());
        }
        io_ = ZwxStreams();
        return Zwx_Main(static_cast<int>(argv.size()), argv.data(), &io_);
    }
    // The data file compiled from source text, or "" when compile fails; any
    // sections, the message section or none.
    std::string Compile(const std::string &source, const std::string &codePage = "1252") {
        Write("in.src", source);
        if (Run({"compile", Path("in.src"), "-o", Path("out.zwx"), "--codepage", codePage,
                 "--allow-empty"}) != 0) {
            ADD_FAILURE() << io_.err;
            return std::string();
        }
        return Read("out.zwx");
    }

    std::string dir_;
    ZwxStreams io_;
};

#endif
