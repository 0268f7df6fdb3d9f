// Files on Windows: UTF-8 paths opened through the UTF-16 API (tools/common's
// one conversion), so that names outside the ANSI code page work; atomic
// output is a new file in the target's folder, written and flushed, then
// moved over the target in one step. Until it is complete the new file is
// marked for deletion, so the system removes it however zwx ends: Ctrl+C
// (whose default action exits the process), a closed console, or
// TerminateProcess.
#include "toolfile.h"
#include "wtext.h"

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

// The words every command uses for the common reasons, the system's for the rest.
std::string ReasonText(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "no such file";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "another program holds it open for writing (a sharing violation)";
    default:
        return LastErrorText(code);
    }
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

// NUL, CON, COM1, \\.\pipe\name...: names the system resolves to a device
// rather than to a file in a folder. *full gets the device's name.
bool IsDevice(const std::wstring &path, std::wstring *full) {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, buffer, nullptr);
    if (length < 4 || length >= MAX_PATH) {
        return false;
    }
    full->assign(buffer, length);
    return full->compare(0, 4, L"\\\\.\\") == 0;
}

bool WriteThrough(const std::wstring &path, const std::wstring &device,
                  const std::vector<uint8_t> &bytes, std::string *error) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD failure = GetLastError();
        *error = failure == ERROR_INVALID_HANDLE && lstrcmpiW(device.c_str(), L"\\\\.\\CON") == 0
                     ? std::string("this process has no console")
                     : ReasonText(failure);
        return false;
    }
    bool ok = WriteAll(file, bytes);
    DWORD failure = ok ? 0 : GetLastError();
    if (!CloseHandle(file) && ok) {
        ok = false;
        failure = GetLastError();
    }
    if (!ok) {
        *error = ReasonText(failure);
    }
    return ok;
}

// The file a symbolic link or junction finally names; false with *error.
bool FinalPath(const std::wstring &path, std::wstring *target, std::string *error) {
    HANDLE file =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = "the link's target: " + ReasonText(GetLastError());
        return false;
    }
    wchar_t buffer[32768];
    const DWORD length = GetFinalPathNameByHandleW(file, buffer, 32768, FILE_NAME_NORMALIZED);
    const DWORD failure = GetLastError();
    CloseHandle(file);
    if (length == 0 || length >= 32768) {
        *error = "the link's target: " + ReasonText(failure);
        return false;
    }
    target->assign(buffer, length);
    return true;
}

bool SetDeleteOnClose(HANDLE file, bool remove) {
    // Not by its member's name, which some headers' DeleteFile macro renames.
    FILE_DISPOSITION_INFO disposition = {static_cast<BOOLEAN>(remove ? TRUE : FALSE)};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                      sizeof disposition) != FALSE;
}

// Whether a name that no attributes could be read for is free. Under Wine a
// POSIX symbolic link to a missing file is invisible to every query, yet a
// rename would replace the link: claiming the name tells (the claim goes again
// when the handle closes).
bool NameIsFree(const std::wstring &path) {
    HANDLE claim = CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (claim == INVALID_HANDLE_VALUE) {
        const DWORD failure = GetLastError();
        return failure != ERROR_FILE_EXISTS && failure != ERROR_ALREADY_EXISTS;
    }
    CloseHandle(claim);
    return true;
}

bool WriteAtomic(const std::wstring &target, const std::vector<uint8_t> &bytes,
                 std::string *error) {
    std::wstring temp;
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD failure = 0;
    for (unsigned attempt = 0; file == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
        // A hidden-style name beside the output, as on POSIX systems: a glob
        // such as *.ZWX never picks up what a killed zwx leaves.
        const size_t slash = target.find_last_of(L"\\/") + 1;
        temp = target.substr(0, slash) + L"." + target.substr(slash) +
               WText_Wide(".tmp-" + std::to_string(GetCurrentProcessId()) + "-" +
                          std::to_string(attempt));
        file = CreateFileW(temp.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        failure = GetLastError();
        if (file == INVALID_HANDLE_VALUE && failure != ERROR_FILE_EXISTS &&
            failure != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        *error = "cannot create a temporary file beside it: " + ReasonText(failure);
        return false;
    }
    // A file system that cannot mark it leaves the cleanup to the failure
    // paths below, as before; one that marked it must unmark it.
    const bool marked = SetDeleteOnClose(file, true);
    bool ok = WriteAll(file, bytes) && FlushFileBuffers(file) &&
              (!marked || SetDeleteOnClose(file, false));
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
        *error = ReasonText(failure);
    }
    return ok;
}

} // namespace

bool ToolFile_WriteOutput(const std::string &path, const std::vector<uint8_t> &bytes,
                          std::string *error) {
    std::wstring target;
    if (!WText_FromUtf8(path, &target) || target.empty()) {
        *error = "the name is not valid UTF-8";
        return false;
    }
    std::wstring device;
    if (IsDevice(target, &device)) {
        return WriteThrough(target, device, bytes, error);
    }
    // An existing file is replaced where its links finally lead: Wine shows a
    // POSIX symbolic link as a plain file, so the attributes cannot tell.
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (!FinalPath(target, &target, error)) {
            return false;
        }
        attributes = GetFileAttributesW(target.c_str());
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        *error = "it is a folder";
        return false;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        *error = "it is read-only (attrib -r clears the attribute)";
        return false;
    }
    if (attributes == INVALID_FILE_ATTRIBUTES && !NameIsFree(target)) {
        *error = "the name is taken by something that cannot be opened (a symbolic link to a "
                 "missing file?)";
        return false;
    }
    return WriteAtomic(target, bytes, error);
}

std::string ToolFile_WhyUnreadable(const std::string &path) {
    std::wstring wide;
    if (!WText_FromUtf8(path, &wide) || wide.empty()) {
        return "the name is not valid UTF-8";
    }
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return "it is a folder";
    }
    // The library's own sharing: other readers allowed, writers refused.
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return ReasonText(GetLastError());
    }
    CloseHandle(file);
    return std::string();
}

ToolFileSame ToolFile_Same(const std::string &a, const std::string &b) {
    BY_HANDLE_FILE_INFORMATION first;
    BY_HANDLE_FILE_INFORMATION second;
    if (!FileId(WText_Wide(a), &first) || !FileId(WText_Wide(b), &second)) {
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
    const std::wstring wide = WText_Wide(path);
    if (wide.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    return _wfopen(wide.c_str(), L"rb");
}
