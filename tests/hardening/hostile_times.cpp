// Prints the worst load time of each hostile file in both read modes: open,
// load the message table, close, free. Build optimised (Release) and run:
//   hostile_times [repeats [image|handle]]
// HOSTILE_ONLY=TEXT keeps the files whose name contains TEXT. The mode is
// chosen through the image limit: lifted for image mode, 0 for handle mode.
// The last line is the worst of all files in each mode.
#include "datafile.h"
#include "errmsg.h"
#include "faultyio.h"
#include "hostile.h"
#include "tempfile.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

struct Case {
    const char *name;
    std::function<std::vector<uint8_t>()> build;
};

double LoadSeconds(const std::string &path, bool handleMode) {
    FaultyIoScope faults; // counts what is left behind
    const auto start = std::chrono::steady_clock::now();
    DataFile *file = DataFile_OpenAs(path.c_str(), nullptr, 0, handleMode ? 0 : UINT32_MAX);
    ErrMsg_Load(file);
    DataFile_Close(file);
    const auto stop = std::chrono::steady_clock::now();
    ErrMsg_Free();
    if (FaultyIo_Counts().blocks != 0 || FaultyIo_Counts().handles != 0) {
        fprintf(stderr, "hostile_times: a block or a handle was left behind\n");
        exit(1);
    }
    return std::chrono::duration<double>(stop - start).count();
}

} // namespace

int main(int argc, char **argv) {
    const int repeats = argc > 1 ? atoi(argv[1]) : 3;
    const std::string modes = argc > 2 ? argv[2] : "image handle";
    const Case cases[] = {
        {"section cycle", Hostile_SectionCycle},
        {"entry cycle, tail 1000 + cycle 1000", [] { return Hostile_EntryCycle(1000, 1000); }},
        {"section chain, 64 MiB", [] { return Hostile_SectionChain(HOSTILE_LARGE_SIZE); }},
        {"entry chain, 64 MiB, 8-char keys",
         [] { return Hostile_EntryChain(HOSTILE_LARGE_SIZE, 8); }},
        {"entry chain, 64 MiB, 127-char keys",
         [] { return Hostile_EntryChain(HOSTILE_LARGE_SIZE, 127); }},
        {"entry chain, 64 MiB, 289-char keys",
         [] { return Hostile_EntryChain(HOSTILE_LARGE_SIZE, 289); }},
        {"scattered entry chain, 64 MiB",
         [] { return Hostile_ScatteredChain(HOSTILE_LARGE_SIZE, 65537); }},
        {"scattered entry chain, 4 MiB", [] { return Hostile_ScatteredChain(4u << 20, 65537); }},
        {"scattered entry chain, 16 MiB", [] { return Hostile_ScatteredChain(16u << 20, 65537); }},
        {"random entry chain, 64 MiB", [] { return Hostile_RandomChain(HOSTILE_LARGE_SIZE); }},
        {"scattered section chain, 64 MiB",
         [] { return Hostile_ScatteredSections(HOSTILE_LARGE_SIZE, 16385); }},
        {"entry chain, 4 MiB, 8-char keys", [] { return Hostile_EntryChain(4u << 20, 8); }},
        {"entry chain, 4 MiB, 127-char keys", [] { return Hostile_EntryChain(4u << 20, 127); }},
        {"entry chain, 4 MiB, 289-char keys", [] { return Hostile_EntryChain(4u << 20, 289); }},
        {"values to the end", Hostile_ValuesToTheEnd},
        {"key to the end", Hostile_KeyToTheEnd},
        {"far strings 0x7FFFFFFF", [] { return Hostile_FarStrings(0x7FFFFFFFu); }},
        {"far strings 0x80000000", [] { return Hostile_FarStrings(0x80000000u); }},
        {"far strings 0xFFFFFFFF", [] { return Hostile_FarStrings(0xFFFFFFFFu); }},
        {"far first entry 0x7FFFFFFF", [] { return Hostile_FarFirstEntry(0x7FFFFFFFu); }},
        {"far first entry 0xFFFFFFFF", [] { return Hostile_FarFirstEntry(0xFFFFFFFFu); }},
        {"far next section 0x7FFFFFFF", [] { return Hostile_FarNextSection(0x7FFFFFFFu); }},
        {"far next section 0x80000000", [] { return Hostile_FarNextSection(0x80000000u); }},
    };
    const char *only = getenv("HOSTILE_ONLY");
    const std::string dir = TempDir_Create("-hostile-times");
    const std::string path = Path_Join(dir, "ZEDWIC_D.ZWX");
    printf("%-40s %12s %12s   (worst of %d, seconds)\n", "file", "image", "handle", repeats);
    double worstOfAll[2] = {-1, -1};
    for (const Case &c : cases) {
        if (only != nullptr && std::string(c.name).find(only) == std::string::npos) {
            continue;
        }
        if (!File_Write(path, c.build())) {
            fprintf(stderr, "hostile_times: cannot write %s\n", path.c_str());
            return 1;
        }
        double worst[2] = {-1, -1};
        for (int mode = 0; mode < 2; ++mode) {
            if (modes.find(mode == 0 ? "image" : "handle") == std::string::npos) {
                continue;
            }
            for (int r = 0; r < repeats; ++r) {
                const double seconds = LoadSeconds(path, mode == 1);
                worst[mode] = seconds > worst[mode] ? seconds : worst[mode];
            }
        }
        printf("%-40s", c.name);
        for (int mode = 0; mode < 2; ++mode) {
            worstOfAll[mode] = worst[mode] > worstOfAll[mode] ? worst[mode] : worstOfAll[mode];
        }
        for (double seconds : worst) {
            if (seconds < 0) {
                printf(" %12s", "-");
            } else {
                printf(" %12.6f", seconds);
            }
        }
        printf("\n");
        fflush(stdout);
    }
    printf("%-40s %12.6f %12.6f\n", "worst of all", worstOfAll[0], worstOfAll[1]);
    TempDir_Remove(dir);
    return 0;
}
