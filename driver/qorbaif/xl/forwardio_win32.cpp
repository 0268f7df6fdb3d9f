// Win32 backend of the forwarding seam: the print spooler, the loader, the
// global heap and the thread's last error.
#include "drvmod.h"
#include "forwardio.h"

#include <windows.h>
#include <winspool.h>

#include <cstddef>

static_assert(sizeof(DriverRecord) == sizeof(DRIVER_INFO_2A) &&
                  offsetof(DriverRecord, pDriverPath) == offsetof(DRIVER_INFO_2A, pDriverPath),
              "DriverRecord mirrors DRIVER_INFO_2A");
static_assert(FORWARDIO_ERROR_NOT_ENOUGH_MEMORY == ERROR_NOT_ENOUGH_MEMORY &&
                  FORWARDIO_ERROR_INSUFFICIENT_BUFFER == ERROR_INSUFFICIENT_BUFFER &&
                  FORWARDIO_ERROR_MOD_NOT_FOUND == ERROR_MOD_NOT_FOUND &&
                  FORWARDIO_ERROR_PROC_NOT_FOUND == ERROR_PROC_NOT_FOUND &&
                  FORWARDIO_ERROR_UNKNOWN_PRINTER_DRIVER == ERROR_UNKNOWN_PRINTER_DRIVER &&
                  FORWARDIO_ERROR_INVALID_PRINTER_NAME == ERROR_INVALID_PRINTER_NAME,
              "the platform's error codes");

namespace {

bool Win32OpenPrinter(const char *name, ForwardIo_Printer *printer) {
    HANDLE handle = nullptr;
    if (!OpenPrinterA(const_cast<char *>(name), &handle, nullptr)) {
        return false;
    }
    *printer = static_cast<ForwardIo_Printer>(handle);
    return true;
}

uint32_t Win32DriverRecordSize(ForwardIo_Printer printer) {
    DWORD needed = 0;
    GetPrinterDriverA(static_cast<HANDLE>(printer), nullptr, 2, nullptr, 0, &needed);
    return needed;
}

bool Win32FetchDriverRecord(ForwardIo_Printer printer, void *block, uint32_t size) {
    DWORD needed = size;
    return GetPrinterDriverA(static_cast<HANDLE>(printer), nullptr, 2, static_cast<BYTE *>(block),
                             size, &needed) != FALSE;
}

void Win32ClosePrinter(ForwardIo_Printer printer) {
    ClosePrinter(static_cast<HANDLE>(printer));
}

void *Win32AllocZero(size_t size) {
    // GPTR is fixed and zero-initialised: the handle is the pointer.
    return GlobalAlloc(GPTR, size);
}

void Win32Free(void *block) {
    GlobalFree(block);
}

// The spooler's ANSI strings are in the system code page.
bool Win32IsLeadByte(unsigned char byte) {
    return IsDBCSLeadByteEx(CP_ACP, byte) != FALSE;
}

ForwardIo_Module Win32LoadModule(const char *path) {
    return reinterpret_cast<ForwardIo_Module>(
        LoadLibraryExA(path, nullptr, DRIVERMODULE_LOAD_FLAGS));
}

ForwardIo_Function Win32FindFunction(ForwardIo_Module module, const char *name) {
    FARPROC proc = GetProcAddress(reinterpret_cast<HMODULE>(module), name);
    return reinterpret_cast<ForwardIo_Function>(reinterpret_cast<void *>(proc));
}

void Win32FreeModule(ForwardIo_Module module) {
    FreeLibrary(reinterpret_cast<HMODULE>(module));
}

uint32_t Win32LastError() {
    return GetLastError();
}

void Win32SetLastError(uint32_t error) {
    SetLastError(error);
}

} // namespace

ForwardIo g_forwardIo = {Win32OpenPrinter,  Win32DriverRecordSize, Win32FetchDriverRecord,
                         Win32ClosePrinter, Win32AllocZero,        Win32Free,
                         Win32IsLeadByte,   Win32LoadModule,       Win32FindFunction,
                         Win32FreeModule,   Win32LastError,        Win32SetLastError};
