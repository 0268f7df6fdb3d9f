// Attach finds the data file beside the module and nowhere else.
#include "errmsg.h"
#include "errmsg.h"
#include "readmode.h"
#include "zwxwrite.h"

#include <filesystem>
#include <fstream>

namespace {

std::vector<uint8_t> Catalogue(const std::string &text) {
    return Zwx_Build({{"QORBA_ErrMsg", {{"ERMSG_00", text}}}}, nullptr);
}

class LifecycleTest : public TempFolderTest {
  protected:
    void TearDown() override {
        Lifecycle_Detach();
        EXPECT_EQ(FaultyIo_Counts().blocks, 0u);
        EXPECT_EQ(FaultyIo_Counts().handles, 0u);
        std::error_code ignored;
        std::filesystem::current_path(savedCwd_, ignored);
        TempFolderTest::TearDown();
    }
    std::filesystem::path savedCwd_ = std::filesystem::current_path();
};

TEST_F(LifecycleTest, LoadsTheDataFileBesideTheModuleAndReleasesIt) {
    Write(Catalogue("beside the module"));
    const std::string module = Path_Join(dir_, "ZEDWIC_W.dll");
    Lifecycle_Attach(module.c_str(), false);
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(0), "beside the module");
    EXPECT_EQ(FaultyIo_Counts().handles, 0u) << "closed before attach returns";
    Lifecycle_Detach();
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(0), "");
    EXPECT_EQ(FaultyIo_Counts().blocks, 0u);
    Lifecycle_Detach(); // a second detach finds nothing to release
}

TEST_F(LifecycleTest, AFolderNamedInAnyScriptHoldsTheCatalogue) {
    // Cyrillic and Japanese letters in UTF-8.
    const std::string folder = dir_ + ("/\xd0\x9f\xd0\xb0\xd0\xbf\xd0\xba\xd0\xb0 "
                                       "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e");
    ASSERT_TRUE(std::filesystem::create_directory(std::filesystem::u8path(folder)));
    const std::vector<uint8_t> bytes = Catalogue("any script");
    std::ofstream(std::filesystem::u8path(folder + "/ZEDWIC_D.ZWX"), std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(std::filesystem::exists(std::filesystem::u8path(folder + "/ZEDWIC_D.ZWX")));
    Lifecycle_Attach((folder + "/ZEDWIC_W.dll").c_str(), false);
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(0), "any script") << folder;
}

TEST_F(LifecycleTest, NoDataFileLeavesTheCatalogueEmpty) {
    const std::string module = Path_Join(dir_, "ZEDWIC_W.dll");
    Lifecycle_Attach(module.c_str(), false);
    for (int code : {0, 15, 16, 99}) {
        EXPECT_STREQ(VOLQUAD_GetErrorMsg(code), "") << code;
    }
}

TEST_F(LifecycleTest, AnUnknownNameLooksInTheCurrentFolderOnly) {
    Write(Catalogue("current folder"));
    std::filesystem::current_path(dir_);
    Lifecycle_Attach("", false);
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(0), "current folder");
}

TEST_F(LifecycleTest, ACutNameOpensNothing) {
    Write(Catalogue("must not load"));
    std::filesystem::current_path(dir_);
    const std::string module = Path_Join(dir_, "ZEDWIC_W.dll");
    Lifecycle_Attach(module.c_str(), true);
    Lifecycle_Attach(module.substr(0, 3).c_str(), true);
    EXPECT_STREQ(VOLQUAD_GetErrorMsg(0), "");
    EXPECT_EQ(FaultyIo_Counts().allocs, 0u) << "no reader was even allocated";
}

TEST_F(LifecycleTest, AFolderTooDeepForTheDataFileNameOpensNothing) {
    // Fits "Z.dll" but not "ZEDWIC_D.ZWX": cutting would name "ZEDWIC_D.ZW".
    const std::string folder = "/" + std::string(246, 'd') + "/";
    ASSERT_EQ(folder.size(), 248u);
    Lifecycle_Attach((folder + "Z.dll").c_str(), false);
    EXPECT_EQ(FaultyIo_Counts().allocs, 0u);
}

} // namespace
