// zwhost: loads ZEDWIC_W.dll the way a host program does and shows what it
// answers, and walks a printer through the library's own steps to say why a
// settings call gives 99. See usage below.
#include "ZEDWIC_W.h"
#include "drvmod.h"
#include "zwhost_msg.h"
#include "zw_version.h"
#include "zwhost_args.h"
#include "zwhost_explain.h"
#include "wtext.h"

#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char ZWHOST_USAGE[] =
    "usage: zwhost [--dll PATH] msg [CODE...]\n"
    "       zwhost [--dll PATH] call EXPORT PRINTER VALUE\n"
    "       zwhost explain PRINTER [EXPORT]\n"
    "       zwhost printers\n"
    "       zwhost --help | --version\n"
    "\n"
    "  msg       print the message text for each CODE (default: 0 to 16 and 99), the library\n"
    "            and data file they come from, and why any text is empty\n"
    "  call      call a settings export (SettingExport, SettingImport, PersonalInfoImport,\n"
    "            DefaultSetting, FixSetting) for PRINTER with VALUE as a host does; print its\n"
    "            result, the last error the host sees after it, and whether the function of\n"
    "            ZEDWIC_U.DLL ran or at which step the library stopped\n"
    "  explain   walk PRINTER through the library's steps to its ZEDWIC_U.DLL (and EXPORT),\n"
    "            say where a settings call stops and the last error the host sees there\n"
    "  printers  list installed printers, where each one's ZEDWIC_U.DLL lies, whether it\n"
    "            loads and which settings functions it has\n"
    "  --dll     the library msg and call load (default: ZEDWIC_W.dll beside zwhost, or in\n"
    "            ..\\bin as installed from the package)\n"
    "\n"
    "explain, printers and call's verdict run the library's own walk, built into zwhost: each\n"
    "step is the one a settings call takes. The load step loads ZEDWIC_U.DLL in zwhost's own\n"
    "process, as a host's call would: its DllMain runs here, and it is released again.\n"
    "\n"
    "exit status: 0 fine, 1 the diagnosis found a fault (an empty text, a call that would\n"
    "give 99, printers that cannot be listed), 2 bad command line or library not loadable\n";

const int ZWHOST_EXIT_FAULT = 1;
const int ZWHOST_EXIT_USAGE = 2;

// Set before a call, as a host's test does, so that a call that sets no last
// error shows as such.
const DWORD ZWHOST_SENTINEL_ERROR = 0xDEADBEEF;

const size_t ZWHOST_OWN_NAME_UNITS = 32768;

struct Args {
    std::vector<std::wstring> wide; // as given
    std::vector<std::string> utf8;  // the same words as UTF-8
};

std::string FolderOf(const std::string &path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool IsFile(const std::string &path) {
    const DWORD attributes = GetFileAttributesW(WText_Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// ZEDWIC_W.dll beside zwhost, or as installed from the package (tools\ beside
// bin\). False, with the reason in *why, when zwhost's own name is cut: a cut
// name is a parent folder's, whose DLL is not the one meant.
bool DefaultDll(std::string *dll, std::string *why) {
    std::vector<wchar_t> name(ZWHOST_OWN_NAME_UNITS, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        *why = "zwhost's own path is longer than 259 characters, so the folder it lies in cannot "
               "be had whole (a cut name names a parent folder): move zwhost and ZEDWIC_W.dll to "
               "a folder with a shorter path, or name the library with --dll";
        return false;
    }
    std::string self;
    if (!WText_ToUtf8(std::wstring(name.data(), length), &self)) {
        *why = "zwhost's own path is not valid UTF-16: name the library with --dll";
        return false;
    }
    const std::string folder = FolderOf(self);
    *dll = folder + "ZEDWIC_W.dll";
    const std::string tools = "\\tools\\";
    if (!IsFile(*dll) && folder.size() > tools.size() &&
        _stricmp(folder.substr(folder.size() - tools.size()).c_str(), tools.c_str()) == 0) {
        const std::string installed =
            folder.substr(0, folder.size() - tools.size() + 1) + "bin\\ZEDWIC_W.dll";
        if (IsFile(installed)) {
            *dll = installed;
        }
    }
    return true;
}

HMODULE LoadDll(const std::string &path) {
    std::wstring wide;
    if (!WText_FromUtf8(path, &wide)) {
        fprintf(stderr, "zwhost: cannot load %s: the name is not valid text\n", path.c_str());
        return nullptr;
    }
    HMODULE dll = LoadLibraryW(wide.c_str());
    if (dll == nullptr) {
        const DWORD error = GetLastError();
        fprintf(stderr, "zwhost: cannot load %s: %s; error %s\n", path.c_str(),
                ZwHost_WhyNotLoaded(path, error).c_str(), ZwHost_SystemError(error).c_str());
    }
    return dll;
}

FARPROC Resolve(HMODULE dll, const char *name, const std::string &dllPath) {
    FARPROC proc = GetProcAddress(dll, name);
    if (proc == nullptr) {
        fprintf(stderr, "zwhost: %s does not export %s\n", dllPath.c_str(), name);
    }
    return proc;
}

// A printer name as the host's 8-bit call carries it, or false with a message.
bool PrinterName(const std::wstring &word, std::string *ansi) {
    if (!WText_ToAnsi(word, ansi)) {
        fprintf(stderr,
                "zwhost: the printer name '%s' has characters outside the system code page, "
                "which no settings call can carry\n",
                WText_Utf8(word).c_str());
        return false;
    }
    return true;
}

int ShowMessages(HMODULE dll, const std::string &dllPath, const Args &args, size_t first) {
    auto getErrorMsg = reinterpret_cast<VOLQUAD_GetErrorMsg_Fn>(
        reinterpret_cast<void *>(Resolve(dll, "VOLQUAD_GetErrorMsg", dllPath)));
    if (getErrorMsg == nullptr) {
        return ZWHOST_EXIT_USAGE;
    }
    std::vector<int32_t> wanted;
    for (size_t i = first; i < args.utf8.size(); ++i) {
        int32_t code = 0;
        if (!ZwHost_ParseCode(args.utf8[i].c_str(), &code)) {
            fprintf(stderr, "zwhost: not a code: '%s' (a whole number such as 7 or -1)\n",
                    args.utf8[i].c_str());
            return ZWHOST_EXIT_USAGE;
        }
        wanted.push_back(code);
    }
    if (wanted.empty()) {
        for (int32_t code = 0; code <= 16; ++code) {
            wanted.push_back(code);
        }
        wanted.push_back(VOLQUAD_RESULT_UNAVAILABLE);
    }
    const ZwHostDataFile dataFile = ZwHost_DataFileOf(dll);
    printf("library:   %s\n", dataFile.library.c_str());
    printf("data file: %s\n", dataFile.path.empty() ? "(none)" : dataFile.path.c_str());
    bool anyEmpty = false;
    for (int32_t code : wanted) {
        const char *text = getErrorMsg(code);
        anyEmpty = anyEmpty || text[0] == '\0';
        printf("%4ld  %s\n", static_cast<long>(code), text[0] != '\0' ? text : "(empty)");
    }
    if (!anyEmpty) {
        return 0;
    }
    ZwHost_ExplainEmpty(dataFile);
    return ZWHOST_EXIT_FAULT;
}

// A printer walked by the library's own code: DriverModule_Find, then the
// function (or all five when exportName is null), then released.
struct Walk {
    DriverModuleReport report;
    bool loaded;
    bool has[5];
};

Walk WalkPrinter(const std::string &printer, const char *exportName) {
    Walk walk = {};
    PlatformModule module = DriverModule_Find(printer.c_str(), &walk.report);
    if (module == nullptr) {
        return walk;
    }
    walk.loaded = true;
    const DriverModuleReport found = walk.report;
    bool stopped = false;
    for (int i = 0; i < 5; ++i) {
        const char *name = ZWHOST_SETTING_EXPORTS[i];
        DriverModuleReport step = found;
        walk.has[i] = DriverModule_Function(module, name, &step) != nullptr;
        const bool counts = exportName == nullptr || strcmp(exportName, name) == 0;
        if (counts && !stopped) {
            walk.report = step;
            stopped = step.step != DRIVERMODULE_STEP_REACHED;
        }
    }
    DriverModule_Free(module);
    return walk;
}

std::string ExportList(const Walk &walk, bool have) {
    std::string list;
    for (int i = 0; i < 5; ++i) {
        if (walk.has[i] == have) {
            list += (list.empty() ? "" : " ") +
                    std::string(ZWHOST_SETTING_EXPORTS[i] + strlen("VOLQUAD_"));
        }
    }
    return list;
}

std::string StopWords(const Walk &walk, const char *exportName) {
    if (walk.report.step == DRIVERMODULE_STEP_FUNCTION && exportName == nullptr) {
        const std::string have = ExportList(walk, true);
        return "the module lacks " + ExportList(walk, false) +
               (have.empty() ? "" : "; it has " + have);
    }
    return ZwHost_StopReason(walk.report, exportName);
}

// "VOLQUAD_FixSetting(\"P\", 42) = 99  Printer unavailable."
int CallExport(HMODULE dll, const std::string &dllPath, const Args &args, size_t first) {
    if (args.utf8.size() - first != 3) {
        fprintf(stderr, "zwhost: call needs EXPORT PRINTER VALUE\n%s", ZWHOST_USAGE);
        return ZWHOST_EXIT_USAGE;
    }
    const char *name = ZwHost_SettingExportName(args.utf8[first].c_str());
    if (name == nullptr) {
        fprintf(stderr, "zwhost: no settings export is called '%s'\n", args.utf8[first].c_str());
        return ZWHOST_EXIT_USAGE;
    }
    intptr_t value = 0;
    if (!ZwHost_ParseValue(args.utf8[first + 2].c_str(), &value)) {
        fprintf(stderr, "zwhost: not a value: '%s' (a whole number such as 42 or 0x2A)\n",
                args.utf8[first + 2].c_str());
        return ZWHOST_EXIT_USAGE;
    }
    std::string printer;
    if (!PrinterName(args.wide[first + 1], &printer)) {
        return ZWHOST_EXIT_USAGE;
    }
    auto settingFn =
        reinterpret_cast<VOLQUAD_Setting_Fn>(reinterpret_cast<void *>(Resolve(dll, name, dllPath)));
    auto getErrorMsg = reinterpret_cast<VOLQUAD_GetErrorMsg_Fn>(
        reinterpret_cast<void *>(Resolve(dll, "VOLQUAD_GetErrorMsg", dllPath)));
    if (settingFn == nullptr || getErrorMsg == nullptr) {
        return ZWHOST_EXIT_USAGE;
    }
    SetLastError(ZWHOST_SENTINEL_ERROR);
    const int32_t result = settingFn(printer.c_str(), value);
    const DWORD error = GetLastError();
    printf("%s(\"%s\", %lld) = %ld  %s\n", name, args.utf8[first + 1].c_str(),
           static_cast<long long>(value), static_cast<long>(result), getErrorMsg(result));
    if (error == ZWHOST_SENTINEL_ERROR) {
        printf("last error: 0x%08lX, as zwhost set it before the call: the call set none\n",
               static_cast<unsigned long>(error));
    } else {
        printf("last error: %s\n", ZwHost_SystemError(error).c_str());
    }
    // The same steps again, without calling the function.
    const Walk walk = WalkPrinter(printer, name);
    if (walk.report.step == DRIVERMODULE_STEP_REACHED) {
        printf("the function ran in %s: %ld is its own result, the last error what it left\n",
               WText_AnsiToUtf8(walk.report.modulePath).c_str(), static_cast<long>(result));
        return 0;
    }
    printf("the function did not run: the library stopped at step %d (%s): %s\n",
           static_cast<int>(walk.report.step) + 1, ZwHost_StepLabel(walk.report.step),
           StopWords(walk, name).c_str());
    if (walk.report.error != error) {
        printf("(walked again, that step now gives %s: the printer or its module changed "
               "in between)\n",
               ZwHost_SystemError(walk.report.error).c_str());
    }
    return 0;
}

void PrintStep(DriverModuleStep step, const char *label, const std::string &text) {
    printf("  %d. %-19s %s\n", static_cast<int>(step) + 1, label, text.c_str());
}

int Explain(const Args &args, size_t first) {
    const size_t count = args.utf8.size() - first;
    if (count < 1 || count > 2) {
        fprintf(stderr, "zwhost: explain needs PRINTER and at most one EXPORT\n%s", ZWHOST_USAGE);
        return ZWHOST_EXIT_USAGE;
    }
    const char *exportName = nullptr;
    if (count == 2 &&
        (exportName = ZwHost_SettingExportName(args.utf8[first + 1].c_str())) == nullptr) {
        fprintf(stderr, "zwhost: no settings export is called '%s'\n",
                args.utf8[first + 1].c_str());
        return ZWHOST_EXIT_USAGE;
    }
    std::string printer;
    if (!PrinterName(args.wide[first], &printer)) {
        return ZWHOST_EXIT_USAGE;
    }
    const Walk walk = WalkPrinter(printer, exportName);
    const DriverModuleReport &report = walk.report;
    const char *functionLabel = exportName != nullptr ? exportName : "the five functions";
    printf("printer \"%s\"\n", args.utf8[first].c_str());
    for (int s = DRIVERMODULE_STEP_PRINTER; s < report.step; ++s) {
        const DriverModuleStep step = static_cast<DriverModuleStep>(s);
        const bool function = step == DRIVERMODULE_STEP_FUNCTION;
        PrintStep(step, function ? functionLabel : ZwHost_StepLabel(step),
                  function && exportName == nullptr ? "all exported"
                                                    : ZwHost_StepFound(report, step));
    }
    if (report.step == DRIVERMODULE_STEP_REACHED) {
        printf("reached: %s for this printer run%s in %s\n",
               exportName != nullptr ? exportName : "the five settings calls",
               exportName != nullptr ? "s" : "", WText_AnsiToUtf8(report.modulePath).c_str());
        return 0;
    }
    const bool function = report.step == DRIVERMODULE_STEP_FUNCTION;
    PrintStep(report.step, function ? functionLabel : ZwHost_StepLabel(report.step),
              "stops: " + StopWords(walk, exportName));
    const std::string verdict =
        exportName != nullptr ? std::string(exportName) + " for this printer returns 99"
        : walk.loaded         ? "the settings calls it lacks return 99 for this printer"
                              : "every settings call for this printer returns 99";
    printf("stops at step %d: %s\n", static_cast<int>(report.step) + 1, verdict.c_str());
    printf("last error the host sees: %s\n", ZwHost_SystemError(report.error).c_str());
    return ZWHOST_EXIT_FAULT;
}

// The list can change while it is read: the size asked first is too small by
// the time of the fetch when another program adds a printer in between (ask
// again with the size the fetch names), and Wine's spooler fails without
// setting an error when a printer is removed while it walks the list (ask
// again). Any other failure is final.
bool EnumPrinters4(DWORD flags, std::vector<BYTE> *list, DWORD *count) {
    DWORD needed = 0;
    for (int attempt = 0; attempt < 16; ++attempt) {
        list->assign(needed + 1, 0);
        SetLastError(ERROR_SUCCESS);
        if (EnumPrintersA(flags, nullptr, 4, needed != 0 ? list->data() : nullptr, needed, &needed,
                          count)) {
            return true;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_INSUFFICIENT_BUFFER && error != ERROR_SUCCESS) {
            return false;
        }
    }
    return false;
}

void ShowPrinter(const char *name) {
    const Walk walk = WalkPrinter(name, nullptr);
    const DriverModuleReport &report = walk.report;
    printf("%s\n", WText_AnsiToUtf8(name).c_str());
    if (report.haveDriverPath) {
        printf("  driver file:   %s\n", WText_AnsiToUtf8(report.driverPath).c_str());
    }
    const std::string error = "; last error " + ZwHost_SystemError(report.error);
    if (report.step < DRIVERMODULE_STEP_MODULE_LOAD) {
        printf("  ZEDWIC_U.DLL:  not looked for: %s%s\n", StopWords(walk, nullptr).c_str(),
               error.c_str());
        return;
    }
    printf("  ZEDWIC_U.DLL:  %s\n", WText_AnsiToUtf8(report.modulePath).c_str());
    if (!walk.loaded) {
        printf("  loads:         no: %s%s\n", StopWords(walk, nullptr).c_str(), error.c_str());
        return;
    }
    const std::string have = ExportList(walk, true);
    const std::string lack = ExportList(walk, false);
    printf("  loads:         yes; exports %s%s%s\n",
           have.empty() ? "none of the five" : have.c_str(), lack.empty() ? "" : "; lacks ",
           lack.c_str());
}

int ListPrinters() {
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    std::vector<BYTE> list;
    DWORD count = 0;
    if (!EnumPrinters4(flags, &list, &count)) {
        const DWORD error = GetLastError();
        fprintf(stderr, "zwhost: cannot list printers: %s\n",
                error == ERROR_SUCCESS || error == ERROR_INSUFFICIENT_BUFFER
                    ? "the list kept changing while it was read"
                    : ("error " + ZwHost_SystemError(error)).c_str());
        return ZWHOST_EXIT_FAULT;
    }
    const PRINTER_INFO_4A *printers = reinterpret_cast<const PRINTER_INFO_4A *>(list.data());
    if (count == 0) {
        printf("no printers installed\n");
    }
    for (DWORD i = 0; i < count; ++i) {
        // Wine's spooler lists a printer removed while it walked the list without a name.
        if (printers[i].pPrinterName != nullptr) {
            ShowPrinter(printers[i].pPrinterName);
        }
    }
    return 0;
}

int Run(const Args &args) {
    const std::vector<std::string> &words = args.utf8;
    if (words.size() == 1 && (words[0] == "--help" || words[0] == "-h" || words[0] == "/?")) {
        printf("%s", ZWHOST_USAGE);
        return 0;
    }
    if (words.size() == 1 && words[0] == "--version") {
        printf("zwhost %s\n", ZW_VERSION_TEXT);
        return 0;
    }
    size_t next = 0;
    std::string dllPath;
    const bool dllGiven = next + 1 < words.size() && words[next] == "--dll";
    if (dllGiven) {
        dllPath = words[next + 1];
        next += 2;
    }
    if (next >= words.size()) {
        fprintf(stderr, "%s", ZWHOST_USAGE);
        return ZWHOST_EXIT_USAGE;
    }
    const std::string command = words[next++];
    const bool walks = command == "printers" || command == "explain";
    if (!walks && command != "msg" && command != "call") {
        fprintf(stderr, "zwhost: unknown command '%s'\n%s", command.c_str(), ZWHOST_USAGE);
        return ZWHOST_EXIT_USAGE;
    }
    if (walks && dllGiven) {
        fprintf(stderr,
                "zwhost: --dll is for msg and call; %s runs the library's walk built into "
                "zwhost and loads no ZEDWIC_W.dll\n",
                command.c_str());
        return ZWHOST_EXIT_USAGE;
    }
    if (command == "printers") {
        if (next != words.size()) {
            fprintf(stderr, "zwhost: printers takes no arguments\n%s", ZWHOST_USAGE);
            return ZWHOST_EXIT_USAGE;
        }
        return ListPrinters();
    }
    if (command == "explain") {
        return Explain(args, next);
    }
    std::string why;
    if (!dllGiven && !DefaultDll(&dllPath, &why)) {
        fprintf(stderr, "zwhost: %s\n", why.c_str());
        return ZWHOST_EXIT_USAGE;
    }
    HMODULE dll = LoadDll(dllPath);
    if (dll == nullptr) {
        return ZWHOST_EXIT_USAGE;
    }
    const int status = command == "msg" ? ShowMessages(dll, dllPath, args, next)
                                        : CallExport(dll, dllPath, args, next);
    FreeLibrary(dll);
    return status;
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    Args args;
    for (int i = 1; i < argc; ++i) {
        std::string word;
        if (!WText_ToUtf8(argv[i], &word)) {
            fprintf(stderr, "zwhost: argument %d is not valid UTF-16\n", i);
            return ZWHOST_EXIT_USAGE;
        }
        args.wide.push_back(argv[i]);
        args.utf8.push_back(word);
    }
    return Run(args);
}
