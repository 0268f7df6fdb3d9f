// Files on Windows: UTF-8 paths opened through the UTF-16 API, so that names
// outside the ANSI code page work; atomic output is a new file in the
// target's folder, written and flushed, then moved over the target in one step.
#include "toolfile.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>

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

// Empty for a path that is not valid UTF-8: no file can be named by it.
std::wstring Wide(const std::string &utf8) {
    std::wstring wide;
    const int size = static_cast<int>(utf8.size());
    const int count =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (count > 0) {
        wide.resize(static_cast<size_t>(count));
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, &wide[0], count);
    }
    return wide;
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

bool FileId(const std::wstring &path, BY_HANDLE_FILE_INFORMATION *info) {
    // No access rights are needed to ask who a file is; folders need the flag.
    HANDLE file =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const BOOL ok = GetFileInformationByHandle(file, info);
    CloseHandle(file);
    return ok != FALSE;
}

} // namespace

bool ToolFile_WriteAtomic(const std::string &path, const std::vector<uint8_t> &bytes,
                          std::string *error) {
    const std::wstring target = Wide(path);
    if (target.empty()) {
        *error = "the name is not valid UTF-8";
        return false;
    }
    std::wstring temp;
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD failure = 0;
    for (unsigned attempt = 0; file == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
        temp = Wide(path + ".tmp-" + std::to_string(GetCurrentProcessId()) + "-" +
                    std::to_string(attempt));
        file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
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
    if (ok && !MoveFileExW(temp.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        failure = GetLastError();
    }
    if (!ok) {
        DeleteFileW(temp.c_str());
        *error = LastErrorText(failure);
    }
    return ok;
}

ToolFileSame ToolFile_Same(const std::string &a, const std::string &b) {
    BY_HANDLE_FILE_INFORMATION first;
    BY_HANDLE_FILE_INFORMATION second;
    if (!FileId(Wide(a), &first) || !FileId(Wide(b), &second)) {
        return TOOLFILE_DIFFERENT;
    }
    if (first.nFileIndexHigh == 0 && first.nFileIndexLow == 0) {
        return TOOLFILE_UNKNOWN; // a file system without file indexes
    }
    return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
                   first.nFileIndexHigh == second.nFileIndexHigh &&
                   first.nFileIndexLow == second.nFileIndexLow
               ? TOOLFILE_SAME
               : TOOLFILE_DIFFERENT;
}

FILE *ToolFile_OpenStream(const std::string &path) {
    const std::wstring wide = Wide(path);
    if (wide.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    return _wfopen(wide.c_str(), L"rb");
}
