// A stand-in for a lookup that touches no memory at all, in a translation
// unit of its own so that calls to it are made like calls into the library:
// how far this scales with threads is what the machine itself allows.
#ifndef ZW_BENCH_BENCHCONTROL_H
#define ZW_BENCH_BENCHCONTROL_H

#include <cstdint>

uintptr_t BenchControl_Work(int32_t code);

#endif
