// The spooler query behind DriverModule_Load. Everything acquired here is
// released before it returns, whatever fails.
#include "drvmod.h"

#include <winspool.h>

namespace {

// The spooler's ANSI strings are in the system code page.
bool IsAnsiLeadByte(unsigned char byte) {
    return IsDBCSLeadByteEx(CP_ACP, byte) != FALSE;
}

HMODULE LoadBesideDriver(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterDriverA(printer, nullptr, 2, nullptr, 0, &needed);
    if (needed == 0) {
        return nullptr;
    }
    // Never smaller than the record itself: a short answer leaves zero fields,
    // not fields read past the block.
    const SIZE_T size = needed < sizeof(DRIVER_INFO_2A) ? sizeof(DRIVER_INFO_2A) : needed;
    BYTE *block = static_cast<BYTE *>(GlobalAlloc(GPTR, size));
    if (block == nullptr) {
        return nullptr;
    }
    HMODULE module = nullptr;
    if (GetPrinterDriverA(printer, nullptr, 2, block, needed, &needed)) {
        const DRIVER_INFO_2A *info = reinterpret_cast<const DRIVER_INFO_2A *>(block);
        char path[MODPATH_SIZE] = {};
        if (DriverModule_ComposePath(info->pDriverPath, IsAnsiLeadByte, path)) {
            module = LoadLibraryExA(path, nullptr, DRIVERMODULE_LOAD_FLAGS);
        }
    }
    GlobalFree(block);
    return module;
}

} // namespace

HMODULE DriverModule_Load(const char *printerName) {
    if (printerName == nullptr) {
        return nullptr;
    }
    // The spooler sees at most 259 characters of the name.
    char name[MODPATH_SIZE] = {};
    for (size_t i = 0; i < sizeof name - 1 && printerName[i] != '\0'; ++i) {
        name[i] = printerName[i];
    }
    HANDLE printer = nullptr;
    if (!OpenPrinterA(name, &printer, nullptr)) {
        return nullptr;
    }
    HMODULE module = LoadBesideDriver(printer);
    ClosePrinter(printer);
    return module;
}
