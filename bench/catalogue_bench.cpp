// Native benchmarks of the message catalogue: load against the floor of
// reading the file once, and the cost of a lookup.
//   catalogue_bench [--scale F] [load] [lookup]   the load and the lookup
//                                      figures, or only those named
//                                      (repetitions times F)
//   catalogue_bench --write DIR        only write the data files into DIR
//   catalogue_bench --once load|floor FILE   one load or one floor read (for callgrind)
#include "benchfiles.h"
#include "datafile.h"
#include "errmsg.h"
#include "loadbench.h"
#include "lookupbench.h"
#include "tempfile.h"

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

namespace {

struct FileCase {
    const char *name;
    const char *fileName;
    std::function<std::vector<uint8_t>()> build;
    uint32_t expectedTexts;
    int repeats;
    double maxRatio;
    double maxSeconds;
};

const FileCase kCases[] = {
    {"catalogue only (17 texts)", "catalogue.zwx", BenchFile_Catalogue, 17, 20000, 0.0, 0.0},
    {"realistic (201 sections)", "realistic.zwx", BenchFile_Realistic, 17, 4000, 1.3, 0.0},
    {"large (10,000 sections)", "large.zwx", BenchFile_Large, 17, 200, 1.3, 0.0},
    {"hostile, keys of 8 (ERMSG_ZZ)", "hostile-8.zwx", [] { return BenchFile_Hostile(8); }, 16, 15,
     10.0, 0.5},
    {"hostile, keys of 127", "hostile-127.zwx", [] { return BenchFile_Hostile(127); }, 16, 15, 10.0,
     0.5},
    {"hostile, keys of 289", "hostile-289.zwx", [] { return BenchFile_Hostile(289); }, 16, 15, 10.0,
     0.5},
};

bool WriteFiles(const std::string &dir) {
    for (const FileCase &c : kCases) {
        const std::vector<uint8_t> bytes = c.build();
        const std::string path = Path_Join(dir, c.fileName);
        if (!BenchFile_Write(path, bytes)) {
            fprintf(stderr, "catalogue_bench: cannot write %s\n", path.c_str());
            return false;
        }
        printf("%-34s %10zu bytes  %s\n", c.name, bytes.size(), path.c_str());
    }
    fflush(stdout);
    return true;
}

int Once(const char *what, const char *path) {
    if (strcmp(what, "load") == 0) {
        printf("%u texts\n", BenchOnce_Load(path));
        return 0;
    }
    if (strcmp(what, "floor") == 0) {
        printf("%llu bytes\n", static_cast<unsigned long long>(BenchOnce_Floor(path)));
        return 0;
    }
    fprintf(stderr, "catalogue_bench: --once load|floor FILE\n");
    return 2;
}

void RunLoads(const std::string &dir, double scale, bool *ok) {
    printf("\n== catalogue load (open, load, close, free) against the floor (open, read the "
           "whole file into a fresh buffer, close, free)\n");
    LoadBench_PrintHeader();
    for (const FileCase &c : kCases) {
        if (!*ok) {
            return;
        }
        const int repeats =
            static_cast<int>(c.repeats * scale) > 3 ? static_cast<int>(c.repeats * scale) : 3;
        *ok = LoadBench_Run({c.name, Path_Join(dir, c.fileName), c.expectedTexts, repeats,
                             c.maxRatio, c.maxSeconds});
    }
    if (*ok) {
        printf("\n== where a load's time goes (medians)\n");
        LoadBench_Breakdown("realistic (201 sections)", Path_Join(dir, "realistic.zwx"),
                            static_cast<int>(4000 * scale) + 3);
        LoadBench_Breakdown("large (10,000 sections)", Path_Join(dir, "large.zwx"),
                            static_cast<int>(200 * scale) + 3);
    }
}

void RunLookups(const std::string &dir, double scale) {
    DataFile *file = DataFile_Open(Path_Join(dir, "realistic.zwx").c_str());
    ErrMsg_Load(file);
    DataFile_Close(file);
    const uint64_t calls = static_cast<uint64_t>(20000000 * scale) + 1000;
    printf("\n== VOLQUAD_GetErrorMsg, one thread, %llu calls a run\n",
           static_cast<unsigned long long>(calls));
    LookupBench_Single(calls, 11);
    printf("\n== VOLQUAD_GetErrorMsg from several threads at once (random mix), %llu calls "
           "each\n",
           static_cast<unsigned long long>(calls));
    printf("(this machine has %u hardware threads; the total can grow with the threads up "
           "to that many)\n",
           std::thread::hardware_concurrency());
    printf("%-10s %7s %16s %18s %14s\n", "calls to", "threads", "Mcalls/s total",
           "Mcalls/s a thread", "x one thread");
    for (const bool control : {false, true}) {
        const char *label = control ? "control" : "library";
        const double one = LookupBench_Threads(label, control, 1, calls, 5, 0.0);
        LookupBench_Threads(label, control, 2, calls, 5, one);
        LookupBench_Threads(label, control, 8, calls, 5, one);
    }
    printf("(control: a function of the bench that reads no memory; it shows how far this "
           "machine lets a loop of calls scale)\n");
    ErrMsg_Free();
}

int RunAll(double scale, bool loads, bool lookups) {
    const std::string dir = TempDir_Create(" zw bench");
    if (dir.empty()) {
        fprintf(stderr, "catalogue_bench: no temporary folder\n");
        return 1;
    }
    printf("== data files\n");
    fflush(stdout);
    // Built in a child process: building them leaves large free chunks in this
    // heap, and large blocks taken from those are not fresh pages, so calloc
    // would clear them while malloc would not. A host loads the library with
    // no such chunks about; here load and floor get fresh pages alike.
    const pid_t child = fork();
    if (child == 0) {
        _exit(WriteFiles(dir) ? 0 : 1);
    }
    int status = 0;
    bool ok = child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
              WEXITSTATUS(status) == 0;
    if (ok && loads) {
        RunLoads(dir, scale, &ok);
    }
    if (ok && lookups) {
        RunLookups(dir, scale);
    }
    TempDir_Remove(dir);
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
#ifdef __GLIBC__
    // glibc's default threshold, fixed: freeing a large block would otherwise
    // raise it and move later large blocks from fresh pages to the heap,
    // changing what load and floor pay from one run to the next.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
    if (argc == 3 && strcmp(argv[1], "--write") == 0) {
        return WriteFiles(argv[2]) ? 0 : 1;
    }
    if (argc == 4 && strcmp(argv[1], "--once") == 0) {
        return Once(argv[2], argv[3]);
    }
    double scale = 1.0;
    bool loads = false;
    bool lookups = false;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--scale") == 0 && i + 1 < argc) {
            scale = atof(argv[++i]);
        } else if (strcmp(argv[i], "load") == 0) {
            loads = true;
        } else if (strcmp(argv[i], "lookup") == 0) {
            lookups = true;
        } else {
            fprintf(stderr, "usage: catalogue_bench [--scale F] [load] [lookup] | --write DIR | "
                            "--once load|floor FILE\n");
            return 2;
        }
    }
    if (!loads && !lookups) {
        loads = lookups = true;
    }
    return RunAll(scale, loads, lookups);
}
