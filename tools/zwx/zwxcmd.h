// The commands of the zwx tool. Each one collects what it prints in a
// ZwxStreams and returns the exit status, so that tests run them in-process.
#ifndef ZWX_ZWXCMD_H
#define ZWX_ZWXCMD_H

#include "datafile.h"
#include "zwxwrite.h"

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
};

int ZwxCmd_Compile(const std::string &sourcePath, const std::string &outputPath, uint32_t codePage,
                   ZwxStreams *io);
int ZwxCmd_Dump(const std::string &path, uint32_t codePage, ZwxStreams *io);
int ZwxCmd_Check(const std::string &path, uint32_t codePage, ZwxStreams *io);

// The commands with every option; a code page the data file or source states
// is used unless options.codePage names one.
int ZwxCmd_CompileWith(const std::string &sourcePath, const ZwxOptions &options, ZwxStreams *io);
int ZwxCmd_DumpWith(const std::string &path, const ZwxOptions &options, ZwxStreams *io);
int ZwxCmd_CheckWith(const std::string &path, const ZwxOptions &options, ZwxStreams *io);

// PO files for translators (po_cmd.cpp).
int ZwxCmd_PoExport(const std::string &path, const ZwxOptions &options, ZwxStreams *io);
int ZwxCmd_PoCompile(const std::string &poPath, const ZwxOptions &options, ZwxStreams *io);
int ZwxCmd_PoCompare(const std::string &referencePath, const std::string &poPath,
                     const ZwxOptions &options, ZwxStreams *io);

// The whole command line, argv[0] included. Paths are UTF-8 on Windows.
int Zwx_Main(int argc, const char *const *argv, ZwxStreams *io);

// Why a file did not open, for "zwx: cannot read ...: <why>", as every command says it.
std::string ZwxCmd_OpenFailure(const std::string &path);

// What check warns about in an open data file, in the order it reports them.
// entry is the 0-based index of the message section's entry a finding is
// about, or ZWX_NO_ENTRY.
const uint32_t ZWX_NO_ENTRY = 0xFFFFFFFFu;
struct ZwxFinding {
    uint32_t entry;
    std::string text;
};
std::vector<ZwxFinding> ZwxCmd_CheckFindings(DataFile *file, uint32_t codePage);

// The code page to show a data file's texts in: options.codePage when given,
// else the one the file records, else the default. Notes a conflict or an
// unknown record in io->err.
uint32_t ZwxCmd_FileCodePage(DataFile *file, const std::string &path, const ZwxOptions &options,
                             ZwxStreams *io);

// A path as messages name it: "-" is "<stdin>", or "<stdout>" as an output.
std::string ZwxCmd_Label(const std::string &path);
std::string ZwxCmd_OutputLabel(const std::string &path);

// Shared by the commands. The text of a file, or of standard input for "-";
// false after saying why in io->err.
bool ZwxCmd_ReadInput(const std::string &path, ZwxStreams *io, std::string *text);
// False, said in io->err, when output is input itself (or may be).
bool ZwxCmd_CheckOutput(const std::string &input, const std::string &output, ZwxStreams *io);
// Where in the input each section and each of its entries begins.
struct ZwxLines {
    std::vector<size_t> sections;             // 0: no line of its own
    std::vector<std::vector<size_t>> entries; // per section
};
// Builds a data file recording codePage and writes it to options.output.
// What check would warn about goes to io->err as name:LINE: warnings (the
// line where lines are given), or as errors that stop the write when
// options.strict.
int ZwxCmd_WriteData(const std::vector<ZwxSection> &sections, uint32_t codePage,
                     const std::string &name, const ZwxOptions &options, const ZwxLines *lines,
                     ZwxStreams *io);
// A data file named by path, or read from standard input for "-" into *held
// (keep it until ToolData_Close); null after saying why in io->err.
DataFile *ZwxCmd_OpenData(const std::string &path, ZwxStreams *io, std::string *held);
// A text file's content to options.output ("-" or none: standard output).
int ZwxCmd_WriteText(const std::string &text, const ZwxOptions &options, ZwxStreams *io);

#endif
