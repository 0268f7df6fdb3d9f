// zwhost as a user runs it: its output, exit status and messages.
#include "dllhost.h"
#include "zwu/zwu_probe.h"
#include "tempfile.h"
#include "testprinters.h"
#include "wtext.h"
#include "zwxwrite.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

// This process's architecture as zwhost names it, and the other one's.
#ifdef _WIN64
#define ZWT_OWN_MACHINE "x64"
#define ZWT_OTHER_MACHINE "x86 (32-bit)"
#else
#define ZWT_OWN_MACHINE "x86 (32-bit)"
#define ZWT_OTHER_MACHINE "x64"
#endif

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

// Runs a UTF-8 command line, stdout and stderr to files (pipes could fill
// while we wait).
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
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process = {};
    std::wstring line = WText_Wide(commandLine);
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                        WText_Wide(folder).c_str(), &startup, &process)) {
        HelperFailed(&run,
                     "CreateProcessW(" + commandLine + ") failed, " + SystemError(GetLastError()));
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

// Printers of this process, each with a driver folder of its own (names carry
// the process id so parallel test processes never share one).
struct HostPrinter {
    const char *label;
    const char *driverFile; // under the suite's folder; "" for the spooler's own folder
    const char *module;     // copied beside it as ZEDWIC_U.DLL: a test module, "TEXT" or null
    bool dropRecord;        // the driver's record removed afterwards
    std::string name, driver, folder;
};

std::string g_root;
std::string g_setupError;
std::vector<HostPrinter> g_printers = {
    {"Full", "full\\D.DLL", "zwu_full.dll", false, "", "", ""},
    {"Echo", "echo\\D.DLL", "zwu_echo.dll", false, "", "", ""},
    {"FixOnly", "fix\\D.DLL", "zwu_fix.dll", false, "", "", ""},
    {"NoModule", "none\\D.DLL", nullptr, false, "", "", ""},
    {"Text", "text\\D.DLL", "TEXT", false, "", "", ""},
    {"InitFails", "init\\D.DLL", "zwu_initfail.dll", false, "", "", ""},
    {"NeedsHelper", "needs\\D.DLL", "zwu_needs.dll", false, "", "", ""},
#ifdef ZW_HAVE_OTHER_MODULE
    {"Other", "other\\D.DLL", "zwu_other.dll", false, "", "", ""},
#endif
    {"NoServer", "REL", nullptr, false, "", "", ""},
    {"NoShare", "UNC", nullptr, false, "", "", ""},
    {"TooDeep", "DEEP", nullptr, false, "", "", ""},
    {"NoRecord", "rec\\D.DLL", "zwu_full.dll", true, "", "", ""},
};

const HostPrinter &Printer(const std::string &label) {
    for (const HostPrinter &p : g_printers) {
        if (label == p.label) {
            return p;
        }
    }
    static const HostPrinter none = {"", "", nullptr, false, "(no such test printer)", "", ""};
    return none;
}

bool InstallPrinter(HostPrinter *p) {
    const std::string id = std::to_string(GetCurrentProcessId());
    p->name = std::string("ZW Host ") + p->label + " " + id;
    p->driver = std::string("ZW Host Driver ") + p->label + " " + id;
    std::string driverFile;
    if (strcmp(p->driverFile, "REL") == 0) {
        // Wine's spooler puts every value but a full path behind its own driver
        // folder; a UNC path without a server comes back as it stands.
        driverFile = "\\\\\\rel\\D.DLL";
    } else if (strcmp(p->driverFile, "UNC") == 0) {
        // A server but no share: the path rule takes it, the loader refuses it.
        driverFile = "\\\\zwnoserver\\D.DLL";
    } else if (strcmp(p->driverFile, "DEEP") == 0) {
        // 248 characters of folder leave no room for "\ZEDWIC_U.DLL".
        p->folder = g_root + "\\deep";
        p->folder += std::string(248 - p->folder.size(), 'e');
        driverFile = p->folder + "\\D.DLL";
    } else {
        driverFile = g_root + "\\" + p->driverFile;
        p->folder = driverFile.substr(0, driverFile.find_last_of('\\'));
    }
    if (!p->folder.empty()) {
        CreateDirectoryA(p->folder.c_str(), nullptr);
    }
    if (p->module != nullptr) {
        const std::string target = p->folder + "\\ZEDWIC_U.DLL";
        const bool placed =
            strcmp(p->module, "TEXT") == 0
                ? File_Write(target, {'n', 'o', 't', ' ', 'a', ' ', 'D', 'L', 'L', '\n'})
                : CopyFileA((DllHost_ProgramFolder() + "\\" + p->module).c_str(), target.c_str(),
                            FALSE) != FALSE;
        if (!placed) {
            g_setupError = "cannot place " + target;
            return false;
        }
    }
    if (!TestPrinter_Install(p->name, p->driver, driverFile, &g_setupError)) {
        return false;
    }
    if (p->dropRecord && !TestPrinter_DropDriverRecord(p->driver)) {
        g_setupError = "cannot remove the driver record of " + p->driver;
        return false;
    }
    return true;
}

class ZwHostTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        g_root = TempDir_Create(" zwhost printers");
        for (HostPrinter &p : g_printers) {
            if (!InstallPrinter(&p)) {
                break;
            }
        }
    }
    static void TearDownTestSuite() {
        for (HostPrinter &p : g_printers) {
            if (!p.name.empty()) {
                TestPrinter_Remove(p.name, p.driver);
            }
        }
        TempDir_Remove(g_root);
    }
    void SetUp() override {
        ASSERT_EQ(g_setupError, "");
        folder_ = TempDir_Create(" zwhost");
        ASSERT_TRUE(DllHost_Place(folder_));
        ASSERT_TRUE(CopyFileA((DllHost_ProgramFolder() + "\\zwhost.exe").c_str(),
                              (folder_ + "\\zwhost.exe").c_str(), FALSE));
        WriteDataFile({{"QORBA_ErrMsg",
                        {{"ERMSG_00", "Done."},
                         {"ERMSG_03", "Paper jam."},
                         {"ERMSG_XX", "Printer unavailable."}}}});
    }
    void TearDown() override {
        TempDir_Remove(folder_);
    }
    void WriteDataFile(const std::vector<ZwxSection> &sections) {
        ASSERT_TRUE(File_Write(folder_ + "\\ZEDWIC_D.ZWX", Zwx_Build(sections, nullptr)));
    }
    RunResult Zwhost(const std::string &args) {
        return RunCommand(folder_, "\"" + folder_ + "\\zwhost.exe\" " + args);
    }
    std::string folder_;
};

TEST_F(ZwHostTest, MsgPrintsTheTextsOfTheLibraryBesideIt) {
    RunResult run = Zwhost("msg 0 3 -1");
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_EQ(run.out, "library:   " + folder_ + "\\ZEDWIC_W.dll\r\ndata file: " + folder_ +
                           "\\ZEDWIC_D.ZWX\r\n"
                           "   0  Done.\r\n   3  Paper jam.\r\n  -1  Printer unavailable.\r\n");
    run = Zwhost("msg");
    EXPECT_EQ(run.status, 0u);
    EXPECT_NE(run.out.find("  99  Printer unavailable."), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("   5  Printer unavailable."), std::string::npos) << run.out;
}

TEST_F(ZwHostTest, MsgSaysWhyTextsAreEmpty) {
    const struct {
        std::vector<ZwxSection> sections; // no data file when empty
        const char *why;
    } cases[] = {
        {{}, "empty texts: there is no data file "},
        {{{"Other", {{"ERMSG_00", "Done."}}}}, "no section \"QORBA_ErrMsg\""},
        {{{"QORBA_ErrMsg", {{"ERMSG_5", "Five."}, {"ERMSG_00", "Done."}}}},
         "entry 1 (\"ERMSG_5\"): fills no slot"},
        {{{"QORBA_ErrMsg", {{"ERMSG_05", ""}, {"ERMSG_XX", "Other."}}}},
         "the value is empty; code 5 loads as the empty text"},
    };
    for (const auto &c : cases) {
        DeleteFileA((folder_ + "\\ZEDWIC_D.ZWX").c_str());
        if (!c.sections.empty()) {
            WriteDataFile(c.sections);
        }
        RunResult run = Zwhost("msg 0 5");
        EXPECT_EQ(run.status, 1u) << c.why << ": " << run.err;
        EXPECT_NE(run.out.find("   5  (empty)\r\n"), std::string::npos) << run.out;
        EXPECT_NE(run.out.find(c.why), std::string::npos) << c.why << "\n" << run.out;
    }
}

// The number in "last error the host sees: N (...)", or ~0u.
DWORD ShownError(const std::string &out) {
    const std::string label = "last error the host sees: ";
    const size_t at = out.find(label);
    return at == std::string::npos
               ? ~0u
               : static_cast<DWORD>(strtoul(out.c_str() + at + label.size(), nullptr, 10));
}

// A call as a host makes it: the result and the last error after it.
TEST_F(ZwHostTest, CallShowsTheResultTheLastErrorAndWhetherTheFunctionRan) {
    const std::string unknown = "ZW Host Unknown " + std::to_string(GetCurrentProcessId());
    const struct {
        std::string args;
        std::vector<std::string> lines;
    } cases[] = {
        {"FixSetting \"" + unknown + "\" 42",
         {"VOLQUAD_FixSetting(\"" + unknown + "\", 42) = 99  Printer unavailable.\r\n",
          "last error: 1801 (",
          "the function did not run: the library stopped at step 1 "
          "(open the printer): the spooler does not open the printer\r\n"}},
        {"SettingExport \"" + Printer("FixOnly").name + "\" 7",
         {"= 99  Printer unavailable.\r\n", "last error: 127 (",
          "stopped at step 7 (the function): the module does not export "
          "VOLQUAD_SettingExport\r\n"}},
        {"SettingImport \"" + Printer("NoModule").name + "\" 7",
         {"last error: 126 (", "stopped at step 6 (load the module): there is no file "}},
        // The driver's own result and last error, 99 included.
        {"FixSetting \"" + Printer("Echo").name + "\" 5",
         {"VOLQUAD_FixSetting(\"" + Printer("Echo").name + "\", 5) = 5  Printer unavailable.\r\n",
          "last error: 5 (",
          "the function ran in " + g_root +
              "\\echo\\ZEDWIC_U.DLL: 5 is its own "
              "result, the last error what it left\r\n"}},
        {"DefaultSetting \"" + Printer("Echo").name + "\" 99",
         {"= 99  Printer unavailable.\r\n", "last error: 99 (", "the function ran in "}},
        {"PersonalInfoImport \"" + Printer("Echo").name + "\" 0xDEADBEEF",
         {"last error: 0xDEADBEEF, as zwhost set it before the call: the call set none\r\n",
          "the function ran in "}},
    };
    for (const auto &c : cases) {
        RunResult run = Zwhost("call " + c.args);
        EXPECT_EQ(run.status, 0u) << c.args << ": " << run.err;
        for (const std::string &line : c.lines) {
            EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
        }
    }
}

// Every reason for 99: zwhost shows the step the library's walk stops at, and
// the last error it shows is the one the DLL's own export leaves for the host.
TEST_F(ZwHostTest, ExplainShowsTheStepAndTheLastErrorTheHostSees) {
    const std::string unknown = "ZW Host Unknown " + std::to_string(GetCurrentProcessId());
    const struct {
        std::string printer;
        const char *exportName;
        const char *says;
        DWORD error; // 0: whatever the spooler gives
    } cases[] = {
        {unknown, "FixSetting",
         "1. open the printer    stops: the spooler does not open the printer",
         ERROR_INVALID_PRINTER_NAME},
        {Printer("Full").name + std::string(300 - Printer("Full").name.size(), 'x'), "FixSetting",
         "(it is given only the first 259 characters of the name)", ERROR_INVALID_PRINTER_NAME},
        {Printer("NoRecord").name, "FixSetting", "stops: the spooler has no driver record", 0},
        {Printer("NoServer").name, "FixSetting",
         "5. module path         stops: pDriverPath \"\\\\\\rel\\D.DLL\" is not a full path",
         ERROR_MOD_NOT_FOUND},
        {Printer("NoShare").name, "FixSetting",
         "6. load the module     stops: the loader refuses the path itself", 0},
        {Printer("TooDeep").name, "FixSetting",
         "would be 261 characters; the library's limit is 259", ERROR_MOD_NOT_FOUND},
        {Printer("NoModule").name, "FixSetting", "6. load the module     stops: there is no file ",
         ERROR_MOD_NOT_FOUND},
        {Printer("Text").name, "FixSetting",
         "stops: not a valid Windows program: it does not start with the MZ header", 0},
        {Printer("InitFails").name, "FixSetting",
         "stops: its initialisation failed (its DllMain returned FALSE)", ERROR_DLL_INIT_FAILED},
        {Printer("NeedsHelper").name, "FixSetting",
         "stops: it imports zwu_helper.dll, which is neither beside it nor in the system folder",
         ERROR_MOD_NOT_FOUND},
#ifdef ZW_HAVE_OTHER_MODULE
        {Printer("Other").name, "FixSetting",
         "stops: not a valid Windows program for this architecture: it is built "
         "for " ZWT_OTHER_MACHINE,
         ERROR_BAD_EXE_FORMAT},
#endif
        {Printer("FixOnly").name, "SettingExport",
         "7. VOLQUAD_SettingExport stops: the module does not export VOLQUAD_SettingExport",
         ERROR_PROC_NOT_FOUND},
        {Printer("FixOnly").name, nullptr,
         "7. the five functions  stops: the module lacks SettingExport SettingImport "
         "PersonalInfoImport DefaultSetting; it has FixSetting",
         ERROR_PROC_NOT_FOUND},
        {Printer("FixOnly").name, "FixSetting",
         "reached: VOLQUAD_FixSetting for this printer runs in ", 0},
        {Printer("Full").name, nullptr, "reached: the five settings calls for this printer run in ",
         0},
    };
    // A helper in the host's own and current folder changes nothing.
    ASSERT_TRUE(CopyFileA((DllHost_ProgramFolder() + "\\zwu_helper.dll").c_str(),
                          (folder_ + "\\zwu_helper.dll").c_str(), FALSE));
    LoadedDll dll = DllHost_Load(folder_ + "\\ZEDWIC_W.dll");
    ASSERT_NE(dll.module, nullptr);
    for (const auto &c : cases) {
        const std::string exportArg = c.exportName != nullptr ? c.exportName : "";
        RunResult run = Zwhost("explain \"" + c.printer + "\" " + exportArg);
        const bool reached = run.out.find("reached: ") != std::string::npos;
        EXPECT_EQ(run.status, reached ? 0u : 1u) << c.says << ": " << run.err;
        EXPECT_NE(run.out.find(c.says), std::string::npos) << c.says << "\n" << run.out;
        EXPECT_EQ(run.out.find("stops", run.out.find("stops") + 5), run.out.find("stops at step"))
            << "only the last step stops\n"
            << run.out;
        if (!reached && c.error != 0) {
            EXPECT_EQ(ShownError(run.out), c.error) << run.out;
        }
        if (c.exportName == nullptr) {
            continue;
        }
        // The library gives 99 exactly where zwhost says the call stops, and
        // leaves the last error zwhost shows.
        const std::string name = "VOLQUAD_" + exportArg;
        auto call = reinterpret_cast<VOLQUAD_Setting_Fn>(
            reinterpret_cast<void *>(GetProcAddress(dll.module, name.c_str())));
        ASSERT_NE(call, nullptr);
        ZwuProbe probe = {};
        probe.result = 5;
        SetLastError(0xDEADBEEF);
        const int32_t result = call(c.printer.c_str(), reinterpret_cast<intptr_t>(&probe));
        const DWORD error = GetLastError();
        EXPECT_EQ(result == VOLQUAD_RESULT_UNAVAILABLE, !reached) << c.says << ": " << result;
        if (!reached) {
            EXPECT_EQ(ShownError(run.out), error) << c.says << "\n" << run.out;
        }
    }
    DllHost_Unload(&dll);
}

TEST_F(ZwHostTest, PrintersShowsWhetherEachModuleLoadsAndWhatItHas) {
    RunResult run = Zwhost("printers");
    EXPECT_EQ(run.status, 0u) << run.err;
    const struct {
        const char *label;
        std::string lines;
    } cases[] = {
        {"Full", "  ZEDWIC_U.DLL:  " + g_root +
                     "\\full\\ZEDWIC_U.DLL\r\n  loads:         yes; exports SettingExport "
                     "SettingImport PersonalInfoImport DefaultSetting FixSetting\r\n"},
        {"FixOnly", "\\fix\\ZEDWIC_U.DLL\r\n  loads:         yes; exports FixSetting; lacks "
                    "SettingExport SettingImport PersonalInfoImport DefaultSetting\r\n"},
        {"NoModule", "\\none\\ZEDWIC_U.DLL\r\n  loads:         no: there is no file " + g_root +
                         "\\none\\ZEDWIC_U.DLL; last error 126 ("},
        // A file of that name is not a module: the name alone says nothing.
        {"Text", "\\text\\ZEDWIC_U.DLL\r\n  loads:         no: not a valid Windows program: it "
                 "does not start with the MZ header"},
        {"NoServer", "  driver file:   \\\\\\rel\\D.DLL\r\n  ZEDWIC_U.DLL:  not looked for: "
                     "pDriverPath \"\\\\\\rel\\D.DLL\" is not a full path"},
    };
    for (const auto &c : cases) {
        const std::string name = Printer(c.label).name;
        const size_t at = run.out.find(name + "\r\n");
        ASSERT_NE(at, std::string::npos) << name << "\n" << run.out;
        const size_t next = run.out.find("\r\nZW Host ", at);
        const std::string block =
            run.out.substr(at, next == std::string::npos ? next : next - at + 2);
        EXPECT_NE(block.find(c.lines), std::string::npos) << c.lines << "\n" << block;
    }
}

// msg: the data file as the library opens it comes first.
TEST_F(ZwHostTest, MsgSaysWhenTheDataFileIsHeldOrIsNoDataFile) {
    const std::string path = folder_ + "\\ZEDWIC_D.ZWX";
    const struct {
        std::vector<uint8_t> bytes;
        const char *why;
    } cases[] = {
        {{}, "is not a data file: it is 0 bytes long, shorter than a data file's 8-byte header"},
        {{'M', 'Z', 0x90, 0, 3, 0, 0, 0, 4, 0, 0, 0, 0xFF, 0xFF, 0, 0},
         "is not a data file: it does not start with \"ZW\""},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(File_Write(path, c.bytes));
        RunResult run = Zwhost("msg 0");
        EXPECT_EQ(run.status, 1u) << run.err;
        EXPECT_NE(run.out.find("empty texts: " + path + " " + c.why), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("section"), std::string::npos) << run.out;
    }
    WriteDataFile({{"QORBA_ErrMsg", {{"ERMSG_00", "Done."}}}});
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    RunResult run = Zwhost("msg 0");
    CloseHandle(writer);
    EXPECT_EQ(run.status, 1u) << run.err;
    EXPECT_NE(run.out.find("empty texts: another program holds the data file " + path +
                           " open for writing"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("error 32 ("), std::string::npos) << run.out;
    run = Zwhost("msg 0");
    EXPECT_EQ(run.status, 0u) << "released, it reads again\n" << run.out;
}

// Folders as a customer has them: outside the ANSI code page, and the
// package's tools\ beside bin\. (A zwhost deeper than 259 characters, whose
// own name would be cut, cannot be started under Wine at all.)
TEST_F(ZwHostTest, RunsFromAFolderOutsideTheCodePageAndAsInstalled) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(WText_Wide(folder_));
    const fs::path unicode =
        root / fs::path(L"\u041F\u0440\u0438\u043D\u0442\u0435\u0440 \u65E5\u672C");
    ASSERT_TRUE(fs::create_directories(unicode));
    for (const char *file : {"zwhost.exe", "ZEDWIC_W.dll", "ZEDWIC_D.ZWX"}) {
        fs::copy_file(root / file, unicode / file);
    }
    const std::string unicodeFolder = WText_Utf8(unicode.wstring());
    RunResult run = RunCommand(folder_, "\"" + unicodeFolder + "\\zwhost.exe\" msg 3");
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_EQ(run.out, "library:   " + unicodeFolder + "\\ZEDWIC_W.dll\r\ndata file: " +
                           unicodeFolder + "\\ZEDWIC_D.ZWX\r\n   3  Paper jam.\r\n");
    run = Zwhost("--dll \"" + unicodeFolder + "\\ZEDWIC_W.dll\" call FixSetting \"" +
                 Printer("Echo").name + "\" 3");
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_NE(run.out.find(") = 3  Paper jam.\r\n"), std::string::npos) << run.out;

    // Installed: tools\zwhost.exe finds bin\ZEDWIC_W.dll.
    fs::create_directories(root / "pkg" / "bin");
    fs::create_directories(root / "pkg" / "tools");
    fs::copy_file(root / "zwhost.exe", root / "pkg" / "tools" / "zwhost.exe");
    fs::copy_file(root / "ZEDWIC_W.dll", root / "pkg" / "bin" / "ZEDWIC_W.dll");
    fs::copy_file(root / "ZEDWIC_D.ZWX", root / "pkg" / "bin" / "ZEDWIC_D.ZWX");
    run = RunCommand(folder_, "\"" + folder_ + "\\pkg\\tools\\zwhost.exe\" msg 0");
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_EQ(run.out.find("library:   " + folder_ + "\\pkg\\bin\\ZEDWIC_W.dll\r\n"), 0u)
        << run.out;
}

TEST_F(ZwHostTest, HelpAndVersion) {
    RunResult run = Zwhost("--help");
    EXPECT_EQ(run.status, 0u);
    EXPECT_EQ(run.out.find("usage: zwhost"), 0u) << run.out;
    EXPECT_NE(run.out.find("its DllMain runs here"), std::string::npos) << run.out;
    EXPECT_EQ(run.err, "");
    run = Zwhost("--version");
    EXPECT_EQ(run.status, 0u);
    EXPECT_EQ(run.out, std::string("zwhost ") + ZW_PROJECT_VERSION + "\r\n");
}

TEST_F(ZwHostTest, MistakesAndLibrariesThatDoNotLoadGetClearMessages) {
    const std::string bin = DllHost_ProgramFolder();
    const struct {
        std::string args;
        std::string message;
    } cases[] = {
        {"msg seven", "not a code: 'seven'"},
        {"call FixSetting P 4x", "not a value: '4x'"},
        {"call Print P 1", "no settings export is called 'Print'"},
        {"call FixSetting P", "call needs EXPORT PRINTER VALUE"},
        {"explain", "explain needs PRINTER"},
        {"explain P Print", "no settings export is called 'Print'"},
        {"printers now", "printers takes no arguments"},
        {"frobnicate", "unknown command 'frobnicate'"},
        {"", "usage:"},
        {"--dll x.dll explain P", "--dll is for msg and call; explain runs the library's walk"},
        {"--dll x.dll printers", "--dll is for msg and call; printers runs"},
        {"explain \"\xD0\x9F P\"", "has characters outside the system code page"},
        {"--dll C:\\no\\such\\ZEDWIC_W.dll msg",
         "cannot load C:\\no\\such\\ZEDWIC_W.dll: there is no file C:\\no\\such\\ZEDWIC_W.dll; "
         "error 126 ("},
#ifdef ZW_HAVE_OTHER_MODULE
        {"--dll \"" + bin + "\\zwu_other.dll\" msg",
         "not a valid Windows program for this architecture: it is built for " ZWT_OTHER_MACHINE
         ", the process is " ZWT_OWN_MACHINE "; error 193 ("},
#endif
        {"--dll \"" + bin + "\\zwu_initfail.dll\" msg",
         "its initialisation failed (its DllMain returned FALSE); error 1114 ("},
        // A library without the export: the driver-side test module has FixSetting only.
        {"--dll \"" + bin + "\\zwu_fix.dll\" msg", "does not export VOLQUAD_GetErrorMsg"},
    };
    for (const auto &c : cases) {
        RunResult run = Zwhost(c.args);
        EXPECT_EQ(run.status, 2u) << c.args;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.args << ": " << run.err;
        EXPECT_EQ(run.out, "") << c.args;
    }
}

} // namespace
