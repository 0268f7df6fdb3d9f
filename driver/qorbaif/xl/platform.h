// The seam between the library and the platform: every heap, file, spooler,
// loader and last-error call of the library goes through one table, defined
// by the platform's own file (platform_win32.cpp, platform_posix.cpp) and
// reached only through these functions (platform.cpp). The library reads it
// through Platform(); only tests replace calls, through Platform_SetCalls,
// which also restores the platform's own.
#ifndef ZEDWIC_PLATFORM_H
#define ZEDWIC_PLATFORM_H

#include <cstddef>
#include <cstdint>

#include "ZEDWIC_W.h"

typedef intptr_t PlatformFile;
const PlatformFile PLATFORM_NO_FILE = -1;

struct PlatformPrinterTag;
struct PlatformModuleTag;
typedef PlatformPrinterTag *PlatformPrinter;
typedef PlatformModuleTag *PlatformModule;

// The shape of the driver-side module's five functions, calling convention
// included.
typedef VOLQUAD_Setting_Fn PlatformFunction;

// The spooler's level-2 driver record, field for field; only pDriverPath is read.
struct DriverRecord {
    uint32_t cVersion;
    char *pName;
    char *pEnvironment;
    char *pDriverPath;
    char *pDataFile;
    char *pConfigFile;
};

// Last-error codes, with the platform's values.
const uint32_t PLATFORM_ERROR_NOT_ENOUGH_MEMORY = 8;
const uint32_t PLATFORM_ERROR_INSUFFICIENT_BUFFER = 122;
const uint32_t PLATFORM_ERROR_MOD_NOT_FOUND = 126;
const uint32_t PLATFORM_ERROR_PROC_NOT_FOUND = 127;
const uint32_t PLATFORM_ERROR_UNKNOWN_PRINTER_DRIVER = 1797;
const uint32_t PLATFORM_ERROR_INVALID_PRINTER_NAME = 1801;

// Tells whether a byte starts a two-byte character in the system code page,
// whose second byte may look like a separator. Null for single-byte text.
typedef bool (*PlatformLeadByteTest)(unsigned char byte);

struct PlatformCalls {
    // Heap: zero-filled blocks, the one allocator of the library. A request
    // for 0 bytes still yields a block; Free takes null.
    void *(*AllocZero)(size_t size);
    void (*Free)(void *block);

    // Files. Open: read-only, shared with other readers, writers refused where
    // the platform can; the path is UTF-8 on Windows (bytes natively).
    PlatformFile (*FileOpen)(const char *path);
    // Low 32 bits of the size; false when the size cannot be had.
    bool (*FileSize)(PlatformFile file, uint32_t *size);
    // One read of at most count bytes at the current position.
    bool (*FileRead)(PlatformFile file, void *destination, uint32_t count, uint32_t *delivered);
    // Absolute move; offsets of 2 GiB and above fail, as a 32-bit signed distance does.
    bool (*FileSeek)(PlatformFile file, uint32_t offset);
    void (*FileClose)(PlatformFile file);

    // Spooler. Open: default access, no defaults; false when it does not know the name.
    bool (*PrinterOpen)(const char *name, PlatformPrinter *printer);
    // The byte count of the level-2 driver record (the caller's own
    // environment); 0 when there is none.
    uint32_t (*PrinterDriverSize)(PlatformPrinter printer);
    // The level-2 record into block, given as size bytes.
    bool (*PrinterDriverFetch)(PlatformPrinter printer, void *block, uint32_t size);
    void (*PrinterClose)(PlatformPrinter printer);
    // For the spooler's 8-bit strings; null where every character is one byte.
    PlatformLeadByteTest IsLeadByte;

    // Loader. By full path, the module's imports from its own folder and the
    // system's only.
    PlatformModule (*ModuleLoad)(const char *path);
    PlatformFunction (*ModuleFunction)(PlatformModule module, const char *name);
    void (*ModuleFree)(PlatformModule module);

    // The calling thread's last error, as the platform keeps it.
    uint32_t (*GetError)();
    void (*SetError)(uint32_t error);
};

// The calls in force.
const PlatformCalls *Platform();

// The platform's own calls, for a test to copy and change.
const PlatformCalls *Platform_Defaults();

// Puts calls in force (copied); null restores the platform's own. Tests only,
// and only while no file is open and no call is in flight.
void Platform_SetCalls(const PlatformCalls *calls);

// Windows: the full file name of the module instance as UTF-8 into out of
// size bytes (empty when the system gives none). False when it cannot be had
// whole: cut at 259 characters, not valid UTF-16, or longer than out.
bool Platform_ModuleFileName(void *instance, char *out, size_t size);

#endif
