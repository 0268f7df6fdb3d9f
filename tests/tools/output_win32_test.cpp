// -o on Windows: NUL is the null device and is written through; a read-only
// output is refused, not cleared; a data file another program holds open for
// writing says so, in every command.
#include "zwxtest.h"

#include <windows.h>

#include <algorithm>

namespace {

const char kSource[] = "[QORBA_ErrMsg]\nERMSG_00=Paper jam\nERMSG_XX=Unknown error\n";

class OutputTest : public ZwxTest {};

TEST_F(OutputTest, NulAndConAreDevices) {
    Compile(kSource);
    ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
    for (const std::string &nul :
         std::vector<std::string>{"NUL", "nul", "\\\\.\\NUL", Path("NUL")}) {
        EXPECT_EQ(Run({"compile", "in.src", "-o", nul}), ZWX_EXIT_OK) << nul << io_.err;
        EXPECT_EQ(Run({"dump", "out.zwx", "-o", nul}), ZWX_EXIT_OK) << nul << io_.err;
    }
    // The console when the process has one; else a clear refusal.
    HANDLE console = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    const bool haveConsole = console != INVALID_HANDLE_VALUE;
    if (haveConsole) {
        CloseHandle(console);
    }
    EXPECT_EQ(Run({"dump", "out.zwx", "-o", "CON"}), haveConsole ? ZWX_EXIT_OK : ZWX_EXIT_FAILED);
    if (!haveConsole) {
        EXPECT_EQ(io_.err, "zwx: cannot write CON: this process has no console\n");
    }
    SetCurrentDirectoryA("C:\\");
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(Path("*").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        names.push_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", "in.src", "out.zwx"}))
        << "no file named NUL or CON, and no temporary file";
}

TEST_F(OutputTest, AReadOnlyOutputIsRefusedNotCleared) {
    const std::string data = Compile(kSource);
    const std::string out = Write("ro.zwx", std::string("old"));
    ASSERT_TRUE(SetFileAttributesA(out.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Run({"compile", Path("in.src"), "-o", out}), ZWX_EXIT_FAILED);
    EXPECT_EQ(io_.err,
              "zwx: cannot write " + out + ": it is read-only (attrib -r clears the attribute)\n");
    EXPECT_EQ(Read("ro.zwx"), "old");
    EXPECT_NE(GetFileAttributesA(out.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    SetFileAttributesA(out.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(OutputTest, AFileHeldForWritingIsASharingViolationInEveryCommand) {
    Compile(kSource);
    const std::string held = Path("out.zwx");
    HANDLE writer = CreateFileA(held.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    const std::string why = "zwx: cannot read " + held +
                            ": another program holds it open for writing (a sharing "
                            "violation)\n";
    for (const char *command : {"dump", "check", "export-po"}) {
        EXPECT_EQ(Run({command, held}), ZWX_EXIT_FAILED) << command;
        EXPECT_EQ(io_.err, why) << command;
    }
    CloseHandle(writer);
    EXPECT_EQ(Run({"check", held}), ZWX_EXIT_OK) << io_.err;
}

} // namespace
