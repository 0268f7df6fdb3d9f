// The library's reader over what zwx opens: its platform file calls are
// wrapped while zwx holds a data file, so that a file named by a UTF-8 path
// (UTF-16 API on Windows) and bytes in memory read exactly as the library
// reads a file. Only the open and the calls on the handles zwx gave are
// changed; the heap calls stay the library's.
#include "toolfile.h"

#include <cstring>

namespace {

struct Memory {
    const std::string *bytes;
    uint32_t position;
};

FileIo g_saved;
unsigned g_depth = 0;
const std::string *g_pendingBytes = nullptr;
Memory g_memory = {nullptr, 0};

// An address of ours: no platform file handle or descriptor can equal it.
FileIo_Handle MemoryHandle() {
    return reinterpret_cast<FileIo_Handle>(&g_memory);
}

FileIo_Handle WrappedOpen(const char *path) {
    if (g_pendingBytes != nullptr) {
        g_memory.bytes = g_pendingBytes;
        g_memory.position = 0;
        g_pendingBytes = nullptr;
        return MemoryHandle();
    }
    FileIo_Handle handle = FILEIO_INVALID_HANDLE;
    return ToolFile_OpenForReader(path, &handle) ? handle : g_saved.Open(path);
}

bool WrappedSize(FileIo_Handle file, uint32_t *size) {
    if (file != MemoryHandle()) {
        return g_saved.Size(file, size);
    }
    *size = static_cast<uint32_t>(g_memory.bytes->size());
    return true;
}

bool WrappedRead(FileIo_Handle file, void *destination, uint32_t count, uint32_t *delivered) {
    if (file != MemoryHandle()) {
        return g_saved.Read(file, destination, count, delivered);
    }
    const size_t size = g_memory.bytes->size();
    const size_t left = g_memory.position < size ? size - g_memory.position : 0;
    const uint32_t got = count < left ? count : static_cast<uint32_t>(left);
    if (got != 0) {
        memcpy(destination, g_memory.bytes->data() + g_memory.position, got);
    }
    g_memory.position += got;
    *delivered = got;
    return true;
}

bool WrappedSeek(FileIo_Handle file, uint32_t offset) {
    if (file != MemoryHandle()) {
        return g_saved.Seek(file, offset);
    }
    if (offset >= 0x80000000u) {
        return false; // as the platform seek of a 32-bit signed distance
    }
    g_memory.position = offset;
    return true;
}

void WrappedClose(FileIo_Handle file) {
    if (file != MemoryHandle()) {
        g_saved.Close(file);
    }
}

void Wrap() {
    if (g_depth++ == 0) {
        g_saved = g_fileIo;
        g_fileIo.Open = WrappedOpen;
        g_fileIo.Size = WrappedSize;
        g_fileIo.Read = WrappedRead;
        g_fileIo.Seek = WrappedSeek;
        g_fileIo.Close = WrappedClose;
    }
}

void Unwrap() {
    if (g_depth > 0 && --g_depth == 0) {
        g_fileIo = g_saved;
    }
}

} // namespace

DataFile *ToolData_OpenPath(const std::string &path) {
    Wrap();
    DataFile *file = DataFile_Open(path.c_str());
    if (file == nullptr) {
        Unwrap();
    }
    return file;
}

DataFile *ToolData_OpenBytes(const std::string &bytes) {
    // One file in memory at a time: it has one position.
    if (g_memory.bytes != nullptr || bytes.size() > UINT32_MAX) {
        return nullptr;
    }
    Wrap();
    g_pendingBytes = &bytes;
    DataFile *file = DataFile_Open("-");
    g_pendingBytes = nullptr;
    if (file == nullptr) {
        g_memory.bytes = nullptr;
        Unwrap();
    }
    return file;
}

void ToolData_Close(DataFile *file) {
    if (file == nullptr) {
        return;
    }
    if (file->handle == MemoryHandle()) {
        g_memory.bytes = nullptr;
    }
    DataFile_Close(file);
    Unwrap();
}
