// Files on POSIX: paths are bytes; atomic output is an exclusive new file in
// the target's folder, written and synced, then renamed over the target.
#include "toolfile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// The temporary file being written, for the signal handler: a fixed buffer,
// since the handler may call nothing but async-signal-safe functions.
char g_pendingTemp[4096];

const int TOOLFILE_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
const size_t TOOLFILE_SIGNAL_COUNT = sizeof TOOLFILE_SIGNALS / sizeof TOOLFILE_SIGNALS[0];

struct PendingGuard {
    struct sigaction previous[TOOLFILE_SIGNAL_COUNT];
    bool installed;
};

void RemovePendingAndDie(int signal) {
    if (g_pendingTemp[0] != '\0') {
        unlink(g_pendingTemp);
    }
    // The default action, so the caller sees zwx killed by this signal.
    struct sigaction fallback;
    memset(&fallback, 0, sizeof fallback);
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

void BlockSignals(sigset_t *previous) {
    sigset_t all;
    sigemptyset(&all);
    for (int signal : TOOLFILE_SIGNALS) {
        sigaddset(&all, signal);
    }
    sigprocmask(SIG_BLOCK, &all, previous);
}

// Called with the signals blocked: from here until ForgetPending an
// interrupting SIGINT, SIGTERM, SIGHUP or SIGQUIT removes temp. A signal the
// caller ignores (nohup) stays ignored.
bool RememberPending(const std::string &temp, PendingGuard *guard) {
    memset(guard, 0, sizeof *guard);
    if (temp.size() >= sizeof g_pendingTemp) {
        return false;
    }
    memcpy(g_pendingTemp, temp.c_str(), temp.size() + 1);
    struct sigaction handler;
    memset(&handler, 0, sizeof handler);
    handler.sa_handler = RemovePendingAndDie;
    sigemptyset(&handler.sa_mask);
    for (int signal : TOOLFILE_SIGNALS) {
        sigaddset(&handler.sa_mask, signal);
    }
    for (size_t i = 0; i < TOOLFILE_SIGNAL_COUNT; ++i) {
        sigaction(TOOLFILE_SIGNALS[i], nullptr, &guard->previous[i]);
        if (guard->previous[i].sa_handler != SIG_IGN) {
            sigaction(TOOLFILE_SIGNALS[i], &handler, nullptr);
        }
    }
    guard->installed = true;
    return true;
}

void ForgetPending(PendingGuard *guard) {
    sigset_t previous;
    BlockSignals(&previous);
    g_pendingTemp[0] = '\0';
    if (guard->installed) {
        for (size_t i = 0; i < TOOLFILE_SIGNAL_COUNT; ++i) {
            sigaction(TOOLFILE_SIGNALS[i], &guard->previous[i], nullptr);
        }
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);
}

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
    // Signals wait until the temporary name is known to the handler.
    sigset_t mask;
    BlockSignals(&mask);
    PendingGuard guard;
    memset(&guard, 0, sizeof guard);
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
        const int failure = errno;
        sigprocmask(SIG_SETMASK, &mask, nullptr);
        *error = std::string("cannot create a temporary file beside it: ") + strerror(failure);
        return false;
    }
    RememberPending(temp, &guard);
    sigprocmask(SIG_SETMASK, &mask, nullptr);
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
    ForgetPending(&guard);
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
