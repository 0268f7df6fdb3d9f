#include "faultyio.h"

#include "fileio.h"

namespace {

FileIo g_real;
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

FileIo_Handle FaultyOpen(const char *path) {
    FileIo_Handle h = g_real.Open(path);
    if (h != FILEIO_INVALID_HANDLE) {
        ++g_counts.handles;
    }
    return h;
}

bool FaultySize(FileIo_Handle file, uint32_t *size) {
    if (g_plan.failSize || !g_real.Size(file, size)) {
        return false;
    }
    *size += g_plan.sizeSurplus;
    return true;
}

bool FaultyRead(FileIo_Handle file, void *destination, uint32_t count, uint32_t *delivered) {
    ++g_counts.reads;
    if (Hits(g_counts.reads, g_plan.failRead, g_plan.failLaterReads)) {
        *delivered = 0;
        return false;
    }
    return g_real.Read(file, destination, count, delivered);
}

bool FaultySeek(FileIo_Handle file, uint32_t offset) {
    ++g_counts.seeks;
    return g_real.Seek(file, offset);
}

void FaultyClose(FileIo_Handle file) {
    --g_counts.handles;
    g_real.Close(file);
}

} // namespace

void FaultyIo_Install(const FaultPlan &plan) {
    if (!g_installed) {
        g_real = g_fileIo;
        g_installed = true;
    }
    g_plan = plan;
    g_counts = FaultCounts();
    g_fileIo = {FaultyAllocZero, FaultyFree, FaultyOpen, FaultySize,
                FaultyRead,      FaultySeek, FaultyClose};
}

void FaultyIo_Remove() {
    if (g_installed) {
        g_fileIo = g_real;
        g_installed = false;
    }
}

FaultCounts FaultyIo_Counts() {
    return g_counts;
}
