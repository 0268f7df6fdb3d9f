// The library's walk of a printer (DriverModule_Find, then the module's
// functions), taken in a child zwhost process with a time limit: a module
// whose DllMain never returns or crashes the process costs that printer only,
// and the step it stopped in is known, since the library writes each step
// into the report before taking it and the report lies in memory shared with
// the child. The child has the library zwhost examines loaded, as a host
// has, so a module's imports of it resolve as in a host.
#ifndef ZWHOST_WALK_H
#define ZWHOST_WALK_H

#include "drvmod.h"

#include <cstdint>
#include <string>
#include <vector>

struct ZwHostWalk {
    DriverModuleReport report; // where it stopped: the export asked for, or the first one lacking
    bool loaded;               // the module loaded
    bool has[5];               // which of the five it exports, when loaded
    bool hung;                 // report.step did not return within the limit
    bool crashed;              // the child ended during report.step, with exitCode
    bool releaseHung;          // the walk finished, but releasing the module did not return
    uint32_t exitCode;
    bool noChild; // the child could not be started: childError says why
    uint32_t childError;
    uint32_t libraryError; // the child's load of the library: 0 loaded (or none named)
};

// slow, when not null, is told once per printer when a step has not returned
// within a second: the printer's index and the step it is in, while zwhost
// waits out the limit.
typedef void (*ZwHostWalkSlow)(size_t index, DriverModuleStep step, void *context);

// printer is the name as the 8-bit interface passes it; exportName one of the
// five, or null for all five; library the ZEDWIC_W.dll to have loaded (UTF-8;
// empty: none); seconds the limit.
ZwHostWalk ZwHost_Walk(const std::string &printer, const char *exportName,
                       const std::string &library, unsigned seconds, ZwHostWalkSlow slow = nullptr,
                       void *context = nullptr);

// The same for many printers, in order: one child walks them all, and
// another takes over after one that hangs or crashes. Each has the limit.
std::vector<ZwHostWalk> ZwHost_WalkAll(const std::vector<std::string> &printers,
                                       const char *exportName, const std::string &library,
                                       unsigned seconds, ZwHostWalkSlow slow = nullptr,
                                       void *context = nullptr);

// The child's side: zwhost --walk-child HANDLE FIRST [LIBRARY]. Its exit status.
int ZwHost_WalkChild(const std::vector<std::string> &words);

// The hidden first word that starts the child.
extern const char ZWHOST_WALK_CHILD[];

#endif
