// Fuzz target: the input is a data file from the field, read by zwx's
// commands. dump, check and export-po answer without fault; dump's source
// always compiles, and the file compiled from it dumps to the same source.
#include "zwxfuzz.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Fail(const char *what, const ZwxStreams &io) {
    fprintf(stderr, "zwx_data_fuzz: %s\n%s\n%s\n", what, io.out.c_str(), io.err.c_str());
    abort();
}

bool Answered(int status) {
    return status == ZWX_EXIT_OK || status == ZWX_EXIT_FINDINGS;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    ZwxStreams io;
    if (!Answered(ZwxFuzz_Run({"check", "-"}, bytes, &io))) {
        Fail("check failed", io);
    }
    if (!Answered(ZwxFuzz_Run({"export-po", "-"}, bytes, &io))) {
        Fail("export-po failed", io);
    }
    if (!Answered(ZwxFuzz_Run({"dump", "-"}, bytes, &io))) {
        Fail("dump failed", io);
    }
    const std::string source = io.out;
    // --allow-empty: a file without texts dumps to a source without any.
    if (ZwxFuzz_Run({"compile", "--allow-empty", "-", "-o", "-"}, source, &io) != ZWX_EXIT_OK) {
        Fail("dump's source does not compile", io);
    }
    const std::string rebuilt = io.out;
    if (ZwxFuzz_Run({"dump", "-"}, rebuilt, &io) != ZWX_EXIT_OK) {
        Fail("the rebuilt file has damage", io);
    }
    if (io.out != source) {
        Fail("the rebuilt file dumps to another source", io);
    }
    return 0;
}
