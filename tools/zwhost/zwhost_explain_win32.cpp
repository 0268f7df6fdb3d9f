#include "zwhost_explain.h"

#include "pefile.h"
#include "wtext.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {

// The machine this process runs as: a module of another one does not load.
#ifdef _WIN64
const uint16_t kOwnMachine = PEFILE_MACHINE_X64;
#else
const uint16_t kOwnMachine = PEFILE_MACHINE_X86;
#endif

const DWORD ZWHOST_MAX_INSPECTED = 64u << 20; // modules are far smaller; the headers suffice

std::string FolderOf(const std::string &path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// GetFileAttributesW: INVALID_FILE_ATTRIBUTES when there is nothing of that name.
DWORD AttributesOf(const std::string &path) {
    return GetFileAttributesW(WText_Wide(path).c_str());
}

bool IsFile(const std::string &path) {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::vector<uint8_t> ReadHead(const std::string &path) {
    std::vector<uint8_t> bytes;
    HANDLE file =
        CreateFileW(WText_Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    const DWORD want = size.QuadPart < ZWHOST_MAX_INSPECTED ? static_cast<DWORD>(size.QuadPart)
                                                            : ZWHOST_MAX_INSPECTED;
    bytes.assign(want, 0);
    DWORD got = 0;
    if (want == 0 || !ReadFile(file, bytes.data(), want, &got, nullptr)) {
        got = 0;
    }
    bytes.resize(got);
    CloseHandle(file);
    return bytes;
}

// The imports that lie neither beside the module nor in the system folder:
// the library's load looks nowhere else.
std::string MissingImports(const PeFile &pe, const std::string &folder) {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::string systemFolder = WText_Utf8(system) + "\\";
    std::string missing;
    for (const std::string &name : pe.imports) {
        // API sets are resolved by the loader, not found as files.
        if (_strnicmp(name.c_str(), "api-ms-", 7) == 0 ||
            _strnicmp(name.c_str(), "ext-ms-", 7) == 0) {
            continue;
        }
        if (!IsFile(folder + name) && !IsFile(systemFolder + name)) {
            missing += (missing.empty() ? "" : ", ") + name;
        }
    }
    return missing;
}

// Why the name alone is refused, by the library's own path rule.
std::string PathRefusal(const DriverModuleReport &report) {
    switch (report.pathProblem) {
    case DRIVERMODULE_PATH_NONE:
        return "the driver record names no driver file (pDriverPath is null): nothing is loaded";
    case DRIVERMODULE_PATH_NOT_QUALIFIED:
        return "pDriverPath \"" + WText_AnsiToUtf8(report.driverPath) +
               "\" is not a full path (a drive and a root, or \\\\server\\share): nothing is "
               "loaded, since a bare or relative name would let the DLL search order pick a "
               "ZEDWIC_U.DLL from the host's folder, the current folder or PATH";
    case DRIVERMODULE_PATH_TOO_DEEP:
    default: {
        const ModPathParts parts = ModPath_Split(report.driverPath, Platform()->IsLeadByte);
        const size_t length =
            parts.driveLength + parts.directoryLength + strlen(DRIVERMODULE_FILE_NAME);
        return "the path of " + std::string(DRIVERMODULE_FILE_NAME) + " in that folder would be " +
               std::to_string(length) + " characters; the library's limit is " +
               std::to_string(MODPATH_SIZE - 1) + ": nothing is loaded";
    }
    }
}

} // namespace

std::string ZwHost_SystemError(uint32_t error) {
    wchar_t text[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, sizeof text / sizeof text[0], nullptr);
    std::string words = WText_Utf8(text);
    while (!words.empty() &&
           (words.back() == '\n' || words.back() == '\r' || words.back() == ' ')) {
        words.pop_back();
    }
    return std::to_string(error) + " (" + (words.empty() ? "no system text" : words) + ")";
}

const char *ZwHost_StepLabel(DriverModuleStep step) {
    switch (step) {
    case DRIVERMODULE_STEP_PRINTER:
        return "open the printer";
    case DRIVERMODULE_STEP_RECORD_SIZE:
        return "driver record size";
    case DRIVERMODULE_STEP_RECORD_BLOCK:
        return "record block";
    case DRIVERMODULE_STEP_RECORD_FETCH:
        return "driver record";
    case DRIVERMODULE_STEP_MODULE_PATH:
        return "module path";
    case DRIVERMODULE_STEP_MODULE_LOAD:
        return "load the module";
    case DRIVERMODULE_STEP_FUNCTION:
        return "the function";
    case DRIVERMODULE_STEP_REACHED:
    default:
        return "reached";
    }
}

std::string ZwHost_StepFound(const DriverModuleReport &report, DriverModuleStep step) {
    switch (step) {
    case DRIVERMODULE_STEP_PRINTER:
        return report.nameCut ? "ok, by the first 259 characters of its name" : "ok";
    case DRIVERMODULE_STEP_RECORD_FETCH:
        return "pDriverPath " + WText_AnsiToUtf8(report.driverPath);
    case DRIVERMODULE_STEP_MODULE_PATH:
        return WText_AnsiToUtf8(report.modulePath);
    case DRIVERMODULE_STEP_MODULE_LOAD:
        return "loaded in zwhost's process (its DllMain ran here)";
    case DRIVERMODULE_STEP_FUNCTION:
        return "exported";
    default:
        return "ok";
    }
}

std::string ZwHost_StopReason(const DriverModuleReport &report, const char *exportName) {
    switch (report.step) {
    case DRIVERMODULE_STEP_PRINTER:
        return std::string("the spooler does not open the printer") +
               (report.nameCut ? " (it is given only the first 259 characters of the name)" : "");
    case DRIVERMODULE_STEP_RECORD_SIZE:
        return "the spooler has no driver record for the printer";
    case DRIVERMODULE_STEP_RECORD_BLOCK:
        return "no memory for the driver record";
    case DRIVERMODULE_STEP_RECORD_FETCH:
        return "the spooler does not give the driver record";
    case DRIVERMODULE_STEP_MODULE_PATH:
        return PathRefusal(report);
    case DRIVERMODULE_STEP_MODULE_LOAD:
        return ZwHost_WhyNotLoaded(WText_AnsiToUtf8(report.modulePath), report.error);
    case DRIVERMODULE_STEP_FUNCTION:
        return std::string("the module does not export ") +
               (exportName != nullptr ? exportName : "the function");
    default:
        return "it did not stop";
    }
}

std::string ZwHost_WhyNotLoaded(const std::string &path, uint32_t error) {
    const DWORD attributes = AttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (error == ERROR_INVALID_PARAMETER || error == ERROR_BAD_NETPATH ||
            error == ERROR_BAD_NET_NAME) {
            return "the loader refuses the path itself: no server or share is reached by it";
        }
        return "there is no file " + path;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return path + " is a folder";
    }
    const std::vector<uint8_t> bytes = ReadHead(path);
    const PeFile pe = PeFile_Read(bytes.data(), bytes.size());
    if (!pe.isImage) {
        return "not a valid Windows program: " + pe.notImage;
    }
    if (pe.machine != kOwnMachine) {
        return "not a valid Windows program for this architecture: it is built for " +
               PeFile_MachineName(pe.machine) + ", the process is " +
               PeFile_MachineName(kOwnMachine);
    }
    if (error == ERROR_MOD_NOT_FOUND) {
        const std::string missing = MissingImports(pe, FolderOf(path));
        if (!missing.empty()) {
            return "it imports " + missing +
                   ", which is neither beside it nor in the system folder (a module's imports "
                   "are never looked for in the host's folder, the current folder or PATH)";
        }
        return "a DLL that it or one of its imports needs is missing";
    }
    if (error == ERROR_DLL_INIT_FAILED) {
        return "its initialisation failed (its DllMain returned FALSE)";
    }
    if (error == ERROR_BAD_EXE_FORMAT) {
        return "not a valid Windows program for this architecture";
    }
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
        return "the file cannot be read";
    }
    return "the loader refuses it";
}
