// zwhost: loads ZEDWIC_W.dll the way a host program does and shows what it
// answers. See usage below.
#include "ZEDWIC_W.h"
#include "zwhost_args.h"

#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage: zwhost [--dll PATH] msg [CODE...]\n"
    "       zwhost [--dll PATH] call EXPORT PRINTER VALUE\n"
    "       zwhost printers\n"
    "\n"
    "  msg       print the message text for each CODE (default: 0 to 16 and 99)\n"
    "  call      call a settings export (SettingExport, SettingImport, PersonalInfoImport,\n"
    "            DefaultSetting, FixSetting) for PRINTER with VALUE, print its result\n"
    "  printers  list installed printers, their driver folder and whether ZEDWIC_U.DLL is there\n"
    "  --dll     the library to load (default: ZEDWIC_W.dll beside zwhost)\n";

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

int ShowMessages(HMODULE dll, const std::string &dllPath, char **codes, int count) {
    auto getErrorMsg = reinterpret_cast<VOLQUAD_GetErrorMsg_Fn>(
        reinterpret_cast<void *>(Resolve(dll, "VOLQUAD_GetErrorMsg", dllPath)));
    if (getErrorMsg == nullptr) {
        return 2;
    }
    std::vector<int32_t> wanted;
    for (int i = 0; i < count; ++i) {
        int32_t code = 0;
        if (!ZwHost_ParseCode(codes[i], &code)) {
            fprintf(stderr, "zwhost: not a code: '%s' (a whole number such as 7 or -1)\n",
                    codes[i]);
            return 2;
        }
        wanted.push_back(code);
    }
    if (wanted.empty()) {
        for (int32_t code = 0; code <= 16; ++code) {
            wanted.push_back(code);
        }
        wanted.push_back(VOLQUAD_RESULT_UNAVAILABLE);
    }
    for (int32_t code : wanted) {
        printf("%4ld  %s\n", static_cast<long>(code), getErrorMsg(code));
    }
    return 0;
}

int CallExport(HMODULE dll, const std::string &dllPath, char **args, int count) {
    if (count != 3) {
        fprintf(stderr, "zwhost: call needs EXPORT PRINTER VALUE\n%s", kUsage);
        return 2;
    }
    const char *name = ZwHost_SettingExportName(args[0]);
    if (name == nullptr) {
        fprintf(stderr, "zwhost: no settings export is called '%s'\n", args[0]);
        return 2;
    }
    intptr_t value = 0;
    if (!ZwHost_ParseValue(args[2], &value)) {
        fprintf(stderr, "zwhost: not a value: '%s' (a whole number such as 42 or 0x2A)\n", args[2]);
        return 2;
    }
    auto settingFn =
        reinterpret_cast<VOLQUAD_Setting_Fn>(reinterpret_cast<void *>(Resolve(dll, name, dllPath)));
    auto getErrorMsg = reinterpret_cast<VOLQUAD_GetErrorMsg_Fn>(
        reinterpret_cast<void *>(Resolve(dll, "VOLQUAD_GetErrorMsg", dllPath)));
    if (settingFn == nullptr || getErrorMsg == nullptr) {
        return 2;
    }
    const int32_t result = settingFn(args[1], value);
    printf("%s(\"%s\", %lld) = %ld  %s\n", name, args[1], static_cast<long long>(value),
           static_cast<long>(result), getErrorMsg(result));
    return 0;
}

std::string DriverFolder(const char *printerName) {
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char *>(printerName), &printer, nullptr)) {
        return std::string();
    }
    DWORD needed = 0;
    GetPrinterDriverA(printer, nullptr, 2, nullptr, 0, &needed);
    std::vector<BYTE> record(needed < sizeof(DRIVER_INFO_2A) ? sizeof(DRIVER_INFO_2A) : needed);
    std::string folder;
    if (needed != 0 && GetPrinterDriverA(printer, nullptr, 2, record.data(), needed, &needed)) {
        const char *path = reinterpret_cast<DRIVER_INFO_2A *>(record.data())->pDriverPath;
        folder = path != nullptr ? FolderOf(path) : std::string();
    }
    ClosePrinter(printer);
    return folder;
}

// The size asked first can be too small by the time of the fetch when another
// program adds a printer in between: ask again with the size the fetch names.
bool EnumPrinters4(DWORD flags, std::vector<BYTE> *list, DWORD *count) {
    DWORD needed = 0;
    for (int attempt = 0; attempt < 16; ++attempt) {
        list->assign(needed + 1, 0);
        if (EnumPrintersA(flags, nullptr, 4, needed != 0 ? list->data() : nullptr, needed, &needed,
                          count)) {
            return true;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            return false;
        }
    }
    return false;
}

int ListPrinters() {
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    std::vector<BYTE> list;
    DWORD count = 0;
    if (!EnumPrinters4(flags, &list, &count)) {
        fprintf(stderr, "zwhost: cannot list printers (error %lu)\n", GetLastError());
        return 1;
    }
    const PRINTER_INFO_4A *printers = reinterpret_cast<const PRINTER_INFO_4A *>(list.data());
    if (count == 0) {
        printf("no printers installed\n");
    }
    for (DWORD i = 0; i < count; ++i) {
        const char *name = printers[i].pPrinterName;
        const std::string folder = DriverFolder(name);
        const bool present =
            !folder.empty() &&
            GetFileAttributesA((folder + "ZEDWIC_U.DLL").c_str()) != INVALID_FILE_ATTRIBUTES;
        printf("%s\n  driver folder: %s\n  ZEDWIC_U.DLL:  %s\n", name,
               folder.empty() ? "(unknown)" : folder.c_str(), present ? "present" : "missing");
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    int next = 1;
    std::string dllPath = DefaultDll();
    if (next + 1 < argc && strcmp(argv[next], "--dll") == 0) {
        dllPath = argv[next + 1];
        next += 2;
    }
    if (next >= argc) {
        fprintf(stderr, "%s", kUsage);
        return 2;
    }
    const std::string command = argv[next++];
    if (command == "printers") {
        return ListPrinters();
    }
    if (command != "msg" && command != "call") {
        fprintf(stderr, "zwhost: unknown command '%s'\n%s", command.c_str(), kUsage);
        return 2;
    }
    HMODULE dll = LoadLibraryA(dllPath.c_str());
    if (dll == nullptr) {
        fprintf(stderr, "zwhost: cannot load %s (error %lu)\n", dllPath.c_str(), GetLastError());
        return 2;
    }
    const int status = command == "msg" ? ShowMessages(dll, dllPath, argv + next, argc - next)
                                        : CallExport(dll, dllPath, argv + next, argc - next);
    FreeLibrary(dll);
    return status;
}
