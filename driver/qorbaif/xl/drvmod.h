// Finding the driver-side module of a printer: the spooler names the printer's
// driver file, and ZEDWIC_U.DLL is loaded from that file's folder.
#ifndef ZEDWIC_DRVMOD_H
#define ZEDWIC_DRVMOD_H

#include "forwardio.h"
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

#endif

// Loads the printer's driver-side module through g_forwardIo; the caller
// releases it with g_forwardIo.ModuleFree. Null when the printer, its driver
// record or the module cannot be had, with the last error naming why:
// - the spooler's own error when it does not know the printer (and
//   ERROR_INVALID_PRINTER_NAME for a null name), or when it has no driver
//   record for it (ERROR_UNKNOWN_PRINTER_DRIVER when it names no cause);
// - ERROR_NOT_ENOUGH_MEMORY when the record's block cannot be had;
// - ERROR_MOD_NOT_FOUND when the record names no driver file, or one whose
//   folder is refused or too deep for the module's name (see
//   DriverModule_ComposePath): no module was looked for;
// - the loader's own error when the module would not load (ERROR_MOD_NOT_FOUND
//   when it names none).
// Whatever was released after the failure does not change it.
ForwardIo_Module DriverModule_Load(const char *printerName);

#endif
