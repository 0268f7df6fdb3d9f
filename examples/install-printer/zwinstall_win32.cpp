// Installs a printer whose driver package carries a ZEDWIC_U.DLL, the way a
// driver package's installer does, so that a package engineer can try the
// module with ZEDWIC_W.dll (zwhost call, zwhost explain); kDetails says how.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char kSynopsis[] = "usage: zwinstall PRINTER DRIVER_NAME DRIVER_FILE ZEDWIC_U_DLL\n"
                         "       zwinstall -h | --help\n";

const char kDetails[] =
    "\n"
    "Installs a printer as a driver package's installer does, to try a driver-side\n"
    "module with ZEDWIC_W.dll: registers the printer driver DRIVER_NAME (version 3)\n"
    "with DRIVER_FILE as its driver, data and configuration file, puts ZEDWIC_U_DLL\n"
    "beside the installed driver file (replacing one already there), and adds the\n"
    "printer PRINTER on the port FILE: with that driver. A printer of that name that\n"
    "exists already is kept as it is.\n"
    "\n"
    "  PRINTER       name of the print queue to add, as hosts will pass it\n"
    "  DRIVER_NAME   name to register the driver under\n"
    "  DRIVER_FILE   the driver's own file: any DLL will do for a trial (the\n"
    "                package's share/zedwic/examples/driver-module/ZWDEMO.DLL)\n"
    "  ZEDWIC_U_DLL  the driver-side module, named ZEDWIC_U.DLL (ZEDWIC_W.dll looks\n"
    "                for no other name; the package's sample is in the same folder)\n"
    "\n"
    "The spooler keeps the files of every version-3 driver of this machine in one\n"
    "folder (printer driver folder\\3), so all of them share the ZEDWIC_U.DLL\n"
    "installed last. Installing drivers needs administrator rights on Windows.\n"
    "\n"
    "DRIVER_FILE and ZEDWIC_U_DLL must both exist and have different names; else\n"
    "zwinstall says so and leaves the spooler untouched.\n"
    "\n"
    "Exit status: 0 installed, 1 the spooler or a file copy failed (the system\n"
    "error is printed), 2 bad arguments.\n"
    "\n"
    "Example, in the package's root folder:\n"
    "  tools\\zwinstall \"ZEDWIC Test Printer\" \"ZEDWIC Test Driver\" ^\n"
    "    share\\zedwic\\examples\\driver-module\\ZWDEMO.DLL ^\n"
    "    share\\zedwic\\examples\\driver-module\\ZEDWIC_U.DLL\n";

std::string FileName(const std::string &path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Why FILE cannot be installed, or empty when it is a file that can be read.
std::string Unusable(const std::string &path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? "no such file"
                   : "cannot be read (error " + std::to_string(error) + ")";
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? "it is a folder" : std::string();
}

std::string FullPath(const char *path) {
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(path, MAX_PATH, full, nullptr);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(full);
}

} // namespace

int main(int argc, char **argv) {
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "-h") == 0 || strcmp(argv[i], "--help") == 0) {
            fputs(kSynopsis, stdout);
            fputs(kDetails, stdout);
            return 0;
        }
    }
    if (argc != 5) {
        fprintf(stderr, "zwinstall: expected 4 arguments, got %d\n%sTry 'zwinstall --help'.\n",
                argc - 1, kSynopsis);
        return 2;
    }
    const std::string printerName = argv[1], driverName = argv[2];
    const std::string driverFile = FullPath(argv[3]), moduleFile = FullPath(argv[4]);
    if (driverFile.empty() || moduleFile.empty()) {
        fprintf(stderr, "zwinstall: bad file path\n");
        return 2;
    }
    // Checked before the spooler is asked anything: a driver registered with a
    // missing file, or with the module in its place, stays behind for good.
    const std::string driverProblem = Unusable(driverFile);
    if (!driverProblem.empty()) {
        fprintf(stderr, "zwinstall: DRIVER_FILE %s: %s\n", driverFile.c_str(),
                driverProblem.c_str());
        return 2;
    }
    const std::string moduleProblem = Unusable(moduleFile);
    if (!moduleProblem.empty()) {
        fprintf(stderr, "zwinstall: ZEDWIC_U_DLL %s: %s\n", moduleFile.c_str(),
                moduleProblem.c_str());
        return 2;
    }
    // Both end up in the one driver folder under their own names, so the same
    // name would make the module the printer's driver file.
    if (_stricmp(FileName(driverFile).c_str(), FileName(moduleFile).c_str()) == 0) {
        fprintf(stderr,
                "zwinstall: DRIVER_FILE and ZEDWIC_U_DLL are both named %s: the driver file "
                "must be a file of its own, apart from the module (for a trial, the package's "
                "share/zedwic/examples/driver-module/ZWDEMO.DLL)\n",
                FileName(moduleFile).c_str());
        return 2;
    }
    if (_stricmp(FileName(moduleFile).c_str(), "ZEDWIC_U.DLL") != 0) {
        fprintf(stderr,
                "zwinstall: warning: %s is not named ZEDWIC_U.DLL: ZEDWIC_W.dll will not find it\n",
                moduleFile.c_str());
    }
    // The dependent files list is a double-NUL-terminated list.
    std::string dependents = moduleFile + '\0' + '\0';
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = const_cast<char *>(driverName.c_str());
    driver.pDriverPath = const_cast<char *>(driverFile.c_str());
    driver.pDataFile = const_cast<char *>(driverFile.c_str());
    driver.pConfigFile = const_cast<char *>(driverFile.c_str());
    driver.pDependentFiles = &dependents[0];
    if (!AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE *>(&driver))) {
        fprintf(stderr, "zwinstall: AddPrinterDriver failed (error %lu)\n", GetLastError());
        return 1;
    }
    // Not every spooler copies dependent files (Wine's does not): put
    // ZEDWIC_U.DLL beside the installed driver file, over an older one.
    char folder[MAX_PATH] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE *>(folder),
                                    sizeof folder, &needed)) {
        fprintf(stderr, "zwinstall: no printer driver folder (error %lu)\n", GetLastError());
        return 1;
    }
    const std::string installed = std::string(folder) + "\\3\\" + FileName(moduleFile);
    if (_stricmp(moduleFile.c_str(), installed.c_str()) != 0 &&
        !CopyFileA(moduleFile.c_str(), installed.c_str(), FALSE)) {
        fprintf(stderr, "zwinstall: cannot copy %s (error %lu)\n", moduleFile.c_str(),
                GetLastError());
        return 1;
    }

    PRINTER_INFO_2A printer = {};
    printer.pPrinterName = const_cast<char *>(printerName.c_str());
    printer.pPortName = const_cast<char *>("FILE:");
    printer.pDriverName = const_cast<char *>(driverName.c_str());
    printer.pPrintProcessor = const_cast<char *>("WinPrint");
    printer.pDatatype = const_cast<char *>("RAW");
    HANDLE handle = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE *>(&printer));
    if (handle == nullptr && GetLastError() != ERROR_PRINTER_ALREADY_EXISTS) {
        fprintf(stderr, "zwinstall: AddPrinter failed (error %lu)\n", GetLastError());
        return 1;
    }
    if (handle != nullptr) {
        ClosePrinter(handle);
    }
    printf("installed printer \"%s\" with driver \"%s\"\n", printerName.c_str(),
           driverName.c_str());
    return 0;
}
