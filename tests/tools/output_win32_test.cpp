// -o on Windows: NUL is the null device and is written through; a read-only
// output is refused, not cleared; a data file another program holds open for
// writing says so, in every command; a write that is ended leaves nothing.
#include "toolfile.h"
#include "zwxtest.h"

#include <windows.h>

#include <algorithm>

namespace {

const char kSource[] = "[QORBA_ErrMsg]\nERMSG_00=Paper jam\nERMSG_XX=Unknown error\n";

class OutputTest : public ZwxTest {};

// The names in a folder (with . and ..), sorted; pattern narrows them.
std::vector<std::string> Names(const std::string &dir, const char *pattern = "*") {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(Path_Join(dir, pattern).c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            names.push_back(found.cFileName);
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    std::sort(names.begin(), names.end());
    return names;
}

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
    EXPECT_EQ(Names(dir_), (std::vector<std::string>{".", "..", "in.src", "out.zwx"}))
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

// A write that is ended leaves no temporary file, however it ends. The writer
// is this program again, running this test alone, told by the variables below
// where to write a large output; it is ended from outside (TerminateProcess,
// as Task Manager does) once its temporary file shows, or by a thread of its
// own calling ExitProcess, which is what Ctrl+C and a closed console do.
const char kChildOutput[] = "ZWX_TEST_ENDED_OUTPUT";
const char kChildEndsItself[] = "ZWX_TEST_ENDS_ITSELF";
const UINT kEndedFromOutside = 3;

std::string Variable(const char *name) {
    char value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(value, length) : std::string();
}

bool TemporaryShows(const std::string &dir) {
    return !Names(dir, ".out.zwx.tmp-*").empty();
}

DWORD WINAPI EndOnceTemporaryShows(void *dir) {
    while (!TemporaryShows(*static_cast<const std::string *>(dir))) {
        Sleep(1);
    }
    ExitProcess(STATUS_CONTROL_C_EXIT);
}

TEST_F(OutputTest, AnEndedWriteLeavesNoTemporaryFile) {
    const std::string childOutput = Variable(kChildOutput);
    if (!childOutput.empty()) {
        TempDir_Remove(dir_); // never removed otherwise: this process is ended
        static std::string outputDir;
        outputDir = childOutput.substr(0, childOutput.find_last_of("\\/"));
        if (!Variable(kChildEndsItself).empty()) {
            CloseHandle(CreateThread(nullptr, 0, EndOnceTemporaryShows, &outputDir, 0, nullptr));
        }
        std::string error;
        ToolFile_WriteOutput(childOutput, std::vector<uint8_t>(512u << 20, 'x'), &error);
        return; // the write outran its ending: the parent sees exit code 0
    }
    wchar_t self[MAX_PATH];
    ASSERT_LT(GetModuleFileNameW(nullptr, self, MAX_PATH), static_cast<DWORD>(MAX_PATH));
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(nul, INVALID_HANDLE_VALUE);
    for (bool endsItself : {false, true}) {
        std::wstring command = std::wstring(L"\"") + self +
                               L"\" --gtest_filter=OutputTest.AnEndedWriteLeavesNoTemporaryFile";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
        PROCESS_INFORMATION child = {};
        SetEnvironmentVariableA(kChildOutput, Path("out.zwx").c_str());
        SetEnvironmentVariableA(kChildEndsItself, endsItself ? "1" : nullptr);
        const BOOL started = CreateProcessW(self, &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                                            nullptr, &startup, &child);
        SetEnvironmentVariableA(kChildOutput, nullptr);
        SetEnvironmentVariableA(kChildEndsItself, nullptr);
        ASSERT_TRUE(started);
        if (!endsItself) {
            while (!TemporaryShows(dir_) &&
                   WaitForSingleObject(child.hProcess, 1) == WAIT_TIMEOUT) {
            }
            TerminateProcess(child.hProcess, kEndedFromOutside);
        }
        if (WaitForSingleObject(child.hProcess, 120000) != WAIT_OBJECT_0) {
            TerminateProcess(child.hProcess, 1);
            ADD_FAILURE() << "the writer did not end";
        }
        DWORD code = 0;
        GetExitCodeProcess(child.hProcess, &code);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
        EXPECT_EQ(code, endsItself ? static_cast<DWORD>(STATUS_CONTROL_C_EXIT) : kEndedFromOutside);
        EXPECT_EQ(Names(dir_), (std::vector<std::string>{".", ".."})) << endsItself;
    }
    CloseHandle(nul);
}

} // namespace
