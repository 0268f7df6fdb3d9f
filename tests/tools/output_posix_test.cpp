// -o on POSIX: only a regular file (or a new name) is replaced by a rename; a
// device or a FIFO is written through and stays what it is; a symbolic link
// stays and its target gets the new content; a read-only file is refused.
// Devices are nodes made in the test's own folder, never the system's.
// And inputs that never end: /dev/zero, a pipe whose writer never stops.
#include "toolfile.h"
#include "zwxtest.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>

namespace {

namespace fs = std::filesystem;

const char kSource[] = "[QORBA_ErrMsg]\nERMSG_00=Paper jam\nERMSG_XX=Unknown error\n";

class OutputTest : public ZwxTest {
  protected:
    void SetUp() override {
        ZwxTest::SetUp();
        source_ = Write("msg.src", std::string(kSource));
        expected_ = Compile(kSource);
        fs::remove(Path("out.zwx"));
    }
    int CompileTo(const std::string &output) {
        return Run({"compile", source_, "-o", output});
    }
    // Names in a folder, to see that no temporary file stays behind.
    std::vector<std::string> Names(const std::string &folder) const {
        std::vector<std::string> names;
        for (const fs::directory_entry &entry : fs::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string source_;
    std::string expected_;
};

// A node of the given device numbers in the test folder; "" when this
// process may not make one (not root).
std::string MakeDevice(const std::string &path, unsigned major, unsigned minor) {
    return mknod(path.c_str(), S_IFCHR | 0666, makedev(major, minor)) == 0 ? path : "";
}

bool IsCharDevice(const std::string &path, unsigned major, unsigned minor) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode) &&
           info.st_rdev == makedev(major, minor);
}

TEST_F(OutputTest, ADeviceIsWrittenThroughAndStaysADevice) {
    // The numbers of the null and the full device.
    const std::string null = MakeDevice(Path("null"), 1, 3);
    const std::string full = MakeDevice(Path("full"), 1, 7);
    if (null.empty() || full.empty()) {
        GTEST_SKIP() << "mknod needs root";
    }
    EXPECT_EQ(CompileTo(null), ZWX_EXIT_OK) << io_.err;
    EXPECT_TRUE(IsCharDevice(null, 1, 3));
    EXPECT_EQ(Run({"dump", Write("data.zwx", expected_), "-o", null}), ZWX_EXIT_OK) << io_.err;
    EXPECT_TRUE(IsCharDevice(null, 1, 3));

    EXPECT_EQ(CompileTo(full), ZWX_EXIT_FAILED);
    EXPECT_EQ(io_.err, "zwx: cannot write " + full + ": " + strerror(ENOSPC) + "\n");
    EXPECT_TRUE(IsCharDevice(full, 1, 7));
    EXPECT_EQ(Names(dir_),
              (std::vector<std::string>{"data.zwx", "full", "in.src", "msg.src", "null"}));
}

TEST_F(OutputTest, AFifoIsWrittenThroughToItsReader) {
    const std::string fifo = Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A reader that never blocks: the data file fits the pipe's buffer, and a
    // FIFO that nobody wrote reads as empty rather than hanging the test.
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(CompileTo(fifo), ZWX_EXIT_OK) << io_.err;
    std::string received;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(reader, buffer, sizeof buffer)) > 0) {
        received.append(buffer, static_cast<size_t>(got));
    }
    close(reader);
    EXPECT_EQ(received, expected_);
    struct stat info;
    ASSERT_EQ(lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST_F(OutputTest, ALinkStaysAndItsTargetIsReplaced) {
    fs::create_directory(Path("real"));
    fs::create_directory(Path("links"));
    Write("real/data.zwx", std::string("old"));
    fs::create_symlink("../real/data.zwx", Path("links/relative"));
    fs::create_symlink(Path("links/relative"), Path("links/chain"));
    fs::create_symlink("../real/new.zwx", Path("links/dangling"));
    for (const char *link : {"links/relative", "links/chain", "links/dangling"}) {
        EXPECT_EQ(CompileTo(Path(link)), ZWX_EXIT_OK) << link << io_.err;
        EXPECT_TRUE(fs::is_symlink(Path(link))) << link;
    }
    EXPECT_EQ(Read("real/data.zwx"), expected_);
    EXPECT_EQ(Read("real/new.zwx"), expected_) << "a dangling link names the file to create";
    EXPECT_EQ(Names(Path("real")), (std::vector<std::string>{"data.zwx", "new.zwx"}));
    EXPECT_EQ(Names(Path("links")), (std::vector<std::string>{"chain", "dangling", "relative"}));

    fs::create_symlink("loop", Path("loop"));
    EXPECT_EQ(CompileTo(Path("loop")), ZWX_EXIT_FAILED);
    EXPECT_TRUE(fs::is_symlink(Path("loop")));
}

// A zwx interrupted while it writes removes its temporary file and dies of
// the signal. The child is traced only to stop it on its way into fsync of
// the temporary file, the moment the signal is sent; then it runs untraced.
TEST_F(OutputTest, AnInterruptedWriteLeavesNoTemporaryFile) {
    const std::vector<std::string> before = Names(Path(""));
    for (int sig : {SIGTERM, SIGINT}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::signal(SIGINT, SIG_DFL); // as from a terminal, even under a runner that ignores it
            if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) {
                _exit(77);
            }
            raise(SIGSTOP);
            _exit(CompileTo(Path("out.zwx")));
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 77) {
            GTEST_SKIP() << "this system does not let a test trace its child";
        }
        ASSERT_TRUE(WIFSTOPPED(status));
        ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
        bool sent = false;
        int deliver = 0;
        while (!sent) {
            ASSERT_EQ(ptrace(PTRACE_SYSCALL, child, nullptr, deliver), 0);
            ASSERT_EQ(waitpid(child, &status, 0), child);
            if (!WIFSTOPPED(status)) {
                break;
            }
            deliver = WSTOPSIG(status) == (SIGTRAP | 0x80) ? 0 : WSTOPSIG(status);
            __ptrace_syscall_info info;
            memset(&info, 0, sizeof info);
            if (deliver == 0 && ptrace(PTRACE_GET_SYSCALL_INFO, child, sizeof info, &info) > 0 &&
                info.op == PTRACE_SYSCALL_INFO_ENTRY && info.entry.nr == SYS_fsync) {
                kill(child, sig);
                ptrace(PTRACE_DETACH, child, nullptr, 0);
                ASSERT_EQ(waitpid(child, &status, 0), child);
                sent = true;
            }
        }
        EXPECT_TRUE(sent) << "zwx wrote no file";
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << sig << " " << status;
        EXPECT_EQ(Names(Path("")), before) << sig;
    }
}

TEST_F(OutputTest, AReadOnlyOutputIsRefusedEvenForRoot) {
    const std::string out = Write("ro.zwx", std::string("old"));
    fs::create_symlink(out, Path("ro-link"));
    ASSERT_EQ(chmod(out.c_str(), 0444), 0);
    for (const std::string &output : {out, Path("ro-link")}) {
        EXPECT_EQ(CompileTo(output), ZWX_EXIT_FAILED);
        EXPECT_EQ(io_.err, "zwx: cannot write " + output +
                               ": it is read-only (chmod u+w lets zwx replace it)\n");
    }
    EXPECT_EQ(Read("ro.zwx"), "old");
    EXPECT_TRUE(fs::is_symlink(Path("ro-link")));
    // Its permissions are kept once it may be replaced.
    ASSERT_EQ(chmod(out.c_str(), 0640), 0);
    EXPECT_EQ(CompileTo(out), ZWX_EXIT_OK) << io_.err;
    EXPECT_EQ(fs::status(out).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Read("ro.zwx"), expected_);
}

// An endless input stops every command that reads it whole at the input
// limit, with the limit named, and nothing written.
TEST_F(OutputTest, AnEndlessInputStopsAtTheLimit) {
    const std::string limit = "more than 64 MiB (67108864 bytes), the most zwx reads of one input";
    EXPECT_EQ(Run({"compile", "/dev/zero", "-o", Path("zero.zwx")}), ZWX_EXIT_FAILED);
    EXPECT_EQ(io_.err, "zwx: cannot read /dev/zero: it holds " + limit + "\n");
    EXPECT_FALSE(fs::exists(Path("zero.zwx")));

    // A pipe whose writer stops only when the reader has gone: zwx reads
    // little more than the limit of it, and stops.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    struct sigaction ignore = {};
    struct sigaction before = {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(sigaction(SIGPIPE, &ignore, &before), 0);
    std::atomic<uint64_t> written{0};
    std::thread writer([&] {
        const std::string block(65536, 'x');
        for (;;) {
            const ssize_t wrote = write(ends[1], block.data(), block.size());
            if (wrote <= 0) {
                break;
            }
            written += static_cast<uint64_t>(wrote);
        }
    });
    const std::string endless = "/dev/fd/" + std::to_string(ends[0]);
    EXPECT_EQ(Run({"compile-po", endless, "-o", Path("pipe.zwx")}), ZWX_EXIT_FAILED);
    const std::string said = "zwx: cannot read " + endless + ": it holds " + limit + "\n";
    EXPECT_EQ(io_.err.substr(0, said.size()), said);
    close(ends[0]);
    writer.join();
    close(ends[1]);
    sigaction(SIGPIPE, &before, nullptr);
    EXPECT_GT(written.load(), TOOLFILE_INPUT_LIMIT);
    EXPECT_LT(written.load(), TOOLFILE_INPUT_LIMIT + (4u << 20))
        << "read no further than the limit";
    EXPECT_FALSE(fs::exists(Path("pipe.zwx")));
}

// A replaced file keeps its owner and group where zwx may set them (as root),
// and nothing but the output is left in its folder.
TEST_F(OutputTest, AReplacedFileKeepsItsOwnerAndGroup) {
    const std::string out = Write("owned.zwx", std::string("old"));
    const bool root = geteuid() == 0;
    const uid_t owner = root ? 4321 : geteuid();
    const gid_t group = root ? 4322 : getegid();
    ASSERT_EQ(chown(out.c_str(), owner, group), 0);
    EXPECT_EQ(CompileTo(out), ZWX_EXIT_OK) << io_.err;
    struct stat info;
    ASSERT_EQ(stat(out.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, owner);
    EXPECT_EQ(info.st_gid, group);
    EXPECT_EQ(Read("owned.zwx"), expected_);
}

} // namespace
