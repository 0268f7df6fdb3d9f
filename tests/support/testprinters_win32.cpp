#include "testprinters.h"

#include "tempfile.h"

#include <windows.h>
#include <winspool.h>

#include <vector>

namespace {

// The spooler's environment of this process's architecture, where its
// drivers are registered.
#if defined(_M_ARM64)
#define ZWT_ENVIRONMENT "Windows ARM64"
#elif defined(_WIN64)
#define ZWT_ENVIRONMENT "Windows x64"
#else
#define ZWT_ENVIRONMENT "Windows NT x86"
#endif
const char kDriversKey[] =
    "System\\CurrentControlSet\\Control\\Print\\Environments\\" ZWT_ENVIRONMENT
    "\\Drivers\\Version-3\\";

std::string Failed(const char *what) {
    return std::string(what) + " failed, error " + std::to_string(GetLastError());
}

bool RegisterDriver(const std::string &driverName, std::string *error) {
    const std::string scratch = TempDir_Create(" zw driver");
    const std::string tag = "ZWT" + std::to_string(GetCurrentProcessId());
    std::vector<std::string> files;
    for (const char *extension : {".DLL", ".DAT", ".CFG"}) {
        files.push_back(Path_Join(scratch, tag + extension));
        File_Write(files.back(), {'z', 'w'});
    }
    DRIVER_INFO_3A info = {};
    info.cVersion = 3;
    info.pName = const_cast<char *>(driverName.c_str());
    info.pDriverPath = const_cast<char *>(files[0].c_str());
    info.pDataFile = const_cast<char *>(files[1].c_str());
    info.pConfigFile = const_cast<char *>(files[2].c_str());
    const bool ok = AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE *>(&info)) != FALSE;
    if (!ok) {
        *error = Failed("AddPrinterDriverA");
    }
    TempDir_Remove(scratch);
    return ok;
}

bool AddTestPrinter(const std::string &printerName, const std::string &driverName,
                    std::string *error) {
    PRINTER_INFO_2A info = {};
    info.pPrinterName = const_cast<char *>(printerName.c_str());
    info.pPortName = const_cast<char *>("FILE:");
    info.pDriverName = const_cast<char *>(driverName.c_str());
    info.pPrintProcessor = const_cast<char *>("WinPrint");
    info.pDatatype = const_cast<char *>("RAW");
    HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE *>(&info));
    if (printer == nullptr) {
        if (GetLastError() == ERROR_PRINTER_ALREADY_EXISTS) {
            return true;
        }
        *error = Failed("AddPrinterA");
        return false;
    }
    ClosePrinter(printer);
    return true;
}

bool SetDriverFile(const std::string &driverName, const std::string &driverFilePath,
                   std::string *error) {
    HKEY key = nullptr;
    const std::string keyName = kDriversKey + driverName;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS) {
        *error = "cannot open " + keyName;
        return false;
    }
    const LONG status = RegSetValueExA(key, "Driver", 0, REG_SZ,
                                       reinterpret_cast<const BYTE *>(driverFilePath.c_str()),
                                       static_cast<DWORD>(driverFilePath.size() + 1));
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        *error = "cannot set the driver file of " + driverName;
        return false;
    }
    return true;
}

} // namespace

bool TestPrinter_Install(const std::string &printerName, const std::string &driverName,
                         const std::string &driverFilePath, std::string *error) {
    return RegisterDriver(driverName, error) && AddTestPrinter(printerName, driverName, error) &&
           SetDriverFile(driverName, driverFilePath, error);
}

bool TestPrinter_DropDriverRecord(const std::string &driverName) {
    return RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kDriversKey + driverName).c_str()) == ERROR_SUCCESS;
}

void TestPrinter_Remove(const std::string &printerName, const std::string &driverName) {
    PRINTER_DEFAULTSA access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    if (OpenPrinterA(const_cast<char *>(printerName.c_str()), &printer, &access)) {
        DeletePrinter(printer);
        ClosePrinter(printer);
    }
    DeletePrinterDriverA(nullptr, nullptr, const_cast<char *>(driverName.c_str()));
}
