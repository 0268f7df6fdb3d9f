// The seam between forwarding and the platform: every spooler, loader, heap
// and last-error call of DriverModule_Load and Forward_Call goes through this
// one table, so tests can make any of them fail and count what is held.
// Message lookups never pass through it.
#ifndef ZEDWIC_FORWARDIO_H
#define ZEDWIC_FORWARDIO_H

#include "modpath.h"

#include <cstddef>
#include <cstdint>

struct ForwardIo_PrinterTag;
struct ForwardIo_ModuleTag;
typedef ForwardIo_PrinterTag *ForwardIo_Printer;
typedef ForwardIo_ModuleTag *ForwardIo_Module;

// The shape of the driver-side module's five functions.
typedef int32_t (*ForwardIo_Function)(const char *printerName, intptr_t value);

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
const uint32_t FORWARDIO_ERROR_NOT_ENOUGH_MEMORY = 8;
const uint32_t FORWARDIO_ERROR_INSUFFICIENT_BUFFER = 122;
const uint32_t FORWARDIO_ERROR_MOD_NOT_FOUND = 126;
const uint32_t FORWARDIO_ERROR_PROC_NOT_FOUND = 127;
const uint32_t FORWARDIO_ERROR_UNKNOWN_PRINTER_DRIVER = 1797;
const uint32_t FORWARDIO_ERROR_INVALID_PRINTER_NAME = 1801;

struct ForwardIo {
    // Default access, no defaults; false when the spooler does not know the name.
    bool (*PrinterOpen)(const char *name, ForwardIo_Printer *printer);
    // The byte count the level-2 driver record needs (the caller's own
    // environment); 0 when there is none.
    uint32_t (*PrinterDriverSize)(ForwardIo_Printer printer);
    // The level-2 record into block, given as size bytes.
    bool (*PrinterDriverFetch)(ForwardIo_Printer printer, void *block, uint32_t size);
    void (*PrinterClose)(ForwardIo_Printer printer);
    // Zero-filled block, or null.
    void *(*AllocZero)(size_t size);
    void (*Free)(void *block);
    // For the spooler's 8-bit strings; null where every character is one byte.
    ModPath_LeadByteTest IsLeadByte;
    // By full path, the module's imports from its own folder and the system's only.
    ForwardIo_Module (*ModuleLoad)(const char *path);
    ForwardIo_Function (*ModuleFunction)(ForwardIo_Module module, const char *name);
    void (*ModuleFree)(ForwardIo_Module module);
    // The calling thread's last error, as the platform keeps it.
    uint32_t (*GetError)();
    void (*SetError)(uint32_t error);
};

// The platform's table. Only tests replace entries, and only while no call is in flight.
extern ForwardIo g_forwardIo;

#endif
