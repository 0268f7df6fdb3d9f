#include "zwx_run.h"

#include "toolfile.h"

#include <cstdio>

int Zwx_Run(int argc, const char *const *argv) {
    ZwxStreams io;
    int status = Zwx_Main(argc, argv, &io);
    std::string why;
    if (!ToolFile_WriteStdout(io.out, &why)) {
        io.err += "zwx: cannot write standard output: " + why + "\n";
        status = ZWX_EXIT_FAILED;
    }
    fwrite(io.err.data(), 1, io.err.size(), stderr);
    fflush(stderr);
    return status;
}
