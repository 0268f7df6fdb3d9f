// zwhost as a user runs it: its output, exit status and messages.
#include "dllhost.h"
#include "tempfile.h"
#include "testprinters.h"
#include "zwxwrite.h"

#include <gtest/gtest.h>

namespace {

struct RunResult {
    DWORD status;
    std::string out;
    std::string err;
};

// "error 2: The system cannot find the file specified."
std::string SystemError(DWORD error) {
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, sizeof text, nullptr);
    std::string message = "error " + std::to_string(error) + ": " + text;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message;
}

std::string ReadAll(HANDLE pipe) {
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got != 0) {
        text.append(buffer, got);
    }
    return text;
}

// A failure of the helper itself, not of zwhost: the test fails saying which
// call failed and why, and run.err carries the same words for the checks that
// print it.
void HelperFailed(RunResult *run, const std::string &what) {
    ADD_FAILURE() << "running zwhost: " << what;
    run->err += "running zwhost: " + what + "\n";
}

// Runs a command line, stdout and stderr to files (pipes could fill while we wait).
RunResult RunCommand(const std::string &folder, const std::string &commandLine) {
    RunResult run = {~0u, "", ""};
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    const std::string outPath = folder + "\\out.txt";
    const std::string errPath = folder + "\\err.txt";
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, 0, nullptr);
    HANDLE err = CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE) {
        HelperFailed(&run, "cannot create " + (out == INVALID_HANDLE_VALUE ? outPath : errPath) +
                               ": " + SystemError(GetLastError()));
        CloseHandle(out);
        CloseHandle(err);
        return run;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                        &startup, &process)) {
        HelperFailed(&run,
                     "CreateProcessA(" + commandLine + ") failed, " + SystemError(GetLastError()));
    } else {
        const DWORD waited = WaitForSingleObject(process.hProcess, 60000);
        if (waited == WAIT_TIMEOUT) {
            HelperFailed(&run, commandLine + " did not end within 60 s; ended it");
            TerminateProcess(process.hProcess, ~0u);
            WaitForSingleObject(process.hProcess, 5000);
        } else if (waited != WAIT_OBJECT_0) {
            HelperFailed(&run, "WaitForSingleObject failed, " + SystemError(GetLastError()));
        } else if (!GetExitCodeProcess(process.hProcess, &run.status)) {
            run.status = ~0u;
            HelperFailed(&run, "GetExitCodeProcess failed, " + SystemError(GetLastError()));
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out);
    CloseHandle(err);
    for (auto [path, text] : {std::pair{outPath, &run.out}, std::pair{errPath, &run.err}}) {
        HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               0, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            HelperFailed(&run, "cannot read " + path + ": " + SystemError(GetLastError()));
            continue;
        }
        text->insert(0, ReadAll(h));
        CloseHandle(h);
    }
    return run;
}

class ZwHostTest : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = TempDir_Create(" zwhost");
        ASSERT_TRUE(DllHost_Place(folder_));
        ASSERT_TRUE(CopyFileA((DllHost_ProgramFolder() + "\\zwhost.exe").c_str(),
                              (folder_ + "\\zwhost.exe").c_str(), FALSE));
        ASSERT_TRUE(File_Write(folder_ + "\\ZEDWIC_D.ZWX",
                               Zwx_Build({{"QORBA_ErrMsg",
                                           {{"ERMSG_00", "Done."},
                                            {"ERMSG_03", "Paper jam."},
                                            {"ERMSG_XX", "Printer unavailable."}}}},
                                         nullptr)));
    }
    void TearDown() override {
        TempDir_Remove(folder_);
    }
    RunResult Zwhost(const std::string &args) {
        return RunCommand(folder_, "\"" + folder_ + "\\zwhost.exe\" " + args);
    }
    std::string folder_;
};

TEST_F(ZwHostTest, MsgPrintsTheTextsOfTheLibraryBesideIt) {
    RunResult run = Zwhost("msg 0 3 -1");
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_EQ(run.out, "   0  Done.\r\n   3  Paper jam.\r\n  -1  Printer unavailable.\r\n");
    run = Zwhost("msg");
    EXPECT_EQ(run.status, 0u);
    EXPECT_NE(run.out.find("  99  Printer unavailable."), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("   5  Printer unavailable."), std::string::npos) << run.out;
}

TEST_F(ZwHostTest, CallShowsTheResultWithItsText) {
    RunResult run = Zwhost("call FixSetting \"ZW No Such Printer\" 42");
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_EQ(run.out,
              "VOLQUAD_FixSetting(\"ZW No Such Printer\", 42) = 99  Printer unavailable.\r\n");
}

TEST_F(ZwHostTest, MistakesGetClearMessages) {
    const struct {
        const char *args;
        const char *message;
    } cases[] = {
        {"msg seven", "not a code: 'seven'"},
        {"call FixSetting P 4x", "not a value: '4x'"},
        {"call Print P 1", "no settings export is called 'Print'"},
        {"call FixSetting P", "call needs EXPORT PRINTER VALUE"},
        {"frobnicate", "unknown command 'frobnicate'"},
        {"", "usage:"},
        {"--dll C:\\no\\such\\ZEDWIC_W.dll msg", "cannot load C:\\no\\such\\ZEDWIC_W.dll"},
    };
    for (const auto &c : cases) {
        RunResult run = Zwhost(c.args);
        EXPECT_EQ(run.status, 2u) << c.args;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.args << ": " << run.err;
        EXPECT_EQ(run.out, "") << c.args;
    }
    // A library without the export: the driver-side test module has FixSetting only.
    RunResult run = Zwhost("--dll \"" + DllHost_ProgramFolder() + "\\zwu_fix.dll\" msg");
    EXPECT_EQ(run.status, 2u);
    EXPECT_NE(run.err.find("does not export VOLQUAD_GetErrorMsg"), std::string::npos) << run.err;
}

TEST_F(ZwHostTest, PrintersShowsWhereEachDriverLooksForItsModule) {
    const std::string id = std::to_string(GetCurrentProcessId());
    const std::string with = "ZW Host With " + id, without = "ZW Host Without " + id;
    CreateDirectoryA((folder_ + "\\with").c_str(), nullptr);
    CreateDirectoryA((folder_ + "\\without").c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((DllHost_ProgramFolder() + "\\zwu_full.dll").c_str(),
                          (folder_ + "\\with\\ZEDWIC_U.DLL").c_str(), FALSE));
    std::string error;
    ASSERT_TRUE(
        TestPrinter_Install(with, "ZW Host Driver A " + id, folder_ + "\\with\\D.DLL", &error))
        << error;
    ASSERT_TRUE(TestPrinter_Install(without, "ZW Host Driver B " + id, folder_ + "\\without\\D.DLL",
                                    &error))
        << error;
    RunResult run = Zwhost("printers");
    TestPrinter_Remove(with, "ZW Host Driver A " + id);
    TestPrinter_Remove(without, "ZW Host Driver B " + id);
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_NE(run.out.find(with + "\r\n  driver folder: " + folder_ + "\\with\\\r\n" +
                           "  ZEDWIC_U.DLL:  present"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find(without + "\r\n  driver folder: " + folder_ + "\\without\\\r\n" +
                           "  ZEDWIC_U.DLL:  missing"),
              std::string::npos)
        << run.out;
}

} // namespace
