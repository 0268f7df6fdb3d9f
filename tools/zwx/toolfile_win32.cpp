// Atomic output on Windows: a new file in the target's folder, written and
// flushed, then moved over the target in one step.
#include "toolfile.h"

#include <windows.h>

namespace {

std::string LastErrorText(DWORD code) {
    char *text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char *>(&text), 0, nullptr);
    std::string result = length != 0 && text != nullptr ? std::string(text, length)
                                                        : "error " + std::to_string(code);
    LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' ||
                               result.back() == ' ' || result.back() == '.')) {
        result.pop_back();
    }
    return result;
}

bool WriteAll(HANDLE file, const std::vector<uint8_t> &bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const size_t left = bytes.size() - done;
        const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
        DWORD wrote = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0) {
            return false;
        }
        done += wrote;
    }
    return true;
}

} // namespace

bool ToolFile_WriteAtomic(const std::string &path, const std::vector<uint8_t> &bytes,
                          std::string *error) {
    std::string temp;
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD failure = 0;
    for (unsigned attempt = 0; file == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
        temp =
            path + ".tmp-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt);
        file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        failure = GetLastError();
        if (file == INVALID_HANDLE_VALUE && failure != ERROR_FILE_EXISTS &&
            failure != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        *error = "cannot create a temporary file beside it: " + LastErrorText(failure);
        return false;
    }
    bool ok = WriteAll(file, bytes) && FlushFileBuffers(file);
    failure = ok ? 0 : GetLastError();
    if (!CloseHandle(file) && ok) {
        ok = false;
        failure = GetLastError();
    }
    if (ok && !MoveFileExA(temp.c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        failure = GetLastError();
    }
    if (!ok) {
        DeleteFileA(temp.c_str());
        *error = LastErrorText(failure);
    }
    return ok;
}

std::string ToolFile_ReaderPath(const std::string &path) {
    // A name that does not convert opens nothing: an empty path names no file.
    const int units =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.c_str(), -1, nullptr, 0);
    if (units <= 0) {
        return std::string();
    }
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.c_str(), -1, &wide[0], units);
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return std::string();
    }
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &utf8[0], bytes, nullptr, nullptr);
    utf8.resize(utf8.size() - 1);
    return utf8;
}
