// The commands of the zwx tool. Each one collects what it prints in a
// ZwxStreams and returns the exit status, so that tests run them in-process.
#ifndef ZWX_ZWXCMD_H
#define ZWX_ZWXCMD_H

#include <cstdint>
#include <string>

struct ZwxStreams {
    std::string out;
    std::string err;
};

const int ZWX_EXIT_OK = 0;
const int ZWX_EXIT_FINDINGS = 1; // source errors, damage, warnings
const int ZWX_EXIT_FAILED = 2;   // bad command line, unreadable or unwritable file

int ZwxCmd_Compile(const std::string &sourcePath, const std::string &outputPath, uint32_t codePage,
                   ZwxStreams *io);
int ZwxCmd_Dump(const std::string &path, uint32_t codePage, ZwxStreams *io);
int ZwxCmd_Check(const std::string &path, uint32_t codePage, ZwxStreams *io);

// The whole command line, argv[0] included.
int Zwx_Main(int argc, const char *const *argv, ZwxStreams *io);

// Why a data file did not open, for "zwx: cannot open ...: <why>".
std::string ZwxCmd_OpenFailure(const std::string &path);

#endif
