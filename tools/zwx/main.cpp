// zwx: authors and inspects the library's data files.
#include "zwxcmd.h"

#include <cstdio>

int main(int argc, char **argv) {
    ZwxStreams io;
    const int status = Zwx_Main(argc, argv, &io);
    fwrite(io.out.data(), 1, io.out.size(), stdout);
    fflush(stdout);
    fwrite(io.err.data(), 1, io.err.size(), stderr);
    return status;
}
