// What zwx's fuzz targets share: zwx run in-process on bytes as its input.
#ifndef ZW_FUZZ_ZWXFUZZ_H
#define ZW_FUZZ_ZWXFUZZ_H

#include "zwxcmd.h"

#include <initializer_list>
#include <string>
#include <vector>

// zwx with these arguments, "-" reading input; the output lands in io.
inline int ZwxFuzz_Run(std::initializer_list<const char *> args, const std::string &input,
                       ZwxStreams *io) {
    std::vector<const char *> argv = {"zwx"};
    argv.insert(argv.end(), args.begin(), args.end());
    *io = ZwxStreams();
    io->in = input;
    io->inSet = true;
    return Zwx_Main(static_cast<int>(argv.size()), argv.data(), io);
}

#endif
