// Splitting module paths like the C runtime's _splitpath, and composing the
// path of a file beside the module.
#include "modpath.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Split {
    std::string drive;
    std::string directory;
};

Split SplitOf(const char *path, ModPath_LeadByteTest isLeadByte = nullptr) {
    ModPathParts parts = ModPath_Split(path, isLeadByte);
    return {std::string(parts.drive, parts.driveLength),
            std::string(parts.directory, parts.directoryLength)};
}

std::string Beside(const char *path, const char *fileName) {
    ModPathParts parts = ModPath_Split(path, nullptr);
    char out[MODPATH_SIZE];
    if (!ModPath_Compose(out, &parts, fileName)) {
        return "<none>";
    }
    return out;
}

// Shift-JIS: lead bytes 0x81-0x9F and 0xE0-0xFC; a trail byte may be 0x5C.
bool IsShiftJisLead(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

TEST(ModPathTest, SplitsLikeTheRuntime) {
    Split s = SplitOf("C:\\Tools\\Printer\\ZEDWIC_W.dll");
    EXPECT_EQ(s.drive, "C:");
    EXPECT_EQ(s.directory, "\\Tools\\Printer\\");
    s = SplitOf("d:/mixed\\seps/file.dll");
    EXPECT_EQ(s.drive, "d:");
    EXPECT_EQ(s.directory, "/mixed\\seps/");
    s = SplitOf("\\\\server\\share\\drivers\\ZEDWIC_W.dll");
    EXPECT_EQ(s.drive, "");
    EXPECT_EQ(s.directory, "\\\\server\\share\\drivers\\");
    s = SplitOf("ABC.DLL");
    EXPECT_EQ(s.drive, "");
    EXPECT_EQ(s.directory, "");
    s = SplitOf("C:ABC.DLL");
    EXPECT_EQ(s.drive, "C:");
    EXPECT_EQ(s.directory, "");
    s = SplitOf("");
    EXPECT_EQ(s.drive + s.directory, "");
    s = SplitOf("C:\\dir\\");
    EXPECT_EQ(s.directory, "\\dir\\");
}

TEST(ModPathTest, TrailBytesThatLookLikeSeparatorsDoNotSplit) {
    // 0x95 0x5C is one character in Shift-JIS; its second byte is '\'.
    const char *path = "C:\\drv\\\x95\x5C.dll";
    EXPECT_EQ(SplitOf(path, IsShiftJisLead).directory, "\\drv\\");
    EXPECT_EQ(SplitOf(path).directory, "\\drv\\\x95\\") << "single-byte text splits at every 0x5C";
    EXPECT_EQ(SplitOf("C:\\\x95\x5C\\x.dll", IsShiftJisLead).directory, "\\\x95\x5C\\");
    EXPECT_EQ(SplitOf("C:\\a\\\x95", IsShiftJisLead).directory, "\\a\\") << "a cut character";
}

TEST(ModPathTest, ComposesBesideTheModuleWithin259Characters) {
    EXPECT_EQ(Beside("C:\\Tools\\Printer\\ZEDWIC_W.dll", "ZEDWIC_D.ZWX"),
              "C:\\Tools\\Printer\\ZEDWIC_D.ZWX");
    EXPECT_EQ(Beside("\\\\srv\\share\\ZEDWIC_W.dll", "ZEDWIC_D.ZWX"),
              "\\\\srv\\share\\ZEDWIC_D.ZWX");
    EXPECT_EQ(Beside("", "ZEDWIC_D.ZWX"), "ZEDWIC_D.ZWX") << "no name: the bare file name";

    // A directory of 247 characters leaves room for exactly 12 more.
    std::string dir = "C:\\" + std::string(243, 'd') + "\\";
    ASSERT_EQ(dir.size(), 247u);
    EXPECT_EQ(Beside((dir + "ZEDWIC_W.dll").c_str(), "ZEDWIC_D.ZWX"), dir + "ZEDWIC_D.ZWX");
    dir.insert(3, "e");
    EXPECT_EQ(Beside((dir + "Z.dll").c_str(), "ZEDWIC_D.ZWX"), "<none>");
}

// UTF-8 names are measured in UTF-16 units, as Windows measures wide names:
// three-byte letters count one, four-byte characters two.
TEST(ModPathTest, Utf8NamesCountTheirUtf16Units) {
    const std::string japanese = "\xe6\x97\xa5";  // one unit in three bytes
    const std::string emoji = "\xf0\x9f\x96\xa8"; // a surrogate pair in four bytes
    EXPECT_EQ(ModPath_Utf16Length("C:\\\xd0\x9f", 5), 4u);
    EXPECT_EQ(ModPath_Utf16Length(emoji.c_str(), emoji.size()), 2u);
    const std::string name = "ZEDWIC_D.ZWX";
    for (const std::string &letter : {japanese, emoji}) {
        const size_t unitsEach = letter.size() == 3 ? 1 : 2;
        // Folders of 247 and 248 units with their separators, then 12: 259 fit, 260 do not.
        for (const size_t folderUnits : {size_t{247}, size_t{248}}) {
            std::string folder = "C:\\";
            size_t units = 3;
            while (units + unitsEach <= folderUnits - 1) {
                folder += letter;
                units += unitsEach;
            }
            folder += std::string(folderUnits - 1 - units, 'e') + "\\";
            const std::string module = folder + "Z.dll";
            ModPathParts parts = ModPath_Split(module.c_str(), nullptr);
            char out[MODPATH_UTF8_SIZE];
            const bool fits = ModPath_ComposeUtf8(out, &parts, name.c_str());
            EXPECT_EQ(fits, folderUnits == 247) << folderUnits;
            EXPECT_EQ(std::string(out), fits ? folder + name : "");
        }
    }
}

TEST(ModPathTest, OnlyRootedDrivePathsAndUncPathsAreFullyQualified) {
    for (const char *path : {"C:\\drv\\a.dll", "z:/drv/a.dll", "\\\\srv\\share\\a.dll",
                             "//srv/share/a.dll", "C:\\a.dll"}) {
        ModPathParts parts = ModPath_Split(path, nullptr);
        EXPECT_TRUE(ModPath_IsFullyQualified(&parts)) << path;
    }
    for (const char *path : {"a.dll", "C:a.dll", "C:drv\\a.dll", "\\drv\\a.dll", "drv\\a.dll",
                             "\\\\a.dll", "\\\\\\srv\\a.dll", "1:\\drv\\a.dll", ""}) {
        ModPathParts parts = ModPath_Split(path, nullptr);
        EXPECT_FALSE(ModPath_IsFullyQualified(&parts)) << path;
    }
}

} // namespace
