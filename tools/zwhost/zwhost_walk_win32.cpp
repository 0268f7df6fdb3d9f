// The walk mirrors DriverModule_Load and the forwarding exports step by step.
// The decisions come from the library's own code (DriverModule_ComposePath,
// DRIVERMODULE_LOAD_FLAGS); what is added is only the explanation of each.
#include "zwhost_walk.h"

#include "drvmod.h"
#include "zwhost_args.h"
#include "zwhost_image.h"

#include <winspool.h>

#include <cstring>

namespace {

const size_t ZWHOST_MAX_INSPECTED = 64u
                                    << 20; // modules are far smaller; a header is enough past this

// The spooler's ANSI strings are in the system code page, as the library reads them.
bool IsAnsiLeadByte(unsigned char byte) {
    return IsDBCSLeadByteEx(CP_ACP, byte) != FALSE;
}

void Pass(ZwHostWalk *walk, const std::string &label, const std::string &result) {
    walk->steps.push_back({label, result, true});
}

void Stop(ZwHostWalk *walk, const std::string &label, const std::string &why) {
    walk->steps.push_back({label, "stops: " + why, false});
    walk->why = why;
}

std::string FolderOf(const std::string &path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool IsFile(const std::string &path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::vector<uint8_t> ReadHead(const std::string &path) {
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    const size_t want = static_cast<uint64_t>(size.QuadPart) < ZWHOST_MAX_INSPECTED
                            ? size_t(size.QuadPart)
                            : ZWHOST_MAX_INSPECTED;
    bytes.assign(want, 0);
    DWORD got = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(want), &got, nullptr)) {
        got = 0;
    }
    bytes.resize(got);
    CloseHandle(file);
    return bytes;
}

// The imports that neither lie beside the module nor in the system folder:
// with the library's flags the loader looks nowhere else.
std::string MissingImports(const ZwHostImage &image, const std::string &folder) {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    std::string missing;
    for (const std::string &name : image.imports) {
        // API sets are resolved by the loader, not found as files.
        if (_strnicmp(name.c_str(), "api-ms-", 7) == 0 ||
            _strnicmp(name.c_str(), "ext-ms-", 7) == 0) {
            continue;
        }
        if (!IsFile(folder + name) && !IsFile(std::string(system) + "\\" + name)) {
            missing += (missing.empty() ? "" : ", ") + name;
        }
    }
    return missing;
}

// Why LoadLibraryExA refused the file, from the file's own bytes and the error.
std::string LoadFailure(const std::string &path, DWORD error) {
    const std::string loader = " (" + ZwHost_SystemError(error) + ")";
    const std::vector<uint8_t> bytes = ReadHead(path);
    const ZwHostImage image = ZwHost_InspectImage(bytes.data(), bytes.size());
    if (!image.isImage) {
        return "not a loadable module: " + image.notImage + loader;
    }
    if (image.machine != ZWHOST_MACHINE_X64) {
        return "not a loadable module: it is built for " + ZwHost_MachineName(image.machine) +
               ", the library runs in x64 processes" + loader;
    }
    if (error == ERROR_MOD_NOT_FOUND) {
        const std::string missing = MissingImports(image, FolderOf(path));
        if (!missing.empty()) {
            return "not a loadable module: it imports " + missing +
                   ", which is neither beside it nor in the system folder (its imports are "
                   "never looked for in the host's folder, the current folder or PATH)" +
                   loader;
        }
        return "not a loadable module: a DLL that one of its imports needs is missing" + loader;
    }
    if (error == ERROR_DLL_INIT_FAILED) {
        return "not a loadable module: its initialisation failed (its DllMain returned FALSE)" +
               loader;
    }
    return "not a loadable module" + loader;
}

// Why DriverModule_ComposePath said no, by the library's own tests.
std::string PathRefusal(const char *driverPath) {
    if (driverPath == nullptr) {
        return "the driver record names no driver file (pDriverPath is null)";
    }
    const ModPathParts parts = ModPath_Split(driverPath, IsAnsiLeadByte);
    if (!ModPath_IsFullyQualified(&parts)) {
        return std::string("pDriverPath \"") + driverPath +
               "\" is not a full path (a drive and a root, or \\\\server\\share): refused, "
               "since the library loads ZEDWIC_U.DLL by a full path only; a bare or relative "
               "name would let the DLL search order pick one from the host's folder, the current "
               "folder or PATH";
    }
    const size_t length =
        parts.driveLength + parts.directoryLength + strlen(DRIVERMODULE_FILE_NAME);
    return "the path of " + std::string(DRIVERMODULE_FILE_NAME) + " in that folder would be " +
           std::to_string(length) + " characters; the library's limit is " +
           std::to_string(MODPATH_SIZE - 1);
}

void WalkModule(ZwHostWalk *walk, const char *exportName) {
    const std::string &path = walk->modulePath;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        Stop(walk, "module file",
             std::string("no ") + DRIVERMODULE_FILE_NAME + " there (" +
                 ZwHost_SystemError(GetLastError()) + ")");
        return;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        Stop(walk, "module file", std::string(DRIVERMODULE_FILE_NAME) + " there is a folder");
        return;
    }
    Pass(walk, "module file", "present");
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, DRIVERMODULE_LOAD_FLAGS);
    if (module == nullptr) {
        Stop(walk, "load the module", LoadFailure(path, GetLastError()));
        return;
    }
    walk->loaded = true;
    Pass(walk, "load the module", "loaded, its imports from its own folder and the system folder");
    std::string have, lack;
    for (int i = 0; i < 5; ++i) {
        walk->exports[i] = GetProcAddress(module, ZWHOST_SETTING_EXPORTS[i]) != nullptr;
        std::string &list = walk->exports[i] ? have : lack;
        list += (list.empty() ? "" : " ") + std::string(ZWHOST_SETTING_EXPORTS[i]);
    }
    if (exportName != nullptr) {
        if (GetProcAddress(module, exportName) == nullptr) {
            Stop(walk, exportName,
                 std::string("the module does not export ") + exportName + " (" +
                     ZwHost_SystemError(GetLastError()) + ")");
        } else {
            Pass(walk, exportName, "exported");
            walk->reached = true;
        }
    } else if (!lack.empty()) {
        Stop(walk, "exports",
             "the module lacks " + lack + (have.empty() ? "" : "; it has " + have));
    } else {
        Pass(walk, "exports", "all five: " + have);
        walk->reached = true;
    }
    FreeLibrary(module);
}

void WalkDriverRecord(ZwHostWalk *walk, HANDLE printer, const char *exportName) {
    DWORD needed = 0;
    GetPrinterDriverA(printer, nullptr, 2, nullptr, 0, &needed);
    if (needed == 0) {
        Stop(walk, "driver record",
             "the spooler has no driver record for the printer (" +
                 ZwHost_SystemError(GetLastError()) + ")");
        return;
    }
    std::vector<BYTE> block(needed < sizeof(DRIVER_INFO_2A) ? sizeof(DRIVER_INFO_2A) : needed, 0);
    if (!GetPrinterDriverA(printer, nullptr, 2, block.data(), needed, &needed)) {
        Stop(walk, "driver record",
             "the driver record cannot be fetched (" + ZwHost_SystemError(GetLastError()) + ")");
        return;
    }
    const char *driverPath = reinterpret_cast<const DRIVER_INFO_2A *>(block.data())->pDriverPath;
    walk->haveDriverPath = driverPath != nullptr;
    walk->driverPath = driverPath != nullptr ? driverPath : "";
    Pass(walk, "driver record",
         driverPath != nullptr ? "pDriverPath " + walk->driverPath : "no pDriverPath");
    char path[MODPATH_SIZE] = {};
    if (!DriverModule_ComposePath(driverPath, IsAnsiLeadByte, path)) {
        Stop(walk, "module path", PathRefusal(driverPath));
        return;
    }
    walk->modulePath = path;
    Pass(walk, "module path", walk->modulePath);
    WalkModule(walk, exportName);
}

} // namespace

std::string ZwHost_SystemError(DWORD error) {
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, sizeof text, nullptr);
    std::string message = "error " + std::to_string(error);
    std::string words = text;
    while (!words.empty() &&
           (words.back() == '\n' || words.back() == '\r' || words.back() == ' ')) {
        words.pop_back();
    }
    return words.empty() ? message : message + ": " + words;
}

ZwHostWalk ZwHost_Walk(const char *printerName, const char *exportName) {
    ZwHostWalk walk = {};
    if (printerName == nullptr) {
        Stop(&walk, "open the printer", "no printer name (the library gives 99 for a null name)");
        return walk;
    }
    // The spooler sees at most 259 characters of the name, as in the library.
    char name[MODPATH_SIZE] = {};
    for (size_t i = 0; i < sizeof name - 1 && printerName[i] != '\0'; ++i) {
        name[i] = printerName[i];
    }
    const bool cut = strlen(printerName) > sizeof name - 1;
    HANDLE printer = nullptr;
    if (!OpenPrinterA(name, &printer, nullptr)) {
        Stop(&walk, "open the printer",
             std::string("the spooler does not know the printer") +
                 (cut ? " (the library passes on only its first 259 characters)" : "") + " (" +
                 ZwHost_SystemError(GetLastError()) + ")");
        return walk;
    }
    Pass(&walk, "open the printer", cut ? "ok, by its first 259 characters" : "ok");
    WalkDriverRecord(&walk, printer, exportName);
    ClosePrinter(printer);
    return walk;
}
