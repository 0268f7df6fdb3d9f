#include "tempfile.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string TempDir_Create(const std::string &suffix) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        fs::path dir = fs::temp_directory_path() / ("zwtest-" + std::to_string(stamp) + "-" +
                                                    std::to_string(counter++) + suffix);
        std::error_code error;
        if (fs::create_directories(dir, error)) {
            return dir.string();
        }
        if (error) {
            return std::string();
        }
    }
}

void TempDir_Remove(const std::string &path) {
    std::error_code error;
    if (!path.empty()) {
        fs::remove_all(path, error);
    }
}

bool File_Write(const std::string &path, const std::vector<uint8_t> &bytes) {
    FILE *f = fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

std::string Path_Join(const std::string &dir, const std::string &name) {
    return (fs::path(dir) / name).string();
}
