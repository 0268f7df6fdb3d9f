// Where the driver-side module is looked for, given the driver file's path.
#include "drvmod.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ModuleBeside(const char *driverPath) {
    char out[MODPATH_SIZE];
    if (!DriverModule_ComposePath(driverPath, nullptr, out)) {
        EXPECT_STREQ(out, "");
        return "<none>";
    }
    return out;
}

TEST(DriverModulePathTest, TheModuleLiesBesideTheDriverFile) {
    EXPECT_EQ(ModuleBeside("C:\\Windows\\System32\\spool\\DRIVERS\\x64\\3\\ABC.DLL"),
              "C:\\Windows\\System32\\spool\\DRIVERS\\x64\\3\\ZEDWIC_U.DLL");
    EXPECT_EQ(ModuleBeside("\\\\printsrv\\drivers$\\x64\\ABC.DLL"),
              "\\\\printsrv\\drivers$\\x64\\ZEDWIC_U.DLL");
}

TEST(DriverModulePathTest, NamesThatASearchCouldRedirectLoadNothing) {
    // Any of these would let the library search order pick up a ZEDWIC_U.DLL
    // from the host's folder, the current folder or PATH.
    for (const char *path :
         {"ABC.DLL", "C:ABC.DLL", "drivers\\ABC.DLL", "\\drivers\\ABC.DLL", "", "\\\\ABC.DLL"}) {
        EXPECT_EQ(ModuleBeside(path), "<none>") << path;
    }
    EXPECT_EQ(ModuleBeside(nullptr), "<none>");
}

TEST(DriverModulePathTest, AFolderTooDeepForTheModuleNameLoadsNothing) {
    std::string folder = "C:\\" + std::string(243, 'd') + "\\";
    ASSERT_EQ(folder.size() + 12, 259u);
    EXPECT_EQ(ModuleBeside((folder + "A.DLL").c_str()), folder + "ZEDWIC_U.DLL");
    folder.insert(3, "d");
    EXPECT_EQ(ModuleBeside((folder + "A.DLL").c_str()), "<none>");
}

} // namespace
