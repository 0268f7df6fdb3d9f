#include "benchcontrol.h"

uintptr_t BenchControl_Work(int32_t code) {
    const uint32_t index = static_cast<uint32_t>(code);
    return index < 16 ? index * 64u + 4096u : 8192u;
}
