// The commands of the zwx tool. Each one collects what it prints in a
// ZwxStreams and returns the exit status, so that tests run them in-process.
#ifndef ZWX_ZWXCMD_H
#define ZWX_ZWXCMD_H

#include <cstdint>
#include <string>
#include <vector>

struct ZwxStreams {
    std::string out;
    std::string err;
    // What the file name "-" reads: this text when inSet, else the process's
    // standard input.
    std::string in;
    bool inSet = false;
};

const int ZWX_EXIT_OK = 0;
const int ZWX_EXIT_FINDINGS = 1; // source errors, damage, warnings
const int ZWX_EXIT_FAILED = 2;   // bad command line, unreadable or unwritable file

// The file name that means standard input, or standard output after -o.
const char ZWX_STDIO[] = "-";

struct ZwxOptions {
    std::string output;      // -o; "-" is standard output; empty: none given
    uint32_t codePage = 0;   // --codepage; 0: not given
    bool strict = false;     // compile --check
    std::string translation; // po-export --translation: the translated data file
    bool allowEmpty = false; // --allow-empty: a catalogue without messages is no error
};

// The commands, as the command line names them. files are the command's
// operands (compare-po: two, the others one); a code page the data file or
// source states is used unless options.codePage names one.
int ZwxCmd_Compile(const std::vector<std::string> &files, const ZwxOptions &options,
                   ZwxStreams *io);
int ZwxCmd_Dump(const std::vector<std::string> &files, const ZwxOptions &options, ZwxStreams *io);
int ZwxCmd_Check(const std::vector<std::string> &files, const ZwxOptions &options, ZwxStreams *io);
int ZwxCmd_ExportPo(const std::vector<std::string> &files, const ZwxOptions &options,
                    ZwxStreams *io);
int ZwxCmd_CompilePo(const std::vector<std::string> &files, const ZwxOptions &options,
                     ZwxStreams *io);
int ZwxCmd_ComparePo(const std::vector<std::string> &files, const ZwxOptions &options,
                     ZwxStreams *io);

// The whole command line, argv[0] included. Paths are UTF-8 on Windows.
int Zwx_Main(int argc, const char *const *argv, ZwxStreams *io);

#endif
