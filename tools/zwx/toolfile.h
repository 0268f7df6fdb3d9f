// Whole-file input and output of the zwx tool. Output is atomic: a temporary
// file beside the target, then a rename over it, so the target holds either
// its old content or the complete new one.
#ifndef ZWX_TOOLFILE_H
#define ZWX_TOOLFILE_H

#include <cstdint>
#include <string>
#include <vector>

// False with *error set (the system's reason) when the file cannot be read.
bool ToolFile_Read(const std::string &path, std::string *content, std::string *error);

// toolfile_posix.cpp / toolfile_win32.cpp. On failure the target is as it
// was, no temporary file is left, and *error says why.
bool ToolFile_WriteAtomic(const std::string &path, const std::vector<uint8_t> &bytes,
                          std::string *error);

// The path as the library's reader takes it: UTF-8 on Windows, where the
// command line's names are in the ANSI code page; unchanged elsewhere.
std::string ToolFile_ReaderPath(const std::string &path);

#endif
