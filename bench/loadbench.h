// Catalogue load against its floor: opening the same file and reading it once
// into memory.
#ifndef ZW_BENCH_LOADBENCH_H
#define ZW_BENCH_LOADBENCH_H

#include "benchonce.h"

#include <cstdint>
#include <string>

// The floor: open, size, a fresh buffer, read the whole file, close, release.
// Returns the bytes read.
extern "C" uint64_t BenchOnce_Floor(const char *path);

struct LoadCase {
    const char *name;
    std::string path;
    uint32_t expectedTexts; // what BenchOnce_Load must report
    int repeats;
    double maxRatio;   // target: load median / floor median, 0 for none
    double maxSeconds; // target: load median, 0 for none
};

// Times load and floor alternately on the cached file and prints one row:
// median of each, fastest of each, ratio of the medians, and whether the
// target was met. False when the load did not give the expected texts.
bool LoadBench_Run(const LoadCase &c);
void LoadBench_PrintHeader();

// Where a load's time goes: medians of its four steps, and of the costs it
// has beyond the floor's (clearing an image-sized block, the size query and
// the seek back to the start that the floor does not make).
void LoadBench_Breakdown(const char *name, const std::string &path, int repeats);

#endif
