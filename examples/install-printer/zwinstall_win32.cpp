// Installs a printer whose driver package carries a ZEDWIC_U.DLL, the way a
// driver package's installer does:
//   zwinstall PRINTER DRIVER_NAME DRIVER_FILE ZEDWIC_U_DLL
// The driver file and ZEDWIC_U.DLL are copied into the spooler's driver folder.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <string>

namespace {

std::string FileName(const std::string &path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FullPath(const char *path) {
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(path, MAX_PATH, full, nullptr);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(full);
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: zwinstall PRINTER DRIVER_NAME DRIVER_FILE ZEDWIC_U_DLL\n");
        return 2;
    }
    const std::string printerName = argv[1], driverName = argv[2];
    const std::string driverFile = FullPath(argv[3]), moduleFile = FullPath(argv[4]);
    if (driverFile.empty() || moduleFile.empty()) {
        fprintf(stderr, "zwinstall: bad file path\n");
        return 2;
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
    // Not every spooler copies dependent files: make sure ZEDWIC_U.DLL lies
    // beside the installed driver file.
    char folder[MAX_PATH] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE *>(folder),
                                    sizeof folder, &needed)) {
        fprintf(stderr, "zwinstall: no printer driver folder (error %lu)\n", GetLastError());
        return 1;
    }
    const std::string installed = std::string(folder) + "\\3\\" + FileName(moduleFile);
    if (GetFileAttributesA(installed.c_str()) == INVALID_FILE_ATTRIBUTES &&
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
