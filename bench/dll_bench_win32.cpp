// The built library as a host pays for it, under the platform's own loader
// and spooler: loading and unloading it with and without a data file beside
// it, and one forwarded settings call against the same steps done by hand.
//   dll_bench [rounds [rounds with data files of gigabytes [rounds with hostile files]]]
// (0 rounds leaves that part out)
#include "ZEDWIC_W.h"
#include "benchfiles.h"
#include "benchstats.h"
#include "benchtext.h"
#include "benchonce.h"
#include "hostile.h"
#include "tempfile.h"
#include "testprinters.h"

#include <windows.h>
#include <winspool.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

double g_ticksPerSecond = 0.0;

// Under an emulator (ZW_BENCH_EMULATED set) only the targets that are ratios
// are judged: times in milliseconds are the emulator's.
bool g_emulated = false;

// "  < 100 ms met" where times count, blank under an emulator.
std::string TimeTarget(const char *target, bool met) {
    return g_emulated ? std::string() : std::string("  ") + target + (met ? " met" : " MISSED");
}

double Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / g_ticksPerSecond;
}

// A figure right-aligned in a column of width after one space; a heading alike.
std::string Col(double value, int decimals, size_t width) {
    return " " + BenchText_Right(BenchText_Fixed(value, decimals), width);
}

std::string Head(const char *text, size_t width) {
    return " " + BenchText_Right(text, width);
}

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/"));
}

bool Copy(const std::string &from, const std::string &to) {
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) {
        BenchText_Err("dll_bench: cannot copy " + from + " to " + to + "\n");
        return false;
    }
    return true;
}

// ---- Loading and unloading the library

struct LoadVariant {
    const char *name = nullptr;
    std::string dll;       // full path of a copy of ZEDWIC_W.dll
    std::string firstText; // what code 0 must give after the load
    std::string dataFile;  // beside it, or empty
    std::vector<double> seconds;
    std::vector<double> readOnce; // the floor: the data file opened and read once
};

// Open, size, a fresh buffer, read the whole file, close, release.
DWORD ReadOnce(const std::string &path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    const DWORD size = GetFileSize(file, nullptr);
    BYTE *buffer = static_cast<BYTE *>(HeapAlloc(GetProcessHeap(), 0, size != 0 ? size : 1));
    DWORD total = 0;
    while (buffer != nullptr && total < size) {
        DWORD got = 0;
        if (!ReadFile(file, buffer + total, size - total, &got, nullptr) || got == 0) {
            break;
        }
        total += got;
    }
    CloseHandle(file);
    if (buffer != nullptr) {
        HeapFree(GetProcessHeap(), 0, buffer);
    }
    return total;
}

bool PlaceVariant(LoadVariant *v, const std::string &root, const char *folderName,
                  const std::vector<uint8_t> *dataFile) {
    const std::string folder = Path_Join(root, folderName);
    CreateDirectoryA(folder.c_str(), nullptr);
    v->dll = Path_Join(folder, "ZEDWIC_W.dll");
    if (!Copy(Path_Join(ProgramFolder(), "ZEDWIC_W.dll"), v->dll)) {
        return false;
    }
    v->firstText = dataFile != nullptr ? BenchFile_Text(0) : std::string();
    v->dataFile = dataFile != nullptr ? Path_Join(folder, "ZEDWIC_D.ZWX") : std::string();
    return dataFile == nullptr || BenchFile_Write(v->dataFile, *dataFile);
}

bool CheckLoad(const LoadVariant &v) {
    HMODULE module = LoadLibraryA(v.dll.c_str());
    if (module == nullptr) {
        BenchText_Err("dll_bench: cannot load " + v.dll + "\n");
        return false;
    }
    auto getErrorMsg = reinterpret_cast<VOLQUAD_GetErrorMsg_Fn>(
        reinterpret_cast<void *>(GetProcAddress(module, "VOLQUAD_GetErrorMsg")));
    const bool ok = getErrorMsg != nullptr && v.firstText == getErrorMsg(0);
    FreeLibrary(module);
    if (!ok) {
        BenchText_Err(std::string("dll_bench: ") + v.name + " did not give the expected text\n");
    }
    return ok;
}

bool BenchLoad(const std::string &root, int rounds) {
    const std::vector<uint8_t> catalogue = BenchFile_Catalogue();
    const std::vector<uint8_t> realistic = BenchFile_Realistic();
    LoadVariant variants[3];
    variants[0].name = "no data file";
    variants[1].name = "catalogue only, 17 texts";
    variants[2].name = "realistic data file, 201 sections";
    if (!PlaceVariant(&variants[0], root, "none", nullptr) ||
        !PlaceVariant(&variants[1], root, "catalogue", &catalogue) ||
        !PlaceVariant(&variants[2], root, "realistic", &realistic)) {
        return false;
    }
    for (const LoadVariant &v : variants) {
        for (int i = 0; i < 3; ++i) {
            if (!CheckLoad(v)) {
                return false;
            }
        }
    }
    for (int r = 0; r < rounds; ++r) {
        // A different variant goes first each round, so drift falls on all alike.
        for (int k = 0; k < 3; ++k) {
            LoadVariant &v = variants[(r + k) % 3];
            const double start = Now();
            HMODULE module = LoadLibraryA(v.dll.c_str());
            FreeLibrary(module);
            v.seconds.push_back(Now() - start);
            if (!v.dataFile.empty()) {
                const double readStart = Now();
                ReadOnce(v.dataFile);
                v.readOnce.push_back(Now() - readStart);
            }
        }
    }
    std::string text = "== LoadLibraryA + FreeLibrary of ZEDWIC_W.dll, " + std::to_string(rounds) +
                       " rounds\n" + BenchText_Left("beside the library", 36) +
                       Head("median us", 11) + Head("min us", 11) + Head("ratio", 8) +
                       Head("added us", 11) + Head("read once us", 14) + "\n";
    const double base = Bench_Median(variants[0].seconds);
    for (const LoadVariant &v : variants) {
        const double median = Bench_Median(v.seconds);
        text += BenchText_Left(v.name, 36) + Col(median * 1e6, 1, 11) +
                Col(Bench_Min(v.seconds) * 1e6, 1, 11) + Col(median / base, 3, 8) +
                Col((median - base) * 1e6, 1, 11) +
                (v.readOnce.empty() ? Head("-", 14) : Col(Bench_Median(v.readOnce) * 1e6, 1, 14)) +
                "\n";
    }
    BenchText_Out(text +
                  "(ratio: to the load without a data file; added: what the catalogue adds to "
                  "every load; read once: opening the data file and reading it whole, for scale)\n"
                  "(data files: catalogue " +
                  std::to_string(catalogue.size()) + " bytes, realistic " +
                  std::to_string(realistic.size()) + " bytes)\n\n");
    return true;
}

// ---- Data files of gigabytes

// bytes at the start of a sparse file of size bytes.
bool WriteSparse(const std::string &path, const std::vector<uint8_t> &bytes, uint64_t size) {
    if (!BenchFile_Write(path, bytes)) {
        return false;
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    return CloseHandle(file) && ok;
}

// Attach with large data files: the catalogue alone at the start of 64 KiB
// (the most that is read whole), of 64 KiB + 4 KiB (read through the handle)
// and of 1 MiB; an ordinary catalogue at the start of 2 GiB + 64 KiB; and one
// behind 200,000 entries that name no slot in a file of 4 GiB - 1 bytes
// (whose size query answers the all-ones failure value). Sparse files,
// removed again at the end. Last, a walk through every block of a file read
// through the handle: 10,000 section records over 16 MiB.
bool BenchLargeFiles(const std::string &root, int rounds) {
    const int count = 7;
    LoadVariant variants[count];
    variants[0].name = "no data file";
    variants[1].name = "64 KiB, catalogue at the start";
    variants[2].name = "64 KiB + 4 KiB, catalogue at the start";
    variants[6].name = "1 MiB, catalogue at the start";
    variants[3].name = "2 GiB + 64 KiB, realistic at the start";
    variants[4].name = "4 GiB - 1, 200,000 entries first";
    variants[5].name = "16 MiB, 10,000 sections, message last";
    const std::vector<uint8_t> catalogue = BenchFile_Catalogue();
    const std::vector<uint8_t> realistic = BenchFile_Realistic();
    const std::vector<uint8_t> chain = BenchFile_LongChain(200000);
    const std::vector<uint8_t> large = BenchFile_Large();
    if (!PlaceVariant(&variants[0], root, "large-none", nullptr) ||
        !PlaceVariant(&variants[1], root, "large-64k", &catalogue) ||
        !PlaceVariant(&variants[2], root, "large-68k", &catalogue) ||
        !PlaceVariant(&variants[3], root, "large-2g", &realistic) ||
        !PlaceVariant(&variants[4], root, "large-4g", &chain) ||
        !PlaceVariant(&variants[5], root, "large-16m", &large) ||
        !PlaceVariant(&variants[6], root, "large-1m", &catalogue) ||
        !WriteSparse(variants[1].dataFile, catalogue, 64u << 10) ||
        !WriteSparse(variants[2].dataFile, catalogue, 68u << 10) ||
        !WriteSparse(variants[6].dataFile, catalogue, 1u << 20) ||
        !WriteSparse(variants[3].dataFile, realistic, (2ull << 30) + (64u << 10)) ||
        !WriteSparse(variants[4].dataFile, chain, (4ull << 30) - 1)) {
        BenchText_Err("dll_bench: cannot write the large data files\n");
        return false;
    }
    bool ok = true;
    for (const LoadVariant &v : variants) {
        ok = ok && CheckLoad(v);
    }
    for (int r = 0; ok && r < rounds; ++r) {
        for (int k = 0; k < count; ++k) {
            LoadVariant &v = variants[(r + k) % count];
            const double start = Now();
            HMODULE module = LoadLibraryA(v.dll.c_str());
            FreeLibrary(module);
            v.seconds.push_back(Now() - start);
        }
    }
    if (ok) {
        std::string text = "== LoadLibraryA + FreeLibrary with a data file of gigabytes, " +
                           std::to_string(rounds) + " rounds\n" +
                           BenchText_Left("beside the library", 42) + Head("median ms", 11) +
                           Head("min ms", 11) + Head("worst ms", 11) + Head("added ms", 11) +
                           Head("ratio", 8) + "  target\n";
        const double base = Bench_Median(variants[0].seconds);
        for (const LoadVariant &v : variants) {
            const double median = Bench_Median(v.seconds);
            const double worst = Bench_Max(v.seconds);
            text += BenchText_Left(v.name, 42) + Col(median * 1e3, 2, 11) +
                    Col(Bench_Min(v.seconds) * 1e3, 2, 11) + Col(worst * 1e3, 2, 11) +
                    Col((median - base) * 1e3, 2, 11) + Col(median / base, 2, 8) +
                    (v.dataFile.empty() ? std::string() : TimeTarget("< 100 ms", worst < 0.1)) +
                    "\n";
        }
        BenchText_Out(text + "(ordinary catalogues; the files are sparse and take no room; files "
                             "up to 64 KiB are read whole, larger ones through the handle; ratio: "
                             "to the load without a data file)\n\n");
    }
    for (const LoadVariant &v : variants) {
        if (!v.dataFile.empty()) {
            DeleteFileA(v.dataFile.c_str());
        }
    }
    return ok;
}

// ---- Hostile data files

double SecondsOfCoreLoad(const std::string &path, uint32_t imageLimit, uint32_t *texts) {
    const double start = Now();
    *texts = BenchOnce_LoadAs(path.c_str(), imageLimit);
    return Now() - start;
}

// Chains of 64 MiB that jump about the whole file, and the junk-key chain:
// the DLL's attach (which reads files this large through the handle), and the
// same load by the library's core in image mode and in handle mode, all
// through Wine's file API.
bool BenchHostile(const std::string &root, int rounds) {
    struct Case {
        const char *name;
        std::vector<uint8_t> (*build)();
        const char *text0; // what code 0 gives
        uint32_t texts;    // how many slots the load fills
        LoadVariant variant;
        std::vector<double> image, handle;
    };
    const std::string benchText0 = BenchFile_Text(0);
    Case cases[] = {
        {"scattered entries, 64 MiB",
         [] { return Hostile_ScatteredChain(HOSTILE_LARGE_SIZE, 65537); },
         "text 0",
         16,
         {},
         {},
         {}},
        {"entries in random order, 64 MiB",
         [] { return Hostile_RandomChain(HOSTILE_LARGE_SIZE); },
         "text 0",
         16,
         {},
         {},
         {}},
        {"scattered sections, 64 MiB",
         [] { return Hostile_ScatteredSections(HOSTILE_LARGE_SIZE, 16385); },
         "text 0",
         17,
         {},
         {},
         {}},
        {"junk keys of 8 (ERMSG_ZZ)",
         [] { return BenchFile_Hostile(8); },
         benchText0.c_str(),
         16,
         {},
         {},
         {}},
    };
    bool ok = true;
    int index = 0;
    for (Case &c : cases) {
        const std::vector<uint8_t> bytes = c.build();
        const std::string folder = "hostile-" + std::to_string(index++);
        c.variant.name = c.name;
        ok = ok && PlaceVariant(&c.variant, root, folder.c_str(), &bytes);
    }
    for (int r = 0; ok && r < rounds; ++r) {
        for (Case &c : cases) {
            const double start = Now();
            HMODULE module = LoadLibraryA(c.variant.dll.c_str());
            auto getErrorMsg = reinterpret_cast<VOLQUAD_GetErrorMsg_Fn>(
                reinterpret_cast<void *>(GetProcAddress(module, "VOLQUAD_GetErrorMsg")));
            const std::string first = getErrorMsg != nullptr ? getErrorMsg(0) : "";
            FreeLibrary(module);
            c.variant.seconds.push_back(Now() - start);
            uint32_t image = 0, handle = 0;
            c.image.push_back(SecondsOfCoreLoad(c.variant.dataFile, UINT32_MAX, &image));
            c.handle.push_back(SecondsOfCoreLoad(c.variant.dataFile, 0, &handle));
            if (first != c.text0 || image != c.texts || handle != c.texts) {
                BenchText_Err(std::string("dll_bench: ") + c.name + ": code 0 gave \"" + first +
                              "\"; " + std::to_string(image) + " and " + std::to_string(handle) +
                              " texts loaded\n");
                ok = false;
            }
        }
    }
    if (ok) {
        std::string text = "== hostile data files: the DLL's attach, and the core's load in both "
                           "modes, worst of " +
                           std::to_string(rounds) + " rounds\n" + BenchText_Left("data file", 34) +
                           Head("attach ms", 11) + Head("image ms", 11) + Head("handle ms", 11) +
                           Head("ratio", 8) + "  target\n";
        double worst = 0.0;
        for (const Case &c : cases) {
            const double attach = Bench_Max(c.variant.seconds);
            const double image = Bench_Max(c.image);
            const double handle = Bench_Max(c.handle);
            const double most = attach > handle ? (attach > image ? attach : image)
                                                : (handle > image ? handle : image);
            worst = most > worst ? most : worst;
            text += BenchText_Left(c.name, 34) + Col(attach * 1e3, 1, 11) +
                    Col(image * 1e3, 1, 11) + Col(handle * 1e3, 1, 11) + Col(handle / image, 2, 8) +
                    (g_emulated ? "  <= 2.00" : "  < 1 s, <= 2.00") +
                    ((g_emulated || most < 1.0) && handle / image <= 2.0 ? " met" : " MISSED") +
                    "\n";
        }
        BenchText_Out(text + "worst hostile load under Wine: " + BenchText_Fixed(worst * 1e3, 1) +
                      " ms" + TimeTarget("< 1 s", worst < 1.0) +
                      "\n(ratio: the core's handle mode against its image mode on the same "
                      "file)\n\n");
    }
    for (const Case &c : cases) {
        DeleteFileA(c.variant.dataFile.c_str());
    }
    return ok;
}

// ---- One forwarded settings call

// The spooler half of the work: the folder of the printer's driver file.
bool DriverFolder(const char *printerName, char *folder) {
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char *>(printerName), &printer, nullptr)) {
        return false;
    }
    DWORD needed = 0;
    GetPrinterDriverA(printer, nullptr, 2, nullptr, 0, &needed);
    BYTE *block = static_cast<BYTE *>(GlobalAlloc(GPTR, needed != 0 ? needed : 1));
    bool ok = false;
    if (block != nullptr && GetPrinterDriverA(printer, nullptr, 2, block, needed, &needed)) {
        const char *driverPath = reinterpret_cast<const DRIVER_INFO_2A *>(block)->pDriverPath;
        const char *slash = driverPath != nullptr ? strrchr(driverPath, '\\') : nullptr;
        if (slash != nullptr && static_cast<size_t>(slash - driverPath) + 1 < MAX_PATH) {
            memcpy(folder, driverPath, static_cast<size_t>(slash - driverPath) + 1);
            folder[slash - driverPath + 1] = '\0';
            ok = true;
        }
    }
    if (block != nullptr) {
        GlobalFree(block);
    }
    ClosePrinter(printer);
    return ok;
}

// The module half: load, resolve, call, unload.
int32_t CallInFolder(const char *folder, const char *printerName, intptr_t value) {
    const std::string path = std::string(folder) + "ZEDWIC_U.DLL";
    // Loaded as the library loads it: imports from its own folder and the system's.
    HMODULE module = LoadLibraryExA(
        path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr) {
        return VOLQUAD_RESULT_UNAVAILABLE;
    }
    int32_t result = VOLQUAD_RESULT_UNAVAILABLE;
    FARPROC proc = GetProcAddress(module, "VOLQUAD_FixSetting");
    if (proc != nullptr) {
        result = reinterpret_cast<VOLQUAD_Setting_Fn>(reinterpret_cast<void *>(proc))(printerName,
                                                                                      value);
    }
    FreeLibrary(module);
    return result;
}

int32_t ByHand(const char *printerName, intptr_t value) {
    char folder[MAX_PATH] = {};
    if (!DriverFolder(printerName, folder)) {
        return VOLQUAD_RESULT_UNAVAILABLE;
    }
    return CallInFolder(folder, printerName, value);
}

bool BenchForward(const std::string &root, int rounds) {
    const std::string id = std::to_string(GetCurrentProcessId());
    const std::string printer = "ZW Bench " + id;
    const std::string driver = "ZW Bench Driver " + id;
    const std::string folder = Path_Join(root, "driver");
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string error;
    if (!Copy(Path_Join(ProgramFolder(), "zwu_bench.dll"), Path_Join(folder, "ZEDWIC_U.DLL")) ||
        !TestPrinter_Install(printer, driver, Path_Join(folder, "DRIVER.DLL"), &error)) {
        BenchText_Err("dll_bench: cannot install the bench printer: " + error + "\n");
        TestPrinter_Remove(printer, driver);
        return false;
    }
    HMODULE library = LoadLibraryA(Path_Join(ProgramFolder(), "ZEDWIC_W.dll").c_str());
    auto fixSetting = library == nullptr
                          ? nullptr
                          : reinterpret_cast<VOLQUAD_Setting_Fn>(reinterpret_cast<void *>(
                                GetProcAddress(library, "VOLQUAD_FixSetting")));
    bool ok = fixSetting != nullptr;
    for (intptr_t value = 1; ok && value <= 3; ++value) {
        ok = fixSetting(printer.c_str(), value) == value && ByHand(printer.c_str(), value) == value;
    }
    if (!ok) {
        BenchText_Err("dll_bench: the forwarded call did not reach the bench module\n");
    }
    std::vector<double> library_s, hand_s, spooler_s, module_s;
    char driverFolder[MAX_PATH] = {};
    int32_t check = 0;
    for (int r = 0; ok && r < rounds; ++r) {
        const intptr_t value = r & 0x3FF;
        for (int k = 0; k < 2; ++k) {
            const double start = Now();
            if ((r + k) % 2 == 0) {
                check += fixSetting(printer.c_str(), value);
                library_s.push_back(Now() - start);
            } else {
                check += ByHand(printer.c_str(), value);
                hand_s.push_back(Now() - start);
            }
        }
        // The two halves of the work on their own, to show where the time goes.
        double start = Now();
        DriverFolder(printer.c_str(), driverFolder);
        spooler_s.push_back(Now() - start);
        start = Now();
        check += CallInFolder(driverFolder, printer.c_str(), value);
        module_s.push_back(Now() - start);
    }
    if (ok) {
        const double lib = Bench_Median(library_s);
        const double hand = Bench_Median(hand_s);
        BenchText_Out(
            "== one VOLQUAD_FixSetting call for an installed printer, " + std::to_string(rounds) +
            " rounds\n" + BenchText_Left("", 50) + Head("median us", 12) + Head("min us", 12) +
            "\n" + BenchText_Left("through ZEDWIC_W.dll", 50) + Col(lib * 1e6, 1, 12) +
            Col(Bench_Min(library_s) * 1e6, 1, 12) + "\n" +
            BenchText_Left("same steps by hand in the host", 50) + Col(hand * 1e6, 1, 12) +
            Col(Bench_Min(hand_s) * 1e6, 1, 12) + "\n" +
            BenchText_Left("  of which spooler (open, driver x2, close)", 50) +
            Col(Bench_Median(spooler_s) * 1e6, 1, 12) + Col(Bench_Min(spooler_s) * 1e6, 1, 12) +
            "\n" + BenchText_Left("  of which module (load, resolve, call, free)", 50) +
            Col(Bench_Median(module_s) * 1e6, 1, 12) + Col(Bench_Min(module_s) * 1e6, 1, 12) +
            "\nratio library / by hand: " + BenchText_Fixed(lib / hand, 3) + "  target <= 1.10 " +
            (lib / hand <= 1.10 ? "met" : "MISSED") + "   (checksum " +
            std::to_string(check & 0xFFFF) + ")\n\n");
    }
    if (library != nullptr) {
        FreeLibrary(library);
    }
    TestPrinter_Remove(printer, driver);
    return ok;
}

} // namespace

// VOLQUAD_GetErrorMsg through the loaded DLL, as a host calls it: the lookup
// plus the call through the export (which differs between x64 and x86). The
// floor is a call through an export of another DLL that returns at once
// (the forwarding bench's module), in the same rounds.
bool BenchLookup(const std::string &root, int rounds) {
    const std::vector<uint8_t> catalogue = BenchFile_Catalogue();
    LoadVariant v;
    v.name = "catalogue only";
    if (!PlaceVariant(&v, root, "lookup", &catalogue)) {
        return false;
    }
    HMODULE module = LoadLibraryA(v.dll.c_str());
    auto getErrorMsg = module == nullptr
                           ? nullptr
                           : reinterpret_cast<VOLQUAD_GetErrorMsg_Fn>(reinterpret_cast<void *>(
                                 GetProcAddress(module, "VOLQUAD_GetErrorMsg")));
    HMODULE floorModule = LoadLibraryA(Path_Join(ProgramFolder(), "zwu_bench.dll").c_str());
    auto floorCall = floorModule == nullptr
                         ? nullptr
                         : reinterpret_cast<VOLQUAD_Setting_Fn>(reinterpret_cast<void *>(
                               GetProcAddress(floorModule, "VOLQUAD_FixSetting")));
    if (getErrorMsg == nullptr || floorCall == nullptr) {
        BenchText_Err("dll_bench: cannot load " + v.dll + " or zwu_bench.dll for the lookup\n");
        if (module != nullptr) {
            FreeLibrary(module);
        }
        if (floorModule != nullptr) {
            FreeLibrary(floorModule);
        }
        return false;
    }
    const int kCalls = 100000;
    std::vector<double> perCall, perFloorCall;
    uintptr_t sum = 0;
    for (int round = 0; round < rounds; ++round) {
        double start = Now();
        for (int i = 0; i < kCalls; ++i) {
            sum += reinterpret_cast<uintptr_t>(getErrorMsg(i & 31)); // codes 0-15 and fallbacks
        }
        perCall.push_back((Now() - start) / kCalls);
        start = Now();
        for (int i = 0; i < kCalls; ++i) {
            sum += static_cast<uintptr_t>(floorCall(v.name, i & 31));
        }
        perFloorCall.push_back((Now() - start) / kCalls);
    }
    FreeLibrary(module);
    FreeLibrary(floorModule);
    const double median = Bench_Median(perCall);
    BenchText_Out(
        "== VOLQUAD_GetErrorMsg through the loaded DLL, " + std::to_string(rounds) + " rounds of " +
        std::to_string(kCalls) + " calls (codes 0-31)\n" + BenchText_Left("", 50) +
        Head("median ns", 12) + Head("min ns", 12) + Head("ratio", 8) + "\n" +
        BenchText_Left("one call", 50) + Col(median * 1e9, 2, 12) +
        Col(Bench_Min(perCall) * 1e9, 2, 12) + Col(median / Bench_Median(perFloorCall), 2, 8) +
        "\n" + BenchText_Left("floor: an export of another DLL that returns", 50) +
        Col(Bench_Median(perFloorCall) * 1e9, 2, 12) + Col(Bench_Min(perFloorCall) * 1e9, 2, 12) +
        Col(1.0, 2, 8) + "\n(ratio: one call against the floor; checksum " +
        std::to_string(sum & 0xFFFF) + ")\n\n");
    return true;
}

int main(int argc, char **argv) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_ticksPerSecond = static_cast<double>(frequency.QuadPart);
    g_emulated = GetEnvironmentVariableA("ZW_BENCH_EMULATED", nullptr, 0) != 0;
    const int rounds = argc > 1 ? atoi(argv[1]) : 300;
    const int largeRounds = argc > 2 ? atoi(argv[2]) : 20;
    const int hostileRounds = argc > 3 ? atoi(argv[3]) : 3;
    const std::string root = TempDir_Create(" zw bench");
    if (root.empty()) {
        BenchText_Err("dll_bench: no temporary folder\n");
        return 1;
    }
    const bool ok = BenchLoad(root, rounds) && BenchLookup(root, rounds / 10 + 1) &&
                    (largeRounds == 0 || BenchLargeFiles(root, largeRounds)) &&
                    (hostileRounds == 0 || BenchHostile(root, hostileRounds)) &&
                    BenchForward(root, rounds);
    TempDir_Remove(root);
    return ok ? 0 : 1;
}
