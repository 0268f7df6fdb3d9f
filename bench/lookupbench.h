// Cost of VOLQUAD_GetErrorMsg with the catalogue loaded: per call on one
// thread, and the throughput of several threads calling at once.
#ifndef ZW_BENCH_LOOKUPBENCH_H
#define ZW_BENCH_LOOKUPBENCH_H

#include <cstdint>

// Prints nanoseconds per call for a fixed code, codes 0-15 in turn, and a
// random mix of known, fallback and negative codes, against the target.
void LookupBench_Single(uint64_t callsPerRun, int runs);

// Prints calls per second, total and per thread, for threadCount threads
// each making callsPerThread calls with the random mix, and the total as a
// multiple of oneThreadTotal (0: this is the one-thread run). Returns the total.
// With control set, the calls go to a stand-in that touches no memory: the
// scaling the machine itself allows.
double LookupBench_Threads(const char *label, bool control, int threadCount,
                           uint64_t callsPerThread, int runs, double oneThreadTotal);

#endif
