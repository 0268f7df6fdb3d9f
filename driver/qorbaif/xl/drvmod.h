// Finding the driver-side module of a printer: the spooler names the printer's
// driver file, and ZEDWIC_U.DLL is loaded from that file's folder.
#ifndef ZEDWIC_DRVMOD_H
#define ZEDWIC_DRVMOD_H

#include "modpath.h"

extern const char DRIVERMODULE_FILE_NAME[]; // "ZEDWIC_U.DLL"

// Puts the module's path beside driverPath into out (MODPATH_SIZE bytes).
// False for a null driverPath, one that is not fully qualified (a bare or
// relative name would let the library search order pick a module from the
// host's folder, the current folder or PATH), or a folder too deep for the
// module's name.
bool DriverModule_ComposePath(const char *driverPath, ModPath_LeadByteTest isLeadByte, char *out);

#ifdef _WIN32
#include <windows.h>

// How the module is loaded: by its full path, and the DLLs it imports only
// from its own folder and the system folder, never from the host's folder,
// the current folder or PATH.
const DWORD DRIVERMODULE_LOAD_FLAGS =
    LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;

// Loads the printer's driver-side module; null when the printer, its driver
// record or the module cannot be had. The caller releases it with FreeLibrary.
HMODULE DriverModule_Load(const char *printerName);
#endif

#endif
