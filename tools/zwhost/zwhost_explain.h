// Words for what the library's own walk of a settings call reports
// (DriverModule_Find), and for why the loader refused a module, from the
// module file's own bytes. Nothing here runs a step of the walk again.
#ifndef ZWHOST_EXPLAIN_H
#define ZWHOST_EXPLAIN_H

#include "drvmod.h"

#include <cstdint>
#include <string>

// "126 (The specified module could not be found.)"
std::string ZwHost_SystemError(uint32_t error);

// "open the printer", "load the module", ...
const char *ZwHost_StepLabel(DriverModuleStep step);

// What a step that passed found ("ok", the driver path, the module path).
std::string ZwHost_StepFound(const DriverModuleReport &report, DriverModuleStep step);

// Why the walk stopped where the report says, in words; exportName names the
// function for DRIVERMODULE_STEP_FUNCTION. Without the error, which the
// caller shows beside it.
std::string ZwHost_StopReason(const DriverModuleReport &report, const char *exportName);

// Why the loader refused the file at path (UTF-8) with error: from the file's
// own bytes, whether it is there, and the imports that are neither beside it
// nor in the system folder.
std::string ZwHost_WhyNotLoaded(const std::string &path, uint32_t error);

// The machine of zwhost's own process, as a PE header names it.
uint16_t ZwHost_ProcessMachine();

// An export of the module at modulePath (the 8-bit path the library loaded)
// that is name decorated as a compiler decorates it ("_VOLQUAD_FixSetting@8"),
// or empty.
std::string ZwHost_DecoratedExport(const std::string &modulePath, const std::string &name);

#endif
