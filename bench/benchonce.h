// One catalogue load, timed by the native benchmark and the one under Wine.
#ifndef ZW_BENCH_BENCHONCE_H
#define ZW_BENCH_BENCHONCE_H

#include <cstdint>

#ifdef _MSC_VER
#define BENCH_NOINLINE __declspec(noinline)
#else
#define BENCH_NOINLINE __attribute__((noinline))
#endif

// One load as the library does it when attached: DataFile_Open, ErrMsg_Load,
// DataFile_Close, then ErrMsg_Free. Returns how many of the 17 slots held a
// non-empty text. A symbol of its own so callgrind can count just this.
extern "C" uint32_t BenchOnce_Load(const char *path);

// The same with the image limit chosen: UINT32_MAX for image mode, 0 for
// handle mode.
extern "C" uint32_t BenchOnce_LoadAs(const char *path, uint32_t imageLimit);

#endif
