// The five settings exports against printers installed in Wine's spooler,
// each driver reporting a folder of the test's own with a test ZEDWIC_U.DLL.
#include "dllhost.h"
#include "drvmod.h"
#include "tempfile.h"
#include "testprinters.h"
#include "zwu/zwu_probe.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

struct Export {
    const char *name;
    ZwuFunction function;
};

const Export kExports[] = {
    {"VOLQUAD_SettingExport", ZWU_SETTING_EXPORT},
    {"VOLQUAD_SettingImport", ZWU_SETTING_IMPORT},
    {"VOLQUAD_PersonalInfoImport", ZWU_PERSONAL_INFO_IMPORT},
    {"VOLQUAD_DefaultSetting", ZWU_DEFAULT_SETTING},
    {"VOLQUAD_FixSetting", ZWU_FIX_SETTING},
};

// Printers of this process; names carry the process id so parallel test
// processes never share one.
struct Printer {
    std::string name;
    std::string driver;
    std::string folder;     // where the spooler says the driver file lies
    const char *testModule; // copied there as ZEDWIC_U.DLL, or null
};

std::string g_root;
HMODULE g_dll = nullptr;
VOLQUAD_Setting_Fn g_exports[5] = {};
Printer g_full, g_fixOnly, g_noModule, g_noDriverFile, g_tooDeep, g_notModule;
// Modules that import ZWUHELP.DLL: with it beside them, and without.
Printer g_withHelper, g_helperMissing;
// x86: a module that exports the decorated names (_VOLQUAD_FixSetting@8).
Printer g_decorated;
std::string g_setupError;

bool Install(Printer *printer, const std::string &label, const std::string &folder,
             const char *testModule) {
    const std::string id = std::to_string(GetCurrentProcessId());
    printer->name = "ZW " + label + " " + id;
    printer->driver = "ZW Driver " + label + " " + id;
    printer->folder = folder;
    printer->testModule = testModule;
    if (!folder.empty()) {
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    if (testModule != nullptr) {
        const std::string source = DllHost_ProgramFolder() + "\\" + testModule;
        if (!CopyFileA(source.c_str(), (folder + "\\ZEDWIC_U.DLL").c_str(), FALSE)) {
            g_setupError = "cannot copy " + source;
            return false;
        }
    }
    const std::string driverFile = folder.empty() ? std::string() : folder + "\\DRIVER.DLL";
    return TestPrinter_Install(printer->name, printer->driver, driverFile, &g_setupError);
}

std::string ModulePath(const Printer &printer) {
    return printer.folder + "\\ZEDWIC_U.DLL";
}

std::string HelperBuilt() {
    return DllHost_ProgramFolder() + "\\zwu_helper\\" ZWU_HELPER_FILE_NAME;
}

// The spooler's own error for a printer name it does not know.
DWORD SpoolerErrorFor(const char *printerName) {
    HANDLE printer = nullptr;
    if (OpenPrinterA(const_cast<char *>(printerName), &printer, nullptr)) {
        ClosePrinter(printer);
        return ERROR_SUCCESS;
    }
    return GetLastError();
}

// The loader's own error for a module that will not load, by the library's own load call.
DWORD LoaderErrorFor(const std::string &path) {
    PlatformModule module = Platform_Defaults()->ModuleLoad(path.c_str());
    if (module != nullptr) {
        Platform_Defaults()->ModuleFree(module);
        return ERROR_SUCCESS;
    }
    return GetLastError();
}

bool HelperWasLoaded() {
    char path[MAX_PATH] = {};
    return GetEnvironmentVariableA(ZWU_HELPER_LOADED_VARIABLE, path, MAX_PATH) != 0;
}

// Left in the last error before each call, so that what comes back was set by the call.
const DWORD kBeforeCall = 0xE0000DEA;

bool IsLoaded(const Printer &printer) {
    return GetModuleHandleA(ModulePath(printer).c_str()) != nullptr;
}

// Calls export i with a fresh probe that asks for result and lastError.
int32_t Call(int i, const char *printerName, ZwuProbe *probe, int32_t result, DWORD lastError = 0) {
    *probe = ZwuProbe{};
    probe->result = result;
    probe->lastError = lastError;
    SetLastError(kBeforeCall);
    return g_exports[i](printerName, reinterpret_cast<intptr_t>(probe));
}

class ForwardTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        g_root = TempDir_Create(" zw forward");
        g_dll = LoadLibraryA(DllHost_BuiltDll().c_str());
        for (int i = 0; g_dll != nullptr && i < 5; ++i) {
            g_exports[i] = reinterpret_cast<VOLQUAD_Setting_Fn>(
                reinterpret_cast<void *>(GetProcAddress(g_dll, kExports[i].name)));
        }
        // 248 characters of folder leave no room for "\ZEDWIC_U.DLL"; a cut
        // path would name the decoy "ZEDWIC_U.D" put there.
        std::string deep = g_root + "\\deep";
        deep += std::string(248 - deep.size(), 'e');
        const bool ok =
            Install(&g_full, "Full", g_root + "\\full", "zwu_full.dll") &&
            Install(&g_fixOnly, "FixOnly", g_root + "\\fix", "zwu_fix.dll") &&
            Install(&g_noModule, "NoModule", g_root + "\\empty", nullptr) &&
            Install(&g_noDriverFile, "NoDriverFile", "", nullptr) &&
            Install(&g_tooDeep, "TooDeep", deep, nullptr) &&
            CopyFileA((DllHost_ProgramFolder() + "\\zwu_full.dll").c_str(),
                      (deep + "\\ZEDWIC_U.D").c_str(), FALSE) &&
            Install(&g_notModule, "NotModule", g_root + "\\text", nullptr) &&
            File_Write(ModulePath(g_notModule), {'n', 'o', 't', '\r', '\n'}) &&
            Install(&g_withHelper, "WithHelper", g_root + "\\helper", "zwu_dep.dll") &&
            CopyFileA(HelperBuilt().c_str(),
                      (g_withHelper.folder + "\\" ZWU_HELPER_FILE_NAME).c_str(), FALSE) &&
            Install(&g_helperMissing, "HelperMissing", g_root + "\\nohelper", "zwu_dep.dll")
#ifdef ZW_HAVE_DECORATED_MODULE
            && Install(&g_decorated, "Decorated", g_root + "\\decorated", "zwu_decorated.dll")
#endif
            ;
        if (!ok && g_setupError.empty()) {
            g_setupError = "cannot place the decoy, the text file or the helper";
        }
    }
    static void TearDownTestSuite() {
        for (Printer *p : {&g_full, &g_fixOnly, &g_noModule, &g_noDriverFile, &g_tooDeep,
                           &g_notModule, &g_withHelper, &g_helperMissing, &g_decorated}) {
            if (!p->name.empty()) {
                TestPrinter_Remove(p->name, p->driver);
            }
        }
        if (g_dll != nullptr) {
            FreeLibrary(g_dll);
        }
        TempDir_Remove(g_root);
    }
    void SetUp() override {
        ASSERT_EQ(g_setupError, "");
        ASSERT_NE(g_dll, nullptr);
        for (VOLQUAD_Setting_Fn fn : g_exports) {
            ASSERT_NE(fn, nullptr);
        }
    }
};

TEST_F(ForwardTest, EachExportReachesItsOwnFunctionWithTheHostsArguments) {
    const int32_t results[] = {0, 99, 7, -5, INT32_MIN};
    // Whatever the function leaves as the last error reaches the host, a 99's included.
    const DWORD errors[] = {0, ERROR_MOD_NOT_FOUND, ERROR_PROC_NOT_FOUND, 5, 0xE0001234};
    for (int i = 0; i < 5; ++i) {
        ZwuProbe probe;
        const char *name = g_full.name.c_str();
        EXPECT_EQ(Call(i, name, &probe, results[i], errors[i]), results[i]) << kExports[i].name;
        EXPECT_EQ(GetLastError(), errors[i]) << kExports[i].name;
        EXPECT_EQ(probe.calls, 1u);
        EXPECT_EQ(probe.function, kExports[i].function);
        EXPECT_EQ(probe.seenName, name) << "the host's own pointer";
        EXPECT_EQ(probe.seenValue, reinterpret_cast<intptr_t>(&probe));
        EXPECT_STRCASEEQ(probe.modulePath, ModulePath(g_full).c_str());
    }
}

TEST_F(ForwardTest, TheValueTravelsWithAllItsBits) {
    // A probe at the top of the address space shows that no bit of the
    // pointer-sized value is lost: above 4 GiB on x64; on x86 above 2 GiB
    // (this program is large-address aware), so the top bit is set and the
    // value is negative as an intptr_t.
    void *high = VirtualAlloc(nullptr, sizeof(ZwuProbe), MEM_COMMIT | MEM_RESERVE | MEM_TOP_DOWN,
                              PAGE_READWRITE);
    ASSERT_NE(high, nullptr);
    ZwuProbe *probe = static_cast<ZwuProbe *>(high);
#ifdef _WIN64
    EXPECT_GT(reinterpret_cast<uintptr_t>(probe), uintptr_t{0xFFFFFFFF});
#else
    EXPECT_GT(reinterpret_cast<uintptr_t>(probe), uintptr_t{0x7FFFFFFF});
    EXPECT_LT(reinterpret_cast<intptr_t>(probe), 0);
#endif
    EXPECT_EQ(Call(4, g_full.name.c_str(), probe, 12345), 12345);
    EXPECT_EQ(probe->seenValue, reinterpret_cast<intptr_t>(probe));
    VirtualFree(high, 0, MEM_RELEASE);
}

#ifdef ZW_HAVE_DECORATED_MODULE
// The library asks for the plain names, as the Win32 API's own DLLs export
// them; a module exporting only _VOLQUAD_FixSetting@8 and the like lacks them.
TEST_F(ForwardTest, AModuleWithDecoratedNamesGives99AndProcNotFound) {
    for (int i = 0; i < 5; ++i) {
        ZwuProbe probe;
        EXPECT_EQ(Call(i, g_decorated.name.c_str(), &probe, 0), 99) << kExports[i].name;
        EXPECT_EQ(GetLastError(), DWORD{ERROR_PROC_NOT_FOUND}) << kExports[i].name;
    }
}
#endif

TEST_F(ForwardTest, UnreachablePrintersAndModulesGive99AndTheLastErrorSaysWhy) {
    const std::string unknown = "ZW No Such Printer " + std::to_string(GetCurrentProcessId());
    const struct {
        const char *printer;
        DWORD error;
    } cases[] = {
        {unknown.c_str(), SpoolerErrorFor(unknown.c_str())},
        {"", SpoolerErrorFor("")},
        {nullptr, ERROR_INVALID_PRINTER_NAME},
        {g_noModule.name.c_str(), ERROR_MOD_NOT_FOUND},
        {g_noDriverFile.name.c_str(), ERROR_MOD_NOT_FOUND},
        {g_tooDeep.name.c_str(), ERROR_MOD_NOT_FOUND}, // refused, the decoy never tried
        {g_notModule.name.c_str(), LoaderErrorFor(ModulePath(g_notModule))},
        {g_helperMissing.name.c_str(), LoaderErrorFor(ModulePath(g_helperMissing))},
    };
    for (const auto &c : cases) {
        const std::string label = c.printer != nullptr ? c.printer : "(null)";
        EXPECT_NE(c.error, DWORD{ERROR_SUCCESS}) << label;
        for (int i = 0; i < 5; ++i) {
            ZwuProbe probe;
            EXPECT_EQ(Call(i, c.printer, &probe, 0), VOLQUAD_RESULT_UNAVAILABLE)
                << kExports[i].name << " " << label;
            EXPECT_EQ(GetLastError(), c.error) << kExports[i].name << " " << label;
            EXPECT_EQ(probe.calls, 0u) << "no module ran";
        }
    }
}

TEST_F(ForwardTest, OverlongNamesGive99) {
    // The spooler sees the first 259 characters of a 300-character name.
    const std::string longName = g_full.name + std::string(300 - g_full.name.size(), 'x');
    for (int i = 0; i < 5; ++i) {
        ZwuProbe probe;
        EXPECT_EQ(Call(i, longName.c_str(), &probe, 0), VOLQUAD_RESULT_UNAVAILABLE);
        EXPECT_EQ(probe.calls, 0u);
    }
}

TEST_F(ForwardTest, MissingFunctionsGive99) {
    for (int i = 0; i < 5; ++i) {
        ZwuProbe probe;
        const int32_t result = Call(i, g_fixOnly.name.c_str(), &probe, 0, 0);
        if (kExports[i].function == ZWU_FIX_SETTING) {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(probe.calls, 1u);
            EXPECT_EQ(GetLastError(), 0u) << "as the function left it";
        } else {
            EXPECT_EQ(result, VOLQUAD_RESULT_UNAVAILABLE) << kExports[i].name;
            EXPECT_EQ(GetLastError(), DWORD{ERROR_PROC_NOT_FOUND}) << kExports[i].name;
            EXPECT_EQ(probe.calls, 0u);
        }
    }
}

TEST_F(ForwardTest, TheModulesImportsComeFromItsOwnFolder) {
    SetEnvironmentVariableA(ZWU_HELPER_LOADED_VARIABLE, nullptr);
    for (int i = 0; i < 5; ++i) {
        ZwuProbe probe;
        EXPECT_EQ(Call(i, g_withHelper.name.c_str(), &probe, 6), 6) << kExports[i].name;
        EXPECT_STRCASEEQ(probe.helperPath,
                         (g_withHelper.folder + "\\" ZWU_HELPER_FILE_NAME).c_str());
    }
    EXPECT_TRUE(HelperWasLoaded());
    EXPECT_EQ(GetModuleHandleA(ZWU_HELPER_FILE_NAME), nullptr) << "released with the module";
}

// The helper in one of the places the default search order would look: the
// host's folder, the current folder, a folder on PATH.
struct HelperPlacement {
    const char *where;
    std::string folder;
    bool makeCurrent;
    bool putOnPath;
};

TEST_F(ForwardTest, ImportsNeverComeFromTheHostsOrTheCurrentFolderOrPath) {
    const std::string elsewhere = TempDir_Create(" zw elsewhere");
    const HelperPlacement placements[] = {
        {"the host's folder", DllHost_ProgramFolder(), false, false},
        {"the current folder", elsewhere, true, false},
        {"a folder on PATH", elsewhere, false, true},
    };
    char savedCurrent[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, savedCurrent);
    char savedPath[32767] = {};
    GetEnvironmentVariableA("PATH", savedPath, sizeof savedPath);
    for (const HelperPlacement &p : placements) {
        const std::string helper = p.folder + "\\" ZWU_HELPER_FILE_NAME;
        ASSERT_TRUE(CopyFileA(HelperBuilt().c_str(), helper.c_str(), FALSE)) << p.where;
        if (p.makeCurrent) {
            SetCurrentDirectoryA(p.folder.c_str());
        }
        if (p.putOnPath) {
            SetEnvironmentVariableA("PATH", (p.folder + ";" + savedPath).c_str());
        }
        SetEnvironmentVariableA(ZWU_HELPER_LOADED_VARIABLE, nullptr);
        ZwuProbe probe;
        EXPECT_EQ(Call(4, g_helperMissing.name.c_str(), &probe, 0), VOLQUAD_RESULT_UNAVAILABLE)
            << p.where;
        const DWORD error = GetLastError();
        EXPECT_EQ(probe.calls, 0u) << p.where;
        EXPECT_FALSE(HelperWasLoaded()) << p.where;
        EXPECT_EQ(error, LoaderErrorFor(ModulePath(g_helperMissing))) << p.where;
        SetCurrentDirectoryA(savedCurrent);
        SetEnvironmentVariableA("PATH", savedPath);
        EXPECT_TRUE(DeleteFileA(helper.c_str())) << p.where;
    }
    TempDir_Remove(elsewhere);
}

TEST_F(ForwardTest, TheModuleIsReleasedAfterEveryCall) {
    for (int i = 0; i < 5; ++i) {
        ZwuProbe probe;
        ASSERT_FALSE(IsLoaded(g_full));
        Call(i, g_full.name.c_str(), &probe, 1);
        EXPECT_EQ(probe.calls, 1u);
        EXPECT_FALSE(IsLoaded(g_full)) << kExports[i].name;
        Call(i, g_fixOnly.name.c_str(), &probe, 1);
        EXPECT_FALSE(IsLoaded(g_fixOnly)) << "released when the function is missing too";
    }
    // A host that holds the module itself keeps exactly its own reference.
    HMODULE held = LoadLibraryA(ModulePath(g_full).c_str());
    ASSERT_NE(held, nullptr);
    ZwuProbe probe;
    EXPECT_EQ(Call(0, g_full.name.c_str(), &probe, 3), 3);
    EXPECT_TRUE(IsLoaded(g_full));
    FreeLibrary(held);
    EXPECT_FALSE(IsLoaded(g_full));
}

// Each worker makes its calls and counts the answers that were not its own.
struct Worker {
    int index;
    int wrong;
};

DWORD WINAPI CallFromThread(void *parameter) {
    Worker *worker = static_cast<Worker *>(parameter);
    const int callsPerThread = 20;
    for (int n = 0; n < callsPerThread; ++n) {
        const int i = (worker->index + n) % 5;
        const int32_t want = worker->index * 1000 + n;
        ZwuProbe probe;
        const char *name = g_full.name.c_str();
        if (Call(i, name, &probe, want) != want || probe.function != kExports[i].function ||
            probe.seenName != name) {
            ++worker->wrong;
        }
    }
    return 0;
}

TEST_F(ForwardTest, ConcurrentCallsEachGetTheirOwnResult) {
    const int threads = 8;
    Worker workers[threads] = {};
    HANDLE handles[threads] = {};
    for (int t = 0; t < threads; ++t) {
        workers[t].index = t;
        handles[t] = CreateThread(nullptr, 0, CallFromThread, &workers[t], 0, nullptr);
        ASSERT_NE(handles[t], nullptr);
    }
    EXPECT_EQ(WaitForMultipleObjects(threads, handles, TRUE, INFINITE), DWORD{WAIT_OBJECT_0});
    for (int t = 0; t < threads; ++t) {
        CloseHandle(handles[t]);
        EXPECT_EQ(workers[t].wrong, 0) << "thread " << t;
    }
    EXPECT_FALSE(IsLoaded(g_full));
}

} // namespace
