// Temporary folders and files through the Win32 API, which every Windows
// toolchain has (the MSVC-mode one has no compiled std::filesystem). Folders
// are removed through the UTF-16 API, as tests put names there that the ANSI
// code page cannot hold.
#include "tempfile.h"

#include <windows.h>

namespace {

std::wstring Widen(const std::string &ansi) {
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
    if (length <= 1) {
        return std::wstring();
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

void RemoveTree(const std::wstring &folder) {
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring path = folder + L"\\" + name;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

bool WriteAll(HANDLE file, const uint8_t *bytes, size_t size) {
    while (size > 0) {
        const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD wrote = 0;
        if (!WriteFile(file, bytes, chunk, &wrote, nullptr) || wrote != chunk) {
            return false;
        }
        bytes += chunk;
        size -= chunk;
    }
    return true;
}

} // namespace

std::string TempDir_Create(const std::string &suffix) {
    static volatile LONG counter = 0;
    char base[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(MAX_PATH + 1, base);
    if (length == 0 || length > MAX_PATH) {
        return std::string();
    }
    const std::string stamp =
        std::to_string(GetTickCount64()) + "-" + std::to_string(GetCurrentProcessId());
    for (;;) {
        const std::string dir =
            std::string(base) + "zwtest-" + stamp + "-" +
            std::to_string(static_cast<unsigned>(InterlockedIncrement(&counter))) + suffix;
        if (CreateDirectoryA(dir.c_str(), nullptr)) {
            return dir;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            return std::string();
        }
    }
}

void TempDir_Remove(const std::string &path) {
    if (!path.empty()) {
        RemoveTree(Widen(path));
    }
}

bool File_Write(const std::string &path, const std::vector<uint8_t> &bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool ok = WriteAll(file, bytes.data(), bytes.size());
    return CloseHandle(file) != FALSE && ok;
}

bool File_WriteSparse(const std::string &path, uint64_t size,
                      const std::vector<FilePiece> &pieces) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD ignored = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(size);
    bool ok = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    for (const FilePiece &piece : pieces) {
        at.QuadPart = static_cast<LONGLONG>(piece.offset);
        ok = ok && SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
             WriteAll(file, piece.bytes.data(), piece.bytes.size());
    }
    return CloseHandle(file) != FALSE && ok;
}

std::string Path_Join(const std::string &dir, const std::string &name) {
    if (dir.empty() || dir.back() == '\\' || dir.back() == '/') {
        return dir + name;
    }
    return dir + "\\" + name;
}
