// Whole-file input and output of the zwx tool. An output that is a regular
// file, or that does not exist yet, is replaced atomically: a temporary file
// beside it, then a rename over it, so it holds either its old content or the
// complete new one. A device, a FIFO or a console is written straight through
// (never replaced); a symbolic link is followed and its target replaced
// atomically beside the target, so the link stays.
//
// Paths are UTF-8 on every platform; on Windows they are opened through the
// UTF-16 file API, so names outside the ANSI code page work.
#ifndef ZWX_TOOLFILE_H
#define ZWX_TOOLFILE_H

#include "datafile.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The most zwx reads whole from one input (a source, a PO file, a data file
// from standard input): far above any catalogue (a PO file of 100,000
// entries is under 20 MiB), far below what the machine holds. A longer input,
// or an endless one (/dev/zero, a pipe that never ends), is refused once this
// much and one byte more have come, with TOOLFILE_TOO_LARGE as the reason.
const size_t TOOLFILE_INPUT_LIMIT = 64u << 20;
extern const char TOOLFILE_TOO_LARGE[];

// False with *error set (as ToolFile_WhyUnreadable says) when the file cannot
// be read, or holds more than TOOLFILE_INPUT_LIMIT bytes.
bool ToolFile_Read(const std::string &path, std::string *content, std::string *error);

// Why path cannot be opened for reading as the library opens a data file, in
// the words every command uses: "no such file", "it is a folder", another
// program holding it open for writing (Windows' sharing violation), or the
// system's reason. Empty when it can be opened.
std::string ToolFile_WhyUnreadable(const std::string &path);

// toolfile_posix.cpp / toolfile_win32.cpp. A read-only output is refused. On
// failure an existing output is as it was, no temporary file is left, and
// *error says why.
bool ToolFile_WriteOutput(const std::string &path, const std::vector<uint8_t> &bytes,
                          std::string *error);

// The process's standard input (at most TOOLFILE_INPUT_LIMIT bytes) and
// output, as bytes (binary mode on Windows).
bool ToolFile_ReadStdin(std::string *content, std::string *error);
bool ToolFile_WriteStdout(const std::string &bytes, std::string *error);

enum ToolFileSame {
    TOOLFILE_DIFFERENT, // or the second one does not exist
    TOOLFILE_SAME,      // one file, whatever the spellings of the paths
    TOOLFILE_UNKNOWN,   // the platform could not tell
};

// Whether two paths name one file: device and inode, or volume and file index.
ToolFileSame ToolFile_Same(const std::string &a, const std::string &b);

// The library's reader over a file named by a UTF-8 path, or over bytes the
// tool holds (standard input, a file just built): the same reading rules
// (tooldata.cpp). Close with ToolData_Close.
DataFile *ToolData_OpenPath(const std::string &path);
DataFile *ToolData_OpenBytes(const std::string &bytes);
void ToolData_Close(DataFile *file);

// The stdio FILE for reading path (UTF-16 name on Windows), or null.
FILE *ToolFile_OpenStream(const std::string &path);

#endif
