// Finding the driver-side module of a printer, and forwarding a settings call
// to it: the spooler names the printer's driver file, ZEDWIC_U.DLL is loaded
// from that file's folder and its function of the call's name is called.
//
// Every step can report how far it got and why it stopped, so that a tool
// shows what a host's call meets by walking the same steps.
#ifndef ZEDWIC_DRVMOD_H
#define ZEDWIC_DRVMOD_H

#include "modpath.h"
#include "platform.h"

#include <cstdint>

extern const char DRIVERMODULE_FILE_NAME[]; // "ZEDWIC_U.DLL"

// The result when the driver-side module or its function cannot be reached.
const int32_t FORWARD_RESULT_UNAVAILABLE = 99;

// Why no module path comes from a driver path.
enum DriverModulePathProblem {
    DRIVERMODULE_PATH_OK,
    DRIVERMODULE_PATH_NONE,          // the record names no driver file
    DRIVERMODULE_PATH_NOT_QUALIFIED, // not a drive and root, nor \\server\share
    DRIVERMODULE_PATH_TOO_DEEP,      // no room for the module's name in 259 characters
};

// Puts the module's path beside driverPath into out (MODPATH_SIZE bytes), or
// says why there is none. A bare or relative name is refused: the library
// search order would pick a module from the host's folder, the current folder
// or PATH.
DriverModulePathProblem DriverModule_ComposePath(const char *driverPath,
                                                 PlatformLeadByteTest isLeadByte, char *out);

// The steps of a settings call, in order.
enum DriverModuleStep {
    DRIVERMODULE_STEP_PRINTER,      // the spooler opens the printer by name
    DRIVERMODULE_STEP_RECORD_SIZE,  // it names the size of the driver record
    DRIVERMODULE_STEP_RECORD_BLOCK, // a block to hold the record
    DRIVERMODULE_STEP_RECORD_FETCH, // it fills in the record
    DRIVERMODULE_STEP_MODULE_PATH,  // ZEDWIC_U.DLL's path beside the driver file
    DRIVERMODULE_STEP_MODULE_LOAD,  // the loader loads it
    DRIVERMODULE_STEP_FUNCTION,     // the module has the call's function
    DRIVERMODULE_STEP_REACHED,      // every step passed: the function runs
};

const uint32_t DRIVERMODULE_REPORT_PATH_SIZE = 1024;

struct DriverModuleReport {
    DriverModuleStep step; // where the walk stopped, or the step it has come to
    uint32_t error;        // the last error the host sees after a stop there; 0 otherwise
    bool nameCut;          // the spooler saw only the first 259 characters of the name
    bool haveDriverPath;   // the record was fetched and names a driver file
    char driverPath[DRIVERMODULE_REPORT_PATH_SIZE]; // as the record names it, cut to fit
    DriverModulePathProblem pathProblem;
    char modulePath[MODPATH_SIZE]; // the path loaded; empty before that step
};

// Loads the printer's driver-side module; the caller releases it with
// DriverModule_Free. Null when the printer, its driver record or the module
// cannot be had, with the last error naming why:
// - the spooler's own error when it does not know the printer (and
//   ERROR_INVALID_PRINTER_NAME for a null name), or when it has no driver
//   record for it (ERROR_UNKNOWN_PRINTER_DRIVER when it names no cause);
// - ERROR_NOT_ENOUGH_MEMORY when the record's block cannot be had;
// - ERROR_MOD_NOT_FOUND when the record names no driver file, or one whose
//   folder is refused or too deep for the module's name: no module was
//   looked for;
// - the loader's own error when the module would not load (ERROR_MOD_NOT_FOUND
//   when it names none).
// Whatever was released after the failure does not change it. report, when
// not null, says how far it got.
PlatformModule DriverModule_Find(const char *printerName, DriverModuleReport *report);

// DriverModule_Find without a report: what the exports call.
PlatformModule DriverModule_Load(const char *printerName);

// The module's function of that name, or null (report, when not null, then
// stops at DRIVERMODULE_STEP_FUNCTION with ERROR_PROC_NOT_FOUND).
PlatformFunction DriverModule_Function(PlatformModule module, const char *functionName,
                                       DriverModuleReport *report);

void DriverModule_Free(PlatformModule module);

// Loads the printer's driver-side module, calls its function functionName
// with the caller's printerName pointer and value, releases the module and
// returns the function's result as it came. FORWARD_RESULT_UNAVAILABLE when
// the module cannot be had (the last error as DriverModule_Find leaves it) or
// lacks the function (ERROR_PROC_NOT_FOUND). When the function ran, the last
// error is what it left, whatever releasing the module did.
int32_t Forward_Call(const char *functionName, const char *printerName, intptr_t value);

#endif
