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

// Names and paths arrive as UTF-8 and go to the wide API, so that tests can
// install printers and driver folders outside the ANSI code page.
std::wstring Wide(const std::string &utf8) {
    const int size = static_cast<int>(utf8.size());
    const int count = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(count > 0 ? count : 0), L'\0');
    if (count > 0) {
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, &wide[0], count);
    }
    return wide;
}

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
    std::wstring name = Wide(driverName), driver = Wide(files[0]), data = Wide(files[1]),
                 config = Wide(files[2]);
    DRIVER_INFO_3W info = {};
    info.cVersion = 3;
    info.pName = &name[0];
    info.pDriverPath = &driver[0];
    info.pDataFile = &data[0];
    info.pConfigFile = &config[0];
    const bool ok = AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE *>(&info)) != FALSE;
    if (!ok) {
        *error = Failed("AddPrinterDriverW");
    }
    TempDir_Remove(scratch);
    return ok;
}

bool AddTestPrinter(const std::string &printerName, const std::string &driverName,
                    std::string *error) {
    std::wstring name = Wide(printerName), driver = Wide(driverName);
    PRINTER_INFO_2W info = {};
    info.pPrinterName = &name[0];
    info.pPortName = const_cast<wchar_t *>(L"FILE:");
    info.pDriverName = &driver[0];
    info.pPrintProcessor = const_cast<wchar_t *>(L"WinPrint");
    info.pDatatype = const_cast<wchar_t *>(L"RAW");
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE *>(&info));
    if (printer == nullptr) {
        if (GetLastError() == ERROR_PRINTER_ALREADY_EXISTS) {
            return true;
        }
        *error = Failed("AddPrinterW");
        return false;
    }
    ClosePrinter(printer);
    return true;
}

bool SetDriverFile(const std::string &driverName, const std::string &driverFilePath,
                   std::string *error) {
    HKEY key = nullptr;
    const std::string keyName = kDriversKey + driverName;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(keyName).c_str(), 0, KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS) {
        *error = "cannot open " + keyName;
        return false;
    }
    const std::wstring path = Wide(driverFilePath);
    const LONG status =
        RegSetValueExW(key, L"Driver", 0, REG_SZ, reinterpret_cast<const BYTE *>(path.c_str()),
                       static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
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
    return RegDeleteKeyW(HKEY_LOCAL_MACHINE, Wide(kDriversKey + driverName).c_str()) ==
           ERROR_SUCCESS;
}

void TestPrinter_Remove(const std::string &printerName, const std::string &driverName) {
    PRINTER_DEFAULTSW access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    std::wstring name = Wide(printerName), driver = Wide(driverName);
    if (OpenPrinterW(&name[0], &printer, &access)) {
        DeletePrinter(printer);
        ClosePrinter(printer);
    }
    DeletePrinterDriverW(nullptr, nullptr, &driver[0]);
}
