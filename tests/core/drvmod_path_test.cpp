// Where the driver-side module is looked for, given the driver file's path.
#include "drvmod.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The module's path, or why there is none.
std::string ModuleBeside(const char *driverPath) {
    char out[MODPATH_SIZE];
    switch (DriverModule_ComposePath(driverPath, nullptr, out)) {
    case DRIVERMODULE_PATH_OK:
        return out;
    case DRIVERMODULE_PATH_NONE:
        EXPECT_STREQ(out, "");
        return "<none>";
    case DRIVERMODULE_PATH_NOT_QUALIFIED:
        EXPECT_STREQ(out, "");
        return "<not qualified>";
    case DRIVERMODULE_PATH_TOO_DEEP:
        EXPECT_STREQ(out, "");
        return "<too deep>";
    }
    return "<?>";
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
        EXPECT_EQ(ModuleBeside(path), "<not qualified>") << path;
    }
    EXPECT_EQ(ModuleBeside(nullptr), "<none>");
}

TEST(DriverModulePathTest, AFolderTooDeepForTheModuleNameLoadsNothing) {
    std::string folder = "C:\\" + std::string(243, 'd') + "\\";
    ASSERT_EQ(folder.size() + 12, 259u);
    EXPECT_EQ(ModuleBeside((folder + "A.DLL").c_str()), folder + "ZEDWIC_U.DLL");
    folder.insert(3, "d");
    EXPECT_EQ(ModuleBeside((folder + "A.DLL").c_str()), "<too deep>");
}

} // namespace
