// Win32 backend of the file seam: the global heap and the UTF-16 file API,
// with paths in UTF-8, so that a file of any name can be opened.
#include "fileio.h"

#include <windows.h>

namespace {

void *Win32AllocZero(size_t size) {
    // GPTR is fixed and zero-initialised: the handle is the pointer.
    return GlobalAlloc(GPTR, size != 0 ? size : 1);
}

void Win32Free(void *block) {
    if (block != nullptr) {
        GlobalFree(GlobalHandle(block));
    }
}

FileIo_Handle Win32Open(const char *path) {
    // Longer paths than the reader takes are refused; invalid UTF-8 names no file.
    wchar_t wide[1024];
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide, 1024) == 0) {
        return FILEIO_INVALID_HANDLE;
    }
    HANDLE h = CreateFileW(wide, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return FILEIO_INVALID_HANDLE;
    }
    return reinterpret_cast<FileIo_Handle>(h);
}

bool Win32Size(FileIo_Handle file, uint32_t *size) {
    DWORD low = GetFileSize(reinterpret_cast<HANDLE>(file), nullptr);
    if (low == INVALID_FILE_SIZE) {
        return false;
    }
    *size = low;
    return true;
}

bool Win32Read(FileIo_Handle file, void *destination, uint32_t count, uint32_t *delivered) {
    DWORD got = 0;
    BOOL ok = ReadFile(reinterpret_cast<HANDLE>(file), destination, count, &got, nullptr);
    *delivered = ok ? got : 0;
    return ok != FALSE;
}

bool Win32Seek(FileIo_Handle file, uint32_t offset) {
    // No high part: offsets of 2 GiB and above are negative distances and fail.
    DWORD pos = SetFilePointer(reinterpret_cast<HANDLE>(file), static_cast<LONG>(offset), nullptr,
                               FILE_BEGIN);
    return pos != INVALID_SET_FILE_POINTER;
}

void Win32Close(FileIo_Handle file) {
    CloseHandle(reinterpret_cast<HANDLE>(file));
}

} // namespace

FileIo g_fileIo = {Win32AllocZero, Win32Free, Win32Open, Win32Size,
                   Win32Read,      Win32Seek, Win32Close};
