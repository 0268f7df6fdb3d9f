#include "toolfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

bool ToolFile_Read(const std::string &path, std::string *content, std::string *error) {
    content->clear();
    FILE *f = fopen(path.c_str(), "rb");
    if (f == nullptr) {
        *error = strerror(errno);
        return false;
    }
    char buffer[65536];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, f)) > 0) {
        content->append(buffer, got);
    }
    // A folder opens on some systems and fails only here.
    const bool failed = ferror(f) != 0;
    const int readErrno = errno;
    fclose(f);
    if (failed) {
        *error = strerror(readErrno != 0 ? readErrno : EIO);
        return false;
    }
    return true;
}
