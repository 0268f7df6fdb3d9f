#include "toolfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

const char TOOLFILE_TOO_LARGE[] = "it holds more than 64 MiB (67108864 bytes), the most zwx "
                                  "reads of one input";
static_assert(TOOLFILE_INPUT_LIMIT == 67108864u, "TOOLFILE_TOO_LARGE names the limit");

namespace {

bool ReadStream(FILE *f, std::string *content, std::string *error) {
    char buffer[65536];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, f)) > 0) {
        content->append(buffer, got);
        if (content->size() > TOOLFILE_INPUT_LIMIT) {
            content->clear();
            content->shrink_to_fit();
            *error = TOOLFILE_TOO_LARGE;
            return false;
        }
    }
    // A folder opens on some systems and fails only here.
    if (ferror(f) != 0) {
        *error = strerror(errno != 0 ? errno : EIO);
        return false;
    }
    return true;
}

} // namespace

bool ToolFile_Read(const std::string &path, std::string *content, std::string *error) {
    content->clear();
    errno = 0;
    FILE *f = ToolFile_OpenStream(path);
    const int failure = errno;
    bool ok = f != nullptr && ReadStream(f, content, error);
    if (f != nullptr) {
        fclose(f);
    }
    if (!ok && *error != TOOLFILE_TOO_LARGE) {
        // The words every command uses, where the system gives a reason.
        const std::string why = ToolFile_WhyUnreadable(path);
        if (!why.empty()) {
            *error = why;
        } else if (f == nullptr) {
            *error = strerror(failure != 0 ? failure : ENOENT);
        }
    }
    return ok;
}

bool ToolFile_ReadStdin(std::string *content, std::string *error) {
    content->clear();
    errno = 0;
    return ReadStream(stdin, content, error);
}

bool ToolFile_WriteStdout(const std::string &bytes, std::string *error) {
    errno = 0;
    const bool wrote = fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
    // A full disk or a closed pipe often shows only when the buffer is flushed.
    if (fflush(stdout) != 0 || !wrote || ferror(stdout) != 0) {
        *error = strerror(errno != 0 ? errno : EIO);
        return false;
    }
    return true;
}
