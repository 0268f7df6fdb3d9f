// One load of the message table as the library does it at attach, under a
// fault plan: open, load, close; then the table is read and released again.
#ifndef ZW_TESTS_LOADRUN_H
#define ZW_TESTS_LOADRUN_H

#include "faultyio.h"
#include "loadmodel.h"

#include <string>

struct LoadRun {
    bool opened;
    bool imageMode;
    ModelTable table;
    FaultCounts counts; // after the table was released: blocks and handles must be 0
};

// Installs plan for the load and removes it again.
LoadRun LoadRun_Do(const std::string &path, const FaultPlan &plan);

#endif
