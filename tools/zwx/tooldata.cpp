// zwx reads data files with the library's own reader: files by their UTF-8
// path, and bytes it holds (standard input, a file just built) through the
// reader's in-memory source, which reads exactly as a file of those bytes.
#include "toolfile.h"

DataFile *ToolData_OpenPath(const std::string &path) {
    return DataFile_Open(path.c_str());
}

DataFile *ToolData_OpenBytes(const std::string &bytes) {
    if (bytes.size() > UINT32_MAX) {
        return nullptr;
    }
    return DataFile_OpenBytes(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

void ToolData_Close(DataFile *file) {
    DataFile_Close(file);
}
