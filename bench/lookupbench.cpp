#include "lookupbench.h"

#include "benchcontrol.h"
#include "benchstats.h"
#include "errmsg.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

const uint32_t kCodeMask = 4095; // codes are taken in turn from 4,096

enum CodeMix { MIX_FIXED, MIX_IN_TURN, MIX_RANDOM };

std::vector<int32_t> Codes(CodeMix mix, uint32_t seed) {
    // Known codes twice as often as the rest: fallback codes and negatives.
    static const int32_t kPool[] = {0,  1,  2,  3,  4,  5,  6,  7,   8,  9,   10,   11,   12, 13,
                                    14, 15, 0,  1,  2,  3,  4,  5,   6,  7,   8,    9,    10, 11,
                                    12, 13, 14, 15, 16, 17, 99, 255, -1, -99, 1000, 65536};
    const uint32_t poolSize = sizeof kPool / sizeof kPool[0];
    std::vector<int32_t> codes(kCodeMask + 1);
    uint32_t state = seed | 1u;
    for (uint32_t i = 0; i <= kCodeMask; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        codes[i] = mix == MIX_FIXED     ? 7
                   : mix == MIX_IN_TURN ? static_cast<int32_t>(i & 15)
                                        : kPool[state % poolSize];
    }
    return codes;
}

// The library is a separate translation unit without link-time optimisation,
// so every call is made; summing the answers keeps the loop from being dropped.
__attribute__((noinline)) uintptr_t CallLoop(const int32_t *codes, uint64_t calls) {
    uintptr_t sum = 0;
    for (uint64_t i = 0; i < calls; ++i) {
        sum += reinterpret_cast<uintptr_t>(VOLQUAD_GetErrorMsg(codes[i & kCodeMask]));
    }
    return sum;
}

__attribute__((noinline)) uintptr_t ControlLoop(const int32_t *codes, uint64_t calls) {
    uintptr_t sum = 0;
    for (uint64_t i = 0; i < calls; ++i) {
        sum += BenchControl_Work(codes[i & kCodeMask]);
    }
    return sum;
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each thread's results on a cache line of its own: no shared writes while timing.
struct alignas(64) ThreadResult {
    uintptr_t sum;
    double seconds;
};

void Worker(ThreadResult *out, uint64_t calls, uint32_t seed, bool control,
            const std::atomic<bool> *go) {
    const std::vector<int32_t> codes = Codes(MIX_RANDOM, seed);
    while (!go->load(std::memory_order_acquire)) {
        std::this_thread::yield();
    }
    const auto start = std::chrono::steady_clock::now();
    out->sum = control ? ControlLoop(codes.data(), calls) : CallLoop(codes.data(), calls);
    out->seconds = Seconds(start);
}

} // namespace

void LookupBench_Single(uint64_t callsPerRun, int runs) {
    const struct {
        const char *name;
        CodeMix mix;
    } mixes[] = {{"one code (7)", MIX_FIXED},
                 {"codes 0-15 in turn", MIX_IN_TURN},
                 {"random mix (0-15, 16, 99, -1, ...)", MIX_RANDOM}};
    uintptr_t check = 0;
    printf("%-38s %12s %12s  %s\n", "codes", "ns/call med", "ns/call min", "target");
    for (const auto &m : mixes) {
        const std::vector<int32_t> codes = Codes(m.mix, 12345);
        check += CallLoop(codes.data(), callsPerRun / 10); // warm up
        std::vector<double> ns;
        for (int r = 0; r < runs; ++r) {
            const auto start = std::chrono::steady_clock::now();
            check += CallLoop(codes.data(), callsPerRun);
            ns.push_back(Seconds(start) * 1e9 / static_cast<double>(callsPerRun));
        }
        const double median = Bench_Median(ns);
        printf("%-38s %12.2f %12.2f  < 5 ns %s\n", m.name, median, Bench_Min(ns),
               median < 5.0 ? "met" : "MISSED");
    }
    printf("(checksum %zx)\n", static_cast<size_t>(check & 0xFFFF));
    fflush(stdout);
}

double LookupBench_Threads(const char *label, bool control, int threadCount,
                           uint64_t callsPerThread, int runs, double oneThreadTotal) {
    std::vector<double> total, perThread;
    uintptr_t check = 0;
    for (int r = 0; r < runs; ++r) {
        std::vector<ThreadResult> results(static_cast<size_t>(threadCount));
        std::vector<std::thread> threads;
        std::atomic<bool> go{false};
        for (int t = 0; t < threadCount; ++t) {
            threads.emplace_back(Worker, &results[static_cast<size_t>(t)], callsPerThread,
                                 static_cast<uint32_t>(t + 1) * 2654435761u, control, &go);
        }
        const auto start = std::chrono::steady_clock::now();
        go.store(true, std::memory_order_release);
        for (std::thread &thread : threads) {
            thread.join();
        }
        const double wall = Seconds(start);
        total.push_back(static_cast<double>(callsPerThread) * threadCount / wall);
        for (const ThreadResult &result : results) {
            perThread.push_back(static_cast<double>(callsPerThread) / result.seconds);
            check += result.sum;
        }
    }
    const double median = Bench_Median(total);
    printf("%-10s %7d %16.1f %18.1f %14.2f   (checksum %zx)\n", label, threadCount, median / 1e6,
           Bench_Median(perThread) / 1e6, oneThreadTotal > 0.0 ? median / oneThreadTotal : 1.0,
           static_cast<size_t>(check & 0xFFFF));
    fflush(stdout);
    return median;
}
