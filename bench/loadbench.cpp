#include "loadbench.h"

#include "benchstats.h"
#include "datafile.h"
#include "errmsg.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Reads the timed blocks so that no allocation is optimised away.
volatile uint8_t g_sink;

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

extern "C" __attribute__((noinline)) uint64_t BenchOnce_Floor(const char *path) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    struct stat st;
    if (fstat(fd, &st) != 0) {
        close(fd);
        return 0;
    }
    const size_t size = static_cast<size_t>(st.st_size);
    uint8_t *buffer = static_cast<uint8_t *>(malloc(size != 0 ? size : 1));
    size_t total = 0;
    while (buffer != nullptr && total < size) {
        const ssize_t got = read(fd, buffer + total, size - total);
        if (got <= 0) {
            break;
        }
        total += static_cast<size_t>(got);
    }
    close(fd);
    free(buffer);
    return total;
}

void LoadBench_PrintHeader() {
    printf("%-32s %6s %11s %11s %11s %11s %6s  %s\n", "case", "runs", "load med", "floor med",
           "load min", "floor min", "ratio", "target");
}

bool LoadBench_Run(const LoadCase &c) {
    // Warm up: the file in the page cache, the allocator's pages touched.
    for (int i = 0; i < 3; ++i) {
        const uint32_t texts = BenchOnce_Load(c.path.c_str());
        if (texts != c.expectedTexts) {
            fprintf(stderr, "catalogue_bench: %s loaded %u texts, expected %u\n", c.name, texts,
                    c.expectedTexts);
            return false;
        }
        BenchOnce_Floor(c.path.c_str());
    }
    std::vector<double> load, floor;
    uint64_t check = 0;
    for (int r = 0; r < c.repeats; ++r) {
        // Alternate which goes first so that drift falls on both alike.
        for (int half = 0; half < 2; ++half) {
            const auto start = std::chrono::steady_clock::now();
            if ((r + half) % 2 == 0) {
                check += BenchOnce_Load(c.path.c_str());
                load.push_back(Seconds(start));
            } else {
                check += BenchOnce_Floor(c.path.c_str());
                floor.push_back(Seconds(start));
            }
        }
    }
    const double loadMedian = Bench_Median(load);
    const double ratio = loadMedian / Bench_Median(floor);
    char target[48];
    bool met = ratio <= c.maxRatio;
    if (c.maxRatio <= 0.0 && c.maxSeconds > 0.0) {
        // A walk in memory that no reading of the file bounds: only its time.
        snprintf(target, sizeof target, "< %.0f ms", c.maxSeconds * 1e3);
        met = loadMedian < c.maxSeconds;
    } else if (c.maxRatio <= 0.0) {
        snprintf(target, sizeof target, "(fixed costs; no target)");
    } else if (c.maxSeconds > 0.0) {
        snprintf(target, sizeof target, "<= %.2f and < %.0f ms", c.maxRatio, c.maxSeconds * 1e3);
        met = met && loadMedian < c.maxSeconds;
    } else {
        snprintf(target, sizeof target, "<= %.2f", c.maxRatio);
    }
    printf("%-32s %6d %11s %11s %11s %11s %6.2f  %s %s\n", c.name, c.repeats,
           Bench_Duration(loadMedian).c_str(), Bench_Duration(Bench_Median(floor)).c_str(),
           Bench_Duration(Bench_Min(load)).c_str(), Bench_Duration(Bench_Min(floor)).c_str(), ratio,
           target,
           c.maxRatio <= 0.0 && c.maxSeconds <= 0.0 ? ""
           : met                                    ? "met"
                                                    : "MISSED");
    fflush(stdout);
    return check != 0;
}

void LoadBench_Breakdown(const char *name, const std::string &path, int repeats) {
    std::vector<double> open_s, load_s, close_s, free_s, calloc_s, malloc_s, sys_s;
    struct stat st;
    const size_t size = stat(path.c_str(), &st) == 0 ? static_cast<size_t>(st.st_size) : 0;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    for (int r = 0; r < repeats; ++r) {
        auto start = std::chrono::steady_clock::now();
        DataFile *file = DataFile_Open(path.c_str());
        open_s.push_back(Seconds(start));
        start = std::chrono::steady_clock::now();
        ErrMsg_Load(file);
        load_s.push_back(Seconds(start));
        start = std::chrono::steady_clock::now();
        DataFile_Close(file);
        close_s.push_back(Seconds(start));
        start = std::chrono::steady_clock::now();
        ErrMsg_Free();
        free_s.push_back(Seconds(start));

        start = std::chrono::steady_clock::now();
        uint8_t *block = static_cast<uint8_t *>(calloc(size != 0 ? size : 1, 1));
        g_sink = block[size / 2];
        free(block);
        calloc_s.push_back(Seconds(start));
        start = std::chrono::steady_clock::now();
        block = static_cast<uint8_t *>(malloc(size != 0 ? size : 1));
        g_sink = block[size / 2];
        free(block);
        malloc_s.push_back(Seconds(start));
        start = std::chrono::steady_clock::now();
        if (fstat(fd, &st) == 0) {
            g_sink = static_cast<uint8_t>(lseek(fd, 0, SEEK_SET));
        }
        sys_s.push_back(Seconds(start));
    }
    if (fd >= 0) {
        close(fd);
    }
    printf("%-26s open %s  load %s  close %s  free %s | clearing the image %s, "
           "size query + seek %s\n",
           name, Bench_Duration(Bench_Median(open_s)).c_str(),
           Bench_Duration(Bench_Median(load_s)).c_str(),
           Bench_Duration(Bench_Median(close_s)).c_str(),
           Bench_Duration(Bench_Median(free_s)).c_str(),
           Bench_Duration(Bench_Median(calloc_s) - Bench_Median(malloc_s)).c_str(),
           Bench_Duration(Bench_Median(sys_s)).c_str());
    fflush(stdout);
}
