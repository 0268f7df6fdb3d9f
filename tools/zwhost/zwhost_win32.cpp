// zwhost: loads ZEDWIC_W.dll the way a host program does and shows what it
// answers, and walks a printer through the library's steps to say why a
// settings call gives 99. See usage below.
#include "ZEDWIC_W.h"
#include "lifecycle.h"
#include "zw_version.h"
#include "zwhost_args.h"
#include "zwhost_walk.h"
#include "zwxcmd.h"

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
    "            DefaultSetting, FixSetting) for PRINTER with VALUE, print its result\n"
    "  explain   walk PRINTER through the library's steps to its ZEDWIC_U.DLL (and EXPORT)\n"
    "            and say where a settings call would stop and why\n"
    "  printers  list installed printers, where each one's ZEDWIC_U.DLL lies, whether it\n"
    "            loads and which settings functions it has\n"
    "  --dll     the library to load (default: ZEDWIC_W.dll beside zwhost)\n"
    "\n"
    "exit status: 0 fine, 1 the diagnosis found a fault (an empty text, a call that would\n"
    "give 99, printers that cannot be listed), 2 bad command line or library not loadable\n";

const int ZWHOST_EXIT_FAULT = 1;
const int ZWHOST_EXIT_USAGE = 2;

std::string FolderOf(const std::string &path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string DefaultDll() {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    return FolderOf(self) + "ZEDWIC_W.dll";
}

FARPROC Resolve(HMODULE dll, const char *name, const std::string &dllPath) {
    FARPROC proc = GetProcAddress(dll, name);
    if (proc == nullptr) {
        fprintf(stderr, "zwhost: %s does not export %s\n", dllPath.c_str(), name);
    }
    return proc;
}

struct DataFileName {
    std::string library; // the loaded library's own file name
    std::string path;    // the data file it reads; empty when it reads none
    std::string none;    // why it reads none
};

// The data file as the library's attach finds it: its own rule over the same
// UTF-16 module name converted the same way, so the same refusals. Paths are
// UTF-8, as the library and zwx take them.
DataFileName DataFileOf(HMODULE dll) {
    DataFileName name;
    wchar_t wide[MODPATH_SIZE] = {};
    const DWORD length = GetModuleFileNameW(dll, wide, MODPATH_SIZE);
    char own[MODPATH_UTF8_SIZE] = {};
    const bool cut = length >= MODPATH_SIZE;
    const bool invalid = length != 0 && !cut &&
                         WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, -1, own,
                                             sizeof own, nullptr, nullptr) == 0;
    name.library = own;
    char path[MODPATH_UTF8_SIZE] = {};
    if (Lifecycle_DataFilePath(own, cut || invalid, path)) {
        name.path = path;
    } else if (cut) {
        name.none = "the library's own path is longer than 259 characters, so it reads none";
    } else if (invalid) {
        name.none = "the library's own path is not valid UTF-16, so it reads none";
    } else {
        name.none = std::string("the library's folder is too deep for ") +
                    LIFECYCLE_DATA_FILE_NAME + " (more than 259 characters), so it reads none";
    }
    return name;
}

std::wstring WideOf(const std::string &utf8) {
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(units > 0 ? static_cast<size_t>(units) : 1, L'\0');
    if (units > 0) {
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], units);
    }
    return wide;
}

// Why some texts are empty, as zwx check reads the data file.
void ExplainEmpty(const DataFileName &dataFile) {
    if (dataFile.path.empty()) {
        printf("empty texts: %s\n", dataFile.none.c_str());
        return;
    }
    const DWORD attributes = GetFileAttributesW(WideOf(dataFile.path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        printf("empty texts: there is no data file %s (%s)\n", dataFile.path.c_str(),
               attributes == INVALID_FILE_ATTRIBUTES ? ZwHost_SystemError(GetLastError()).c_str()
                                                     : "a folder of that name");
        return;
    }
    // Texts shown in the code page the file records, as zwx check shows them.
    ZwxStreams check;
    ZwxCmd_CheckWith(dataFile.path, ZwxOptions(), &check);
    printf("empty texts, as zwx check reads the data file:\n");
    size_t shown = 0;
    for (size_t at = 0; at < check.out.size();) {
        size_t end = check.out.find('\n', at);
        end = end == std::string::npos ? check.out.size() : end;
        const std::string line = check.out.substr(at, end - at);
        if (line.find(": warning: ") != std::string::npos) {
            printf("  %s\n", line.c_str());
            ++shown;
        }
        at = end + 1;
    }
    if (shown == 0) {
        printf("  %s", check.err.empty() ? "no warnings: the texts themselves are empty\n"
                                         : check.err.c_str());
    }
}

int ShowMessages(HMODULE dll, const std::string &dllPath, char **codes, int count) {
    auto getErrorMsg = reinterpret_cast<VOLQUAD_GetErrorMsg_Fn>(
        reinterpret_cast<void *>(Resolve(dll, "VOLQUAD_GetErrorMsg", dllPath)));
    if (getErrorMsg == nullptr) {
        return ZWHOST_EXIT_USAGE;
    }
    std::vector<int32_t> wanted;
    for (int i = 0; i < count; ++i) {
        int32_t code = 0;
        if (!ZwHost_ParseCode(codes[i], &code)) {
            fprintf(stderr, "zwhost: not a code: '%s' (a whole number such as 7 or -1)\n",
                    codes[i]);
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
    const DataFileName dataFile = DataFileOf(dll);
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
    ExplainEmpty(dataFile);
    return ZWHOST_EXIT_FAULT;
}

int CallExport(HMODULE dll, const std::string &dllPath, char **args, int count) {
    if (count != 3) {
        fprintf(stderr, "zwhost: call needs EXPORT PRINTER VALUE\n%s", ZWHOST_USAGE);
        return ZWHOST_EXIT_USAGE;
    }
    const char *name = ZwHost_SettingExportName(args[0]);
    if (name == nullptr) {
        fprintf(stderr, "zwhost: no settings export is called '%s'\n", args[0]);
        return ZWHOST_EXIT_USAGE;
    }
    intptr_t value = 0;
    if (!ZwHost_ParseValue(args[2], &value)) {
        fprintf(stderr, "zwhost: not a value: '%s' (a whole number such as 42 or 0x2A)\n", args[2]);
        return ZWHOST_EXIT_USAGE;
    }
    auto settingFn =
        reinterpret_cast<VOLQUAD_Setting_Fn>(reinterpret_cast<void *>(Resolve(dll, name, dllPath)));
    auto getErrorMsg = reinterpret_cast<VOLQUAD_GetErrorMsg_Fn>(
        reinterpret_cast<void *>(Resolve(dll, "VOLQUAD_GetErrorMsg", dllPath)));
    if (settingFn == nullptr || getErrorMsg == nullptr) {
        return ZWHOST_EXIT_USAGE;
    }
    const int32_t result = settingFn(args[1], value);
    printf("%s(\"%s\", %lld) = %ld  %s\n", name, args[1], static_cast<long long>(value),
           static_cast<long>(result), getErrorMsg(result));
    if (result == VOLQUAD_RESULT_UNAVAILABLE) {
        printf("(99: 'zwhost explain \"%s\" %s' shows where the call stops, if it does)\n", args[1],
               name + strlen("VOLQUAD_"));
    }
    return 0;
}

int Explain(char **args, int count) {
    if (count < 1 || count > 2) {
        fprintf(stderr, "zwhost: explain needs PRINTER and at most one EXPORT\n%s", ZWHOST_USAGE);
        return ZWHOST_EXIT_USAGE;
    }
    const char *exportName = nullptr;
    if (count == 2 && (exportName = ZwHost_SettingExportName(args[1])) == nullptr) {
        fprintf(stderr, "zwhost: no settings export is called '%s'\n", args[1]);
        return ZWHOST_EXIT_USAGE;
    }
    const ZwHostWalk walk = ZwHost_Walk(args[0], exportName);
    printf("printer \"%s\"\n", args[0]);
    for (size_t i = 0; i < walk.steps.size(); ++i) {
        printf("  %zu. %-17s %s\n", i + 1, walk.steps[i].label.c_str(),
               walk.steps[i].result.c_str());
    }
    if (walk.reached) {
        printf("reached: %s for this printer run%s in %s\n",
               exportName != nullptr ? exportName : "the five settings calls",
               exportName != nullptr ? "s" : "", walk.modulePath.c_str());
        return 0;
    }
    const std::string verdict =
        exportName != nullptr ? std::string(exportName) + " for this printer returns 99"
        : walk.loaded         ? "the settings calls it lacks return 99 for this printer"
                              : "every settings call for this printer returns 99";
    printf("stops at step %zu: %s\n", walk.steps.size(), verdict.c_str());
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
    const ZwHostWalk walk = ZwHost_Walk(name, nullptr);
    printf("%s\n", name);
    if (walk.haveDriverPath) {
        printf("  driver file:   %s\n", walk.driverPath.c_str());
    }
    if (walk.modulePath.empty()) {
        printf("  ZEDWIC_U.DLL:  not looked for: %s\n", walk.why.c_str());
        return;
    }
    printf("  ZEDWIC_U.DLL:  %s\n", walk.modulePath.c_str());
    if (!walk.loaded) {
        printf("  loads:         no: %s\n", walk.why.c_str());
        return;
    }
    std::string have, lack;
    for (int i = 0; i < 5; ++i) {
        std::string &list = walk.exports[i] ? have : lack;
        list +=
            (list.empty() ? "" : " ") + std::string(ZWHOST_SETTING_EXPORTS[i] + strlen("VOLQUAD_"));
    }
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
        fprintf(stderr, "zwhost: cannot list printers (%s)\n",
                error == ERROR_SUCCESS || error == ERROR_INSUFFICIENT_BUFFER
                    ? "the list kept changing while it was read"
                    : ZwHost_SystemError(error).c_str());
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

} // namespace

int main(int argc, char **argv) {
    if (argc == 2 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0 ||
                      strcmp(argv[1], "/?") == 0)) {
        printf("%s", ZWHOST_USAGE);
        return 0;
    }
    if (argc == 2 && strcmp(argv[1], "--version") == 0) {
        printf("zwhost %s\n", ZW_VERSION_TEXT);
        return 0;
    }
    int next = 1;
    std::string dllPath = DefaultDll();
    if (next + 1 < argc && strcmp(argv[next], "--dll") == 0) {
        dllPath = argv[next + 1];
        next += 2;
    }
    if (next >= argc) {
        fprintf(stderr, "%s", ZWHOST_USAGE);
        return ZWHOST_EXIT_USAGE;
    }
    const std::string command = argv[next++];
    if (command == "printers") {
        return ListPrinters();
    }
    if (command == "explain") {
        return Explain(argv + next, argc - next);
    }
    if (command != "msg" && command != "call") {
        fprintf(stderr, "zwhost: unknown command '%s'\n%s", command.c_str(), ZWHOST_USAGE);
        return ZWHOST_EXIT_USAGE;
    }
    HMODULE dll = LoadLibraryA(dllPath.c_str());
    if (dll == nullptr) {
        fprintf(stderr, "zwhost: cannot load %s (error %lu)\n", dllPath.c_str(), GetLastError());
        return ZWHOST_EXIT_USAGE;
    }
    const int status = command == "msg" ? ShowMessages(dll, dllPath, argv + next, argc - next)
                                        : CallExport(dll, dllPath, argv + next, argc - next);
    FreeLibrary(dll);
    return status;
}
