// Fault injection under the data-file reader: wraps the platform's file seam,
// counts every call, and fails the ones a test chooses.
#ifndef ZW_TESTS_FAULTYIO_H
#define ZW_TESTS_FAULTYIO_H

#include <cstdint>

struct FaultPlan {
    uint32_t failAlloc = 0;       // 1-based number of the allocation to fail; 0 for none
    bool failLaterAllocs = false; // and every allocation after it
    uint32_t failRead = 0;        // 1-based number of the read to fail; 0 for none
    bool failLaterReads = false;
    bool failSize = false;
    uint32_t sizeSurplus = 0; // size reported beyond the real one: a file that shrank
};

struct FaultCounts {
    uint32_t allocs; // allocation requests, failed ones included
    uint32_t blocks; // blocks handed out and not yet freed
    uint32_t reads;  // read requests, failed ones included
    uint32_t seeks;
    uint32_t handles; // files open and not yet closed
};

void FaultyIo_Install(const FaultPlan &plan);
void FaultyIo_Remove();
FaultCounts FaultyIo_Counts();

// Installs for one scope.
struct FaultyIoScope {
    explicit FaultyIoScope(const FaultPlan &plan = FaultPlan()) {
        FaultyIo_Install(plan);
    }
    ~FaultyIoScope() {
        FaultyIo_Remove();
    }
    FaultyIoScope(const FaultyIoScope &) = delete;
    FaultyIoScope &operator=(const FaultyIoScope &) = delete;
};

#endif
