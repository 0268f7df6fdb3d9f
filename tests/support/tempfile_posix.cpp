#include "tempfile.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
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

bool File_WriteSparse(const std::string &path, uint64_t size,
                      const std::vector<FilePiece> &pieces) {
    if (!File_Write(path, {})) {
        return false;
    }
    std::error_code error;
    fs::resize_file(path, size, error);
    if (error) {
        return false;
    }
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    for (const FilePiece &piece : pieces) {
        file.seekp(static_cast<std::streamoff>(piece.offset));
        file.write(reinterpret_cast<const char *>(piece.bytes.data()),
                   static_cast<std::streamsize>(piece.bytes.size()));
    }
    file.close();
    return !file.fail();
}

std::string Path_Join(const std::string &dir, const std::string &name) {
    return (fs::path(dir) / name).string();
}
