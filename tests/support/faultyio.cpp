#include "faultyio.h"

#include "platform.h"

namespace {

PlatformCalls g_real;
FaultPlan g_plan;
FaultCounts g_counts;
bool g_installed = false;

bool Hits(uint32_t count, uint32_t target, bool later) {
    return target != 0 && (count == target || (later && count > target));
}

void *FaultyAllocZero(size_t size) {
    ++g_counts.allocs;
    if (Hits(g_counts.allocs, g_plan.failAlloc, g_plan.failLaterAllocs)) {
        return nullptr;
    }
    void *block = g_real.AllocZero(size);
    if (block != nullptr) {
        ++g_counts.blocks;
    }
    return block;
}

void FaultyFree(void *block) {
    if (block != nullptr) {
        --g_counts.blocks;
    }
    g_real.Free(block);
}

PlatformFile FaultyOpen(const char *path) {
    PlatformFile h = g_real.FileOpen(path);
    if (h != PLATFORM_NO_FILE) {
        ++g_counts.handles;
    }
    return h;
}

bool FaultySize(PlatformFile file, uint32_t *size) {
    if (g_plan.failSize || !g_real.FileSize(file, size)) {
        return false;
    }
    *size += g_plan.sizeSurplus;
    return true;
}

bool FaultyRead(PlatformFile file, void *destination, uint32_t count, uint32_t *delivered) {
    ++g_counts.reads;
    if (Hits(g_counts.reads, g_plan.failRead, g_plan.failLaterReads)) {
        *delivered = 0;
        return false;
    }
    return g_real.FileRead(file, destination, count, delivered);
}

bool FaultySeek(PlatformFile file, uint32_t offset) {
    ++g_counts.seeks;
    return g_real.FileSeek(file, offset);
}

void FaultyClose(PlatformFile file) {
    --g_counts.handles;
    g_real.FileClose(file);
}

} // namespace

void FaultyIo_Install(const FaultPlan &plan) {
    if (!g_installed) {
        g_real = *Platform();
        g_installed = true;
    }
    g_plan = plan;
    g_counts = FaultCounts();
    PlatformCalls calls = g_real;
    calls.AllocZero = FaultyAllocZero;
    calls.Free = FaultyFree;
    calls.FileOpen = FaultyOpen;
    calls.FileSize = FaultySize;
    calls.FileRead = FaultyRead;
    calls.FileSeek = FaultySeek;
    calls.FileClose = FaultyClose;
    Platform_SetCalls(&calls);
}

void FaultyIo_Remove() {
    if (g_installed) {
        Platform_SetCalls(&g_real);
        g_installed = false;
    }
}

FaultCounts FaultyIo_Counts() {
    return g_counts;
}
