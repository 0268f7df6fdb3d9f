// Files and folders the tests write, removed again when the test ends.
#ifndef ZW_TESTS_TEMPFILE_H
#define ZW_TESTS_TEMPFILE_H

#include <cstdint>
#include <string>
#include <vector>

// A fresh, empty folder under the system's temporary folder (suffix is part of its name).
std::string TempDir_Create(const std::string &suffix);
void TempDir_Remove(const std::string &path);

bool File_Write(const std::string &path, const std::vector<uint8_t> &bytes);
std::string Path_Join(const std::string &dir, const std::string &name);

#endif
