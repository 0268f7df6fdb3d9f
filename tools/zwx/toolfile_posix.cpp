// Files on POSIX: paths are bytes; atomic output is an exclusive new file in
// the target's folder, written and synced, then renamed over the target.
#include "toolfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Links followed by hand before giving up, as the kernel's own limit.
const int TOOLFILE_MAX_LINKS = 40;

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

// The path that path's symbolic links lead to, the last one possibly not
// existing yet (a dangling link names the file to create). False with errno.
bool FollowLinks(const std::string &path, std::string *target) {
    std::string at = path;
    for (int hop = 0; hop < TOOLFILE_MAX_LINKS; ++hop) {
        struct stat info;
        if (lstat(at.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            *target = at;
            return true;
        }
        char buffer[4096];
        const ssize_t length = readlink(at.c_str(), buffer, sizeof buffer);
        if (length < 0) {
            return false;
        }
        if (static_cast<size_t>(length) >= sizeof buffer) {
            errno = ENAMETOOLONG;
            return false;
        }
        std::string link(buffer, static_cast<size_t>(length));
        const size_t slash = at.rfind('/');
        if (link[0] != '/' && slash != std::string::npos) {
            link = at.substr(0, slash + 1) + link;
        }
        at = link;
    }
    errno = ELOOP;
    return false;
}

// A device, FIFO or terminal: opened as it is and written, never replaced.
bool WriteThrough(const std::string &path, const std::vector<uint8_t> &bytes, std::string *error) {
    const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *error = strerror(errno);
        return false;
    }
    bool ok = WriteAll(fd, bytes);
    int failure = ok ? 0 : errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        failure = errno;
    }
    if (!ok) {
        *error = strerror(failure);
    }
    return ok;
}

bool WriteAtomic(const std::string &path, const std::vector<uint8_t> &bytes, std::string *error) {
    std::string temp;
    int fd = -1;
    for (unsigned attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        // A hidden name beside the output: a glob such as *.ZWX never picks
        // up what a killed zwx leaves.
        const size_t slash = path.rfind('/') + 1;
        temp = path.substr(0, slash) + "." + path.substr(slash) + ".tmp-" +
               std::to_string(getpid()) + "-" + std::to_string(attempt);
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        *error = std::string("cannot create a temporary file beside it: ") + strerror(errno);
        return false;
    }
    // A replaced file keeps its permissions, and its owner and group where
    // zwx may give them (as root); a new one follows the umask.
    struct stat old;
    const bool replaced = stat(path.c_str(), &old) == 0;
    if (replaced && fchown(fd, old.st_uid, old.st_gid) != 0) {
        (void)fchown(fd, static_cast<uid_t>(-1), old.st_gid); // the group alone, if ours
    }
    bool ok = (!replaced || fchmod(fd, old.st_mode & 07777) == 0) && WriteAll(fd, bytes) &&
              fsync(fd) == 0;
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

} // namespace

bool ToolFile_WriteOutput(const std::string &path, const std::vector<uint8_t> &bytes,
                          std::string *error) {
    // What the path finally names, through every link: only a regular file
    // may be replaced by a rename.
    struct stat info;
    const bool exists = stat(path.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
        return WriteThrough(path, bytes, error);
    }
    if (exists && S_ISDIR(info.st_mode)) {
        *error = "it is a folder";
        return false;
    }
    if (exists && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        *error = "it is read-only (chmod u+w lets zwx replace it)";
        return false;
    }
    if (exists && access(path.c_str(), W_OK) != 0) {
        *error = strerror(errno);
        return false;
    }
    std::string target;
    if (!FollowLinks(path, &target)) {
        *error = strerror(errno);
        return false;
    }
    return WriteAtomic(target, bytes, error);
}

std::string ToolFile_WhyUnreadable(const std::string &path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        return errno == ENOENT ? std::string("no such file") : std::string(strerror(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        return "it is a folder";
    }
    const int fd = open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return strerror(errno);
    }
    close(fd);
    return std::string();
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
