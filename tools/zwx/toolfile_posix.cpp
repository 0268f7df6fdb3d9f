// Files on POSIX: paths are bytes; atomic output is an exclusive new file in
// the target's folder, written and synced, then renamed over the target.
#include "toolfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

bool WriteAll(int fd, const std::vector<uint8_t> &bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    return true;
}

} // namespace

bool ToolFile_WriteAtomic(const std::string &path, const std::vector<uint8_t> &bytes,
                          std::string *error) {
    std::string temp;
    int fd = -1;
    for (unsigned attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = path + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        *error = std::string("cannot create a temporary file beside it: ") + strerror(errno);
        return false;
    }
    // A replaced file keeps its permissions; a new one follows the umask.
    struct stat old;
    bool ok = (stat(path.c_str(), &old) != 0 || fchmod(fd, old.st_mode & 07777) == 0) &&
              WriteAll(fd, bytes) && fsync(fd) == 0;
    int failure = ok ? 0 : errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        failure = errno;
    }
    if (ok && rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        failure = errno;
    }
    if (!ok) {
        unlink(temp.c_str());
        *error = strerror(failure);
    }
    return ok;
}

ToolFileSame ToolFile_Same(const std::string &a, const std::string &b) {
    struct stat first;
    struct stat second;
    if (stat(a.c_str(), &first) != 0 || stat(b.c_str(), &second) != 0) {
        return TOOLFILE_DIFFERENT;
    }
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino ? TOOLFILE_SAME
                                                                          : TOOLFILE_DIFFERENT;
}

FILE *ToolFile_OpenStream(const std::string &path) {
    return fopen(path.c_str(), "rb");
}
