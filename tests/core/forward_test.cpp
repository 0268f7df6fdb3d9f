// Forwarding against a fake platform table: every failure branch of the
// spooler query and the module load, what each leaves as the last error, and
// that whatever was acquired on the way is released.
#include "drvmod.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kPrinter[] = "Printer";
const char kDriverFile[] = "C:\\drivers\\x64\\3\\DRIVER.DLL";
const char kModule[] = "C:\\drivers\\x64\\3\\ZEDWIC_U.DLL";
// What every release call leaves as the last error, so that a cause which
// survives one was kept on purpose.
const uint32_t kReleaseError = 0xE0000001;

struct Fake {
    // What the platform answers.
    std::string printer = kPrinter; // the only name the spooler knows
    uint32_t openError = PLATFORM_ERROR_INVALID_PRINTER_NAME;
    bool sizeNothing = false;
    uint32_t sizeShort = 0; // a size answer below the record's own, when nonzero
    uint32_t sizeError = PLATFORM_ERROR_INSUFFICIENT_BUFFER; // a working query's error
    bool failAlloc = false;
    bool failFetch = false;
    uint32_t fetchError = 0;
    const char *driverPath = kDriverFile;
    bool failLoad = false;
    uint32_t loadError = 0;
    bool hasFunction = true;
    int32_t result = 0;         // what the driver-side function returns
    uint32_t functionError = 0; // and the last error it leaves

    // What forwarding did.
    uint32_t lastError = 0;
    int opened = 0, allocated = 0, loaded = 0; // acquisitions that succeeded
    int openPrinters = 0, blocks = 0, modules = 0;
    int sizeQueries = 0, lookups = 0, functionCalls = 0;
    size_t blockSize = 0;
    std::string openedName, loadedPath, lookedUp;
    const char *seenName = nullptr;
    intptr_t seenValue = 0;
};

Fake g_fake;
PlatformPrinter const kPrinterHandle = reinterpret_cast<PlatformPrinter>(uintptr_t{0x1000});
PlatformModule const kModuleHandle = reinterpret_cast<PlatformModule>(uintptr_t{0x2000});

size_t RecordSize() {
    return sizeof(DriverRecord) + (g_fake.driverPath ? strlen(g_fake.driverPath) + 1 : 0);
}

bool FakePrinterOpen(const char *name, PlatformPrinter *printer) {
    g_fake.openedName = name;
    if (g_fake.openedName != g_fake.printer) {
        g_fake.lastError = g_fake.openError;
        return false;
    }
    ++g_fake.opened;
    ++g_fake.openPrinters;
    *printer = kPrinterHandle;
    return true;
}

uint32_t FakePrinterDriverSize(PlatformPrinter printer) {
    EXPECT_EQ(printer, kPrinterHandle);
    ++g_fake.sizeQueries;
    g_fake.lastError = g_fake.sizeError;
    if (g_fake.sizeNothing) {
        return 0;
    }
    return g_fake.sizeShort != 0 ? g_fake.sizeShort : static_cast<uint32_t>(RecordSize());
}

// Lays the record out as the spooler does: its strings behind it in the block.
bool FakePrinterDriverFetch(PlatformPrinter printer, void *block, uint32_t size) {
    EXPECT_EQ(printer, kPrinterHandle);
    if (g_fake.failFetch) {
        g_fake.lastError = g_fake.fetchError;
        return false;
    }
    if (size < RecordSize()) {
        return true; // a short answer: the block keeps its zeros
    }
    DriverRecord *record = static_cast<DriverRecord *>(block);
    record->cVersion = 3;
    if (g_fake.driverPath != nullptr) {
        char *text = static_cast<char *>(block) + sizeof(DriverRecord);
        strcpy(text, g_fake.driverPath);
        record->pDriverPath = text;
    }
    return true;
}

void FakePrinterClose(PlatformPrinter printer) {
    EXPECT_EQ(printer, kPrinterHandle);
    --g_fake.openPrinters;
    g_fake.lastError = kReleaseError;
}

void *FakeAllocZero(size_t size) {
    if (g_fake.failAlloc) {
        return nullptr;
    }
    ++g_fake.allocated;
    ++g_fake.blocks;
    g_fake.blockSize = size;
    return calloc(size, 1);
}

void FakeFree(void *block) {
    --g_fake.blocks;
    free(block);
    g_fake.lastError = kReleaseError;
}

PlatformModule FakeModuleLoad(const char *path) {
    g_fake.loadedPath = path;
    if (g_fake.failLoad) {
        g_fake.lastError = g_fake.loadError;
        return nullptr;
    }
    ++g_fake.loaded;
    ++g_fake.modules;
    return kModuleHandle;
}

int32_t ZEDWIC_W_CALL FakeSetting(const char *printerName, intptr_t value) {
    ++g_fake.functionCalls;
    g_fake.seenName = printerName;
    g_fake.seenValue = value;
    g_fake.lastError = g_fake.functionError;
    return g_fake.result;
}

PlatformFunction FakeModuleFunction(PlatformModule module, const char *name) {
    EXPECT_EQ(module, kModuleHandle);
    ++g_fake.lookups;
    g_fake.lookedUp = name;
    return g_fake.hasFunction ? FakeSetting : nullptr;
}

void FakeModuleFree(PlatformModule module) {
    EXPECT_EQ(module, kModuleHandle);
    --g_fake.modules;
    g_fake.lastError = kReleaseError;
}

uint32_t FakeGetError() {
    return g_fake.lastError;
}

void FakeSetError(uint32_t error) {
    g_fake.lastError = error;
}

class ForwardSeamTest : public testing::Test {
  protected:
    void SetUp() override {
        g_fake = Fake();
        PlatformCalls calls = *Platform_Defaults();
        calls.PrinterOpen = FakePrinterOpen;
        calls.PrinterDriverSize = FakePrinterDriverSize;
        calls.PrinterDriverFetch = FakePrinterDriverFetch;
        calls.PrinterClose = FakePrinterClose;
        calls.AllocZero = FakeAllocZero;
        calls.Free = FakeFree;
        calls.IsLeadByte = nullptr;
        calls.ModuleLoad = FakeModuleLoad;
        calls.ModuleFunction = FakeModuleFunction;
        calls.ModuleFree = FakeModuleFree;
        calls.GetError = FakeGetError;
        calls.SetError = FakeSetError;
        Platform_SetCalls(&calls);
    }
    void TearDown() override {
        Platform_SetCalls(nullptr);
    }
    static void ExpectAllReleased(const std::string &what) {
        EXPECT_EQ(g_fake.openPrinters, 0) << what;
        EXPECT_EQ(g_fake.blocks, 0) << what;
        EXPECT_EQ(g_fake.modules, 0) << what;
    }
};

TEST_F(ForwardSeamTest, TheFunctionRunsWithTheHostsArgumentsAndKeepsItsLastError) {
    const int32_t results[] = {0, FORWARD_RESULT_UNAVAILABLE, 7, INT32_MIN};
    const uint32_t errors[] = {0, 5, PLATFORM_ERROR_PROC_NOT_FOUND, 0xE0001234};
    for (int i = 0; i < 4; ++i) {
        g_fake = Fake();
        g_fake.result = results[i];
        g_fake.functionError = errors[i];
        const char *name = kPrinter;
        EXPECT_EQ(Forward_Call("VOLQUAD_FixSetting", name, INTPTR_MIN + i), results[i]);
        EXPECT_EQ(g_fake.functionCalls, 1);
        EXPECT_EQ(g_fake.seenName, name) << "the host's own pointer";
        EXPECT_EQ(g_fake.seenValue, INTPTR_MIN + i);
        EXPECT_EQ(g_fake.lookedUp, "VOLQUAD_FixSetting");
        EXPECT_EQ(g_fake.loadedPath, kModule);
        EXPECT_EQ(g_fake.lastError, errors[i]) << "as the function left it, not as released";
        EXPECT_EQ(g_fake.loaded, 1);
        ExpectAllReleased("call " + std::to_string(i));
    }
}

TEST_F(ForwardSeamTest, TheModuleBelongsToTheCallerOfDriverModuleLoad) {
    PlatformModule module = DriverModule_Load(kPrinter);
    EXPECT_EQ(module, kModuleHandle);
    EXPECT_EQ(g_fake.modules, 1);
    EXPECT_EQ(g_fake.openPrinters, 0) << "the printer is closed before it returns";
    EXPECT_EQ(g_fake.blocks, 0);
    DriverModule_Free(module);
}

TEST_F(ForwardSeamTest, TheSpoolerSeesAtMost259CharactersTheFunctionTheWholeName) {
    const std::string longName = std::string(300, 'p');
    g_fake.printer = longName.substr(0, 259);
    g_fake.result = 4;
    EXPECT_EQ(Forward_Call("VOLQUAD_SettingExport", longName.c_str(), 0), 4);
    EXPECT_EQ(g_fake.openedName, g_fake.printer);
    EXPECT_EQ(g_fake.seenName, longName.c_str());
}

struct FailureCase {
    const char *what;
    void (*arrange)(Fake *fake);
    const char *printerName;
    uint32_t error; // the last error after the 99
    int opened, allocated, loaded;
};

const FailureCase kFailures[] = {
    {"a null printer name", [](Fake *) {}, nullptr, PLATFORM_ERROR_INVALID_PRINTER_NAME, 0, 0, 0},
    {"an unknown printer", [](Fake *f) { f->openError = 1722; }, "Other", 1722, 0, 0, 0},
    {"an unknown printer, no cause given", [](Fake *f) { f->openError = 0; }, "Other",
     PLATFORM_ERROR_INVALID_PRINTER_NAME, 0, 0, 0},
    {"the size query answering 0", [](Fake *f) { f->sizeNothing = true; }, kPrinter,
     PLATFORM_ERROR_UNKNOWN_PRINTER_DRIVER, 1, 0, 0},
    {"the size query answering 0 with a cause",
     [](Fake *f) {
         f->sizeNothing = true;
         f->sizeError = 5;
     },
     kPrinter, 5, 1, 0, 0},
    {"the block allocation failing", [](Fake *f) { f->failAlloc = true; }, kPrinter,
     PLATFORM_ERROR_NOT_ENOUGH_MEMORY, 1, 0, 0},
    {"the fetch failing",
     [](Fake *f) {
         f->failFetch = true;
         f->fetchError = 5;
     },
     kPrinter, 5, 1, 1, 0},
    {"the fetch failing, no cause given", [](Fake *f) { f->failFetch = true; }, kPrinter,
     PLATFORM_ERROR_UNKNOWN_PRINTER_DRIVER, 1, 1, 0},
    {"a record whose pDriverPath is null", [](Fake *f) { f->driverPath = nullptr; }, kPrinter,
     PLATFORM_ERROR_MOD_NOT_FOUND, 1, 1, 0},
    {"a record cut short by a small size answer", [](Fake *f) { f->sizeShort = 4; }, kPrinter,
     PLATFORM_ERROR_MOD_NOT_FOUND, 1, 1, 0},
    {"a relative pDriverPath", [](Fake *f) { f->driverPath = "drivers\\DRIVER.DLL"; }, kPrinter,
     PLATFORM_ERROR_MOD_NOT_FOUND, 1, 1, 0},
    {"a folder too deep for the module's name",
     [](Fake *f) {
         static const std::string deep = "C:\\" + std::string(250, 'd') + "\\DRIVER.DLL";
         f->driverPath = deep.c_str();
     },
     kPrinter, PLATFORM_ERROR_MOD_NOT_FOUND, 1, 1, 0},
    {"the load failing",
     [](Fake *f) {
         f->failLoad = true;
         f->loadError = 193;
     },
     kPrinter, 193, 1, 1, 0},
    {"the load failing, no cause given", [](Fake *f) { f->failLoad = true; }, kPrinter,
     PLATFORM_ERROR_MOD_NOT_FOUND, 1, 1, 0},
    {"GetProcAddress failing", [](Fake *f) { f->hasFunction = false; }, kPrinter,
     PLATFORM_ERROR_PROC_NOT_FOUND, 1, 1, 1},
};

TEST_F(ForwardSeamTest, EveryFailureGives99ItsCauseAndReleasesWhatWasAcquired) {
    for (const FailureCase &c : kFailures) {
        g_fake = Fake();
        c.arrange(&g_fake);
        g_fake.lastError = 0xE0000002; // left from before the call
        EXPECT_EQ(Forward_Call("VOLQUAD_DefaultSetting", c.printerName, 1),
                  FORWARD_RESULT_UNAVAILABLE)
            << c.what;
        EXPECT_EQ(g_fake.lastError, c.error) << c.what;
        EXPECT_EQ(g_fake.functionCalls, 0) << c.what;
        EXPECT_EQ(g_fake.opened, c.opened) << c.what;
        EXPECT_EQ(g_fake.allocated, c.allocated) << c.what;
        EXPECT_EQ(g_fake.loaded, c.loaded) << c.what;
        ExpectAllReleased(c.what);
        if (c.opened == 0) {
            EXPECT_EQ(g_fake.sizeQueries, 0) << c.what << ": the spooler is asked nothing more";
        }
        if (c.loaded == 0) {
            EXPECT_EQ(g_fake.lookups, 0) << c.what << ": no function is looked up";
        }
        if (c.allocated != 0) {
            EXPECT_GE(g_fake.blockSize, sizeof(DriverRecord)) << c.what;
        }
    }
}

TEST_F(ForwardSeamTest, DriverModuleLoadGivesNullWithTheSameCause) {
    for (const FailureCase &c : kFailures) {
        if (c.loaded != 0) {
            continue; // a missing function is the caller's finding
        }
        g_fake = Fake();
        c.arrange(&g_fake);
        EXPECT_EQ(DriverModule_Load(c.printerName), nullptr) << c.what;
        EXPECT_EQ(g_fake.lastError, c.error) << c.what;
        ExpectAllReleased(c.what);
    }
}

// The walk's report is what a tool shows: at every failure it holds exactly
// the last error the host sees, at a step before the function, and releases
// the same; past the load, the missing function is its own step.
TEST_F(ForwardSeamTest, TheReportStopsWhereTheCallStopsWithTheHostsError) {
    for (const FailureCase &c : kFailures) {
        g_fake = Fake();
        c.arrange(&g_fake);
        DriverModuleReport report;
        memset(&report, 0xA5, sizeof report); // whatever the caller's memory held
        PlatformModule module = DriverModule_Find(c.printerName, &report);
        if (c.loaded == 0) {
            EXPECT_EQ(module, nullptr) << c.what;
            EXPECT_EQ(report.error, c.error) << c.what;
            EXPECT_EQ(report.error, g_fake.lastError) << c.what;
            EXPECT_LT(report.step, DRIVERMODULE_STEP_FUNCTION) << c.what;
            EXPECT_EQ(report.modulePath[0] == '\0', report.step < DRIVERMODULE_STEP_MODULE_LOAD)
                << c.what;
        } else {
            ASSERT_NE(module, nullptr) << c.what;
            EXPECT_STREQ(report.modulePath, kModule) << c.what;
            EXPECT_STREQ(report.driverPath, kDriverFile) << c.what;
            EXPECT_EQ(DriverModule_Function(module, "VOLQUAD_FixSetting", &report), nullptr);
            EXPECT_EQ(report.step, DRIVERMODULE_STEP_FUNCTION) << c.what;
            EXPECT_EQ(report.error, c.error) << c.what;
            DriverModule_Free(module);
        }
        ExpectAllReleased(c.what);
    }
    g_fake = Fake();
    DriverModuleReport report;
    PlatformModule module = DriverModule_Find(kPrinter, &report);
    ASSERT_NE(module, nullptr);
    EXPECT_NE(DriverModule_Function(module, "VOLQUAD_FixSetting", &report), nullptr);
    EXPECT_EQ(report.step, DRIVERMODULE_STEP_REACHED);
    EXPECT_EQ(report.error, 0u);
    EXPECT_EQ(g_fake.functionCalls, 0) << "finding the function does not call it";
    DriverModule_Free(module);
    ExpectAllReleased("reached");
}

// The platform's own calls: natively there is no spooler, and under Windows
// the spooler does not know the name; either way nothing is loaded.
TEST(ForwardPlatformTest, AnUnknownPrinterGives99AndSaysSo) {
    Platform()->SetError(0);
    EXPECT_EQ(Forward_Call("VOLQUAD_FixSetting", "ZW No Such Printer Anywhere", 0),
              FORWARD_RESULT_UNAVAILABLE);
    EXPECT_EQ(Platform()->GetError(), PLATFORM_ERROR_INVALID_PRINTER_NAME);
}

} // namespace
