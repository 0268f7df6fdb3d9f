// Constant-memory detection of a chain of file offsets that returns to an
// offset it has already visited (Brent's method). Reading the same file at the
// same offset gives the same record, so a chain that repeats one offset repeats
// forever; a chain that never repeats is never stopped.
#ifndef ZEDWIC_CHAINGUARD_H
#define ZEDWIC_CHAINGUARD_H

#include <cstdint>

struct ChainGuard {
    uint32_t saved;
    uint64_t power;
    uint64_t steps;
};

inline void ChainGuard_Start(ChainGuard *guard, uint32_t first) {
    guard->saved = first;
    guard->power = 1;
    guard->steps = 0;
}

// True when next closes a cycle. Found at the latest within twice the cycle's
// length after the chain enters it.
inline bool ChainGuard_Repeats(ChainGuard *guard, uint32_t next) {
    if (next == guard->saved) {
        return true;
    }
    if (++guard->steps == guard->power) {
        guard->saved = next;
        guard->power *= 2;
        guard->steps = 0;
    }
    return false;
}

#endif
