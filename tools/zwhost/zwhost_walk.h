// One printer walked through the steps the library takes for a settings call,
// by the library's own path rule and load flags, saying where it stops and why.
#ifndef ZWHOST_WALK_H
#define ZWHOST_WALK_H

#include <windows.h>

#include <string>
#include <vector>

struct ZwHostStep {
    std::string label;  // "open the printer"
    std::string result; // "ok", or what it found
    bool ok;
};

struct ZwHostWalk {
    std::vector<ZwHostStep> steps; // in order; the last one failed unless reached
    bool reached;                  // every step passed: the call runs in the module
    std::string why;               // when not reached, why not, with the system's error
    bool haveDriverPath;           // the driver record was fetched and names a file
    std::string driverPath;
    std::string modulePath; // where the library loads ZEDWIC_U.DLL from; empty when it would not
    bool loaded;            // the module loaded with the library's flags
    bool exports[5];        // after a load: which of ZWHOST_SETTING_EXPORTS it has
};

// exportName is one of ZWHOST_SETTING_EXPORTS, or null to look at all five
// (then the walk is reached only when the module has all of them).
ZwHostWalk ZwHost_Walk(const char *printerName, const char *exportName);

// "error 2: The system cannot find the file specified."
std::string ZwHost_SystemError(DWORD error);

#endif
