// Between attach and detach the table is read-only and lookups may come from
// any number of host threads at once. A ThreadSanitizer check: a write the
// lookups share changes no answer here, only ThreadSanitizer reports it, so
// this is built and run only with -fsanitize=thread (scripts/test-hardening
// tsan), where a report ends the run with a failure.
#include "datafile.h"
#include "errmsg.h"
#include "tempfile.h"
#include "zwxwrite.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <string>
#include <thread>
#include <vector>

namespace {

#if defined(__SANITIZE_THREAD__)
const bool kUnderThreadSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
const bool kUnderThreadSanitizer = true;
#else
const bool kUnderThreadSanitizer = false;
#endif
#else
const bool kUnderThreadSanitizer = false;
#endif

TEST(LookupThreadsTsan, ManyThreadsLookUpTheLoadedTableAtOnce) {
    ASSERT_TRUE(kUnderThreadSanitizer) << "without ThreadSanitizer this check sees no race";
    std::vector<ZwxEntry> entries;
    for (int code = 0; code < 16; code += 2) { // odd codes fall back
        char key[16];
        snprintf(key, sizeof key, "ERMSG_%02d", code);
        entries.push_back({key, "text " + std::to_string(code)});
    }
    entries.push_back({"ERMSG_XX", "fallback"});
    const std::string dir = TempDir_Create("");
    const std::string path = Path_Join(dir, "ZEDWIC_D.ZWX");
    ASSERT_TRUE(File_Write(path, Zwx_Build({{"QORBA_ErrMsg", entries}}, nullptr)));
    DataFile *file = DataFile_Open(path.c_str());
    ASSERT_NE(file, nullptr);
    ErrMsg_Load(file);
    DataFile_Close(file);

    const int32_t codes[] = {-1, 0, 1, 2, 7, 14, 15, 16, 99, INT32_MIN, INT32_MAX};
    const int kThreads = 8;
    std::atomic<bool> go{false};
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            while (!go.load()) {
                std::this_thread::yield();
            }
            for (int round = 0; round < 20000; ++round) {
                const int32_t code =
                    codes[static_cast<size_t>(round + t) % (sizeof codes / sizeof codes[0])];
                const std::string text = VOLQUAD_GetErrorMsg(code);
                const bool own = code >= 0 && code < 16 && code % 2 == 0;
                if (text != (own ? "text " + std::to_string(code) : "fallback")) {
                    ++wrong;
                }
            }
        });
    }
    go = true;
    for (std::thread &thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong.load(), 0);
    ErrMsg_Free();
    TempDir_Remove(dir);
}

} // namespace
