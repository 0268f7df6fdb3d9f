// The platform's calls on Windows: the global heap, the UTF-16 file API (paths
// arrive as UTF-8, converted here and nowhere else in the library), the print
// spooler, the loader and the thread's last error.
#include "platform.h"

#include <windows.h>
#include <winspool.h>

#include <cstddef>

static_assert(sizeof(DriverRecord) == sizeof(DRIVER_INFO_2A) &&
                  offsetof(DriverRecord, pDriverPath) == offsetof(DRIVER_INFO_2A, pDriverPath),
              "DriverRecord mirrors DRIVER_INFO_2A");
static_assert(PLATFORM_ERROR_NOT_ENOUGH_MEMORY == ERROR_NOT_ENOUGH_MEMORY &&
                  PLATFORM_ERROR_INSUFFICIENT_BUFFER == ERROR_INSUFFICIENT_BUFFER &&
                  PLATFORM_ERROR_MOD_NOT_FOUND == ERROR_MOD_NOT_FOUND &&
                  PLATFORM_ERROR_PROC_NOT_FOUND == ERROR_PROC_NOT_FOUND &&
                  PLATFORM_ERROR_UNKNOWN_PRINTER_DRIVER == ERROR_UNKNOWN_PRINTER_DRIVER &&
                  PLATFORM_ERROR_INVALID_PRINTER_NAME == ERROR_INVALID_PRINTER_NAME,
              "the platform's error codes");

namespace {

// Windows counts a path's characters in UTF-16 units: at most 259 and the NUL.
const int PLATFORM_PATH_UNITS = MAX_PATH;

void *Win32AllocZero(size_t size) {
    // GPTR is fixed and zero-initialised: the handle is the pointer.
    return GlobalAlloc(GPTR, size != 0 ? size : 1);
}

void Win32Free(void *block) {
    if (block != nullptr) {
        GlobalFree(block);
    }
}

PlatformFile Win32FileOpen(const char *path) {
    // A path longer than Windows takes, or not valid UTF-8, names no file.
    wchar_t wide[PLATFORM_PATH_UNITS];
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide, PLATFORM_PATH_UNITS) ==
        0) {
        return PLATFORM_NO_FILE;
    }
    HANDLE h = CreateFileW(wide, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return PLATFORM_NO_FILE;
    }
    return reinterpret_cast<PlatformFile>(h);
}

bool Win32FileSize(PlatformFile file, uint32_t *size) {
    DWORD low = GetFileSize(reinterpret_cast<HANDLE>(file), nullptr);
    if (low == INVALID_FILE_SIZE) {
        return false;
    }
    *size = low;
    return true;
}

bool Win32FileRead(PlatformFile file, void *destination, uint32_t count, uint32_t *delivered) {
    DWORD got = 0;
    BOOL ok = ReadFile(reinterpret_cast<HANDLE>(file), destination, count, &got, nullptr);
    *delivered = ok ? got : 0;
    return ok != FALSE;
}

bool Win32FileSeek(PlatformFile file, uint32_t offset) {
    // No high part: offsets of 2 GiB and above are negative distances and fail.
    DWORD pos = SetFilePointer(reinterpret_cast<HANDLE>(file), static_cast<LONG>(offset), nullptr,
                               FILE_BEGIN);
    return pos != INVALID_SET_FILE_POINTER;
}

void Win32FileClose(PlatformFile file) {
    CloseHandle(reinterpret_cast<HANDLE>(file));
}

bool Win32PrinterOpen(const char *name, PlatformPrinter *printer) {
    HANDLE handle = nullptr;
    if (!OpenPrinterA(const_cast<char *>(name), &handle, nullptr)) {
        return false;
    }
    *printer = static_cast<PlatformPrinter>(handle);
    return true;
}

uint32_t Win32PrinterDriverSize(PlatformPrinter printer) {
    DWORD needed = 0;
    GetPrinterDriverA(static_cast<HANDLE>(printer), nullptr, 2, nullptr, 0, &needed);
    return needed;
}

bool Win32PrinterDriverFetch(PlatformPrinter printer, void *block, uint32_t size) {
    DWORD needed = size;
    return GetPrinterDriverA(static_cast<HANDLE>(printer), nullptr, 2, static_cast<BYTE *>(block),
                             size, &needed) != FALSE;
}

void Win32PrinterClose(PlatformPrinter printer) {
    ClosePrinter(static_cast<HANDLE>(printer));
}

// The spooler's ANSI strings are in the system code page.
bool Win32IsLeadByte(unsigned char byte) {
    return IsDBCSLeadByteEx(CP_ACP, byte) != FALSE;
}

PlatformModule Win32ModuleLoad(const char *path) {
    // Its imports from its own folder and the system folder, never from the
    // host's folder, the current folder or PATH.
    return reinterpret_cast<PlatformModule>(LoadLibraryExA(
        path, nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32));
}

PlatformFunction Win32ModuleFunction(PlatformModule module, const char *name) {
    FARPROC proc = GetProcAddress(reinterpret_cast<HMODULE>(module), name);
    return reinterpret_cast<PlatformFunction>(reinterpret_cast<void *>(proc));
}

void Win32ModuleFree(PlatformModule module) {
    FreeLibrary(reinterpret_cast<HMODULE>(module));
}

uint32_t Win32GetError() {
    return GetLastError();
}

void Win32SetError(uint32_t error) {
    SetLastError(error);
}

} // namespace

extern const PlatformCalls PLATFORM_DEFAULTS = {
    Win32AllocZero,          Win32Free,           Win32FileOpen,
    Win32FileSize,           Win32FileRead,       Win32FileSeek,
    Win32FileClose,          Win32PrinterOpen,    Win32PrinterDriverSize,
    Win32PrinterDriverFetch, Win32PrinterClose,   Win32IsLeadByte,
    Win32ModuleLoad,         Win32ModuleFunction, Win32ModuleFree,
    Win32GetError,           Win32SetError,
};

bool Platform_ModuleFileName(void *instance, char *out, size_t size) {
    out[0] = '\0';
    // The UTF-16 name names the folder whatever its characters; the 8-bit one
    // holds '?' for those outside the ANSI code page.
    wchar_t wide[PLATFORM_PATH_UNITS] = {};
    const DWORD length =
        GetModuleFileNameW(static_cast<HMODULE>(instance), wide, PLATFORM_PATH_UNITS);
    if (length == 0) {
        return true;
    }
    // A name that fills the whole buffer was cut.
    if (length >= static_cast<DWORD>(PLATFORM_PATH_UNITS)) {
        return false;
    }
    if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, -1, out, static_cast<int>(size),
                            nullptr, nullptr) == 0) {
        out[0] = '\0';
        return false;
    }
    return true;
}
