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
// A file of size bytes that holds nothing but the pieces given (offset, bytes),
// sparse where the file system allows: files of gigabytes take no room.
struct FilePiece {
    uint64_t offset;
    std::vector<uint8_t> bytes;
};
bool File_WriteSparse(const std::string &path, uint64_t size, const std::vector<FilePiece> &pieces);

std::string Path_Join(const std::string &dir, const std::string &name);

#endif
