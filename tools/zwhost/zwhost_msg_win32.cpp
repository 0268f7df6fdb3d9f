#include "zwhost_msg.h"

#include "datafile.h"
#include "errmsg.h"
#include "zwhost_explain.h"
#include "zwxcmd.h"

#include <windows.h>

#include <cstdio>

namespace {

// Why the library's open of the data file fails, or empty when it opens: the
// library's own open, with its own sharing.
std::string OpenProblem(const std::string &path) {
    const PlatformFile file = Platform()->FileOpen(path.c_str());
    if (file != PLATFORM_NO_FILE) {
        Platform()->FileClose(file);
        return std::string();
    }
    const DWORD error = GetLastError();
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "there is no data file " + path + ": error " + ZwHost_SystemError(error);
    case ERROR_SHARING_VIOLATION:
        return "another program holds the data file " + path +
               " open for writing, and the library reads it only while no one writes it: error " +
               ZwHost_SystemError(error) + "; close that program, then load the library again";
    default:
        return "the data file " + path + " cannot be opened: error " + ZwHost_SystemError(error);
    }
}

// Why the file is no data file at all, or empty: zwx writes "ZW" at the start
// of every data file, and the header is 8 bytes.
std::string NotADataFile(const std::string &path) {
    DataFile *file = DataFile_Open(path.c_str());
    uint8_t header[DATAFILE_HEADER_SIZE] = {};
    const uint32_t got = file != nullptr ? DataFile_ReadAt(file, header, sizeof header, 0) : 0;
    DataFile_Close(file);
    if (got == DATAFILE_READ_ERROR || got < DATAFILE_HEADER_SIZE) {
        return path + " is not a data file: it is " +
               std::to_string(got == DATAFILE_READ_ERROR ? 0 : got) +
               " bytes long, shorter than a data file's 8-byte header";
    }
    if (header[0] != 'Z' || header[1] != 'W') {
        return path + " is not a data file: it does not start with \"ZW\", as every file zwx " +
               "writes does";
    }
    return std::string();
}

} // namespace

// The data file as the library's attach finds it: the library's own name and
// rule, so the same refusals.
ZwHostDataFile ZwHost_DataFileOf(void *dll) {
    ZwHostDataFile name;
    char own[MODPATH_UTF8_SIZE] = {};
    const bool whole = Platform_ModuleFileName(dll, own, sizeof own);
    name.library = own;
    char path[MODPATH_UTF8_SIZE] = {};
    if (Lifecycle_DataFilePath(own, !whole, path)) {
        name.path = path;
    } else if (!whole) {
        name.none = "the library's own path is longer than 259 characters or not valid UTF-16, "
                    "so it reads none";
    } else {
        name.none = std::string("the library's folder is too deep for ") +
                    LIFECYCLE_DATA_FILE_NAME + " (more than 259 characters), so it reads none";
    }
    return name;
}

// Why some texts are empty: the file as the library opens it, then as zwx
// check reads it.
void ZwHost_ExplainEmpty(const ZwHostDataFile &dataFile) {
    if (dataFile.path.empty()) {
        printf("empty texts: %s\n", dataFile.none.c_str());
        return;
    }
    std::string problem = OpenProblem(dataFile.path);
    if (problem.empty()) {
        problem = NotADataFile(dataFile.path);
    }
    if (!problem.empty()) {
        printf("empty texts: %s\n", problem.c_str());
        return;
    }
    // Texts shown in the code page the file records, as zwx check shows them.
    ZwxStreams check;
    ZwxCmd_Check({dataFile.path}, ZwxOptions(), &check);
    printf("empty texts, as zwx check reads the data file:\n");
    size_t shown = 0;
    for (size_t at = 0; at < check.out.size();) {
        size_t end = check.out.find('\n', at);
        end = end == std::string::npos ? check.out.size() : end;
        const std::string line = check.out.substr(at, end - at);
        if (line.find(": warning: ") != std::string::npos) {
            printf("  %s\n", line.c_str());
            ++shown;
        }
        at = end + 1;
    }
    if (shown == 0) {
        printf("  %s", check.err.empty() ? "no warnings: the texts themselves are empty\n"
                                         : check.err.c_str());
    }
}
