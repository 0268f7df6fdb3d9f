#include "zwhost_msg.h"

#include "datafile.h"
#include "errmsg.h"
#include "toolfile.h"
#include "wtext.h"
#include "zwhost_explain.h"
#include "check_rules.h"
#include "cmd_shared.h"

#include <windows.h>

namespace {

// Why the library's open of the data file fails, with the state's name, or
// false when it opens: the library's own open, with its own sharing.
bool OpenProblem(const std::string &path, ZwHostDataState *state) {
    const PlatformFile file = Platform()->FileOpen(path.c_str());
    if (file != PLATFORM_NO_FILE) {
        Platform()->FileClose(file);
        return false;
    }
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(WText_Wide(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        state->state = "folder";
        state->problem = path + " is a folder, not a data file (opening it gives error " +
                         ZwHost_SystemError(error) +
                         "): remove or rename the folder and put the package's data file there";
        return true;
    }
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        state->state = "missing";
        state->problem = "there is no data file " + path + ": error " + ZwHost_SystemError(error) +
                         "; put the package's data file beside the library";
        break;
    case ERROR_SHARING_VIOLATION:
        state->state = "held";
        state->problem =
            "another program holds the data file " + path +
            " open in a way that lets no one else read it (it writes the file, or opened it "
            "for itself alone), and the library reads it only when others may: error " +
            ZwHost_SystemError(error) + "; close that program, then load the library again";
        break;
    default:
        state->state = "unopenable";
        state->problem =
            "the data file " + path + " cannot be opened: error " + ZwHost_SystemError(error);
        break;
    }
    return true;
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

ZwHostDataState ZwHost_DataFileState(const ZwHostDataFile &dataFile) {
    ZwHostDataState state;
    if (dataFile.path.empty()) {
        state.state = "no path";
        state.problem = dataFile.none;
        return state;
    }
    if (OpenProblem(dataFile.path, &state)) {
        return state;
    }
    state.problem = NotADataFile(dataFile.path);
    if (!state.problem.empty()) {
        state.state = "not a data file";
        return state;
    }
    // zwx check's own findings, its texts shown in the code page the file records.
    state.state = "readable";
    ZwxStreams io;
    std::string held;
    DataFile *file = ZwxCmd_OpenData(dataFile.path, &io, &held);
    if (file != nullptr) {
        const uint32_t codePage = ZwxCmd_FileCodePage(file, dataFile.path, ZwxOptions(), &io);
        for (const ZwxFinding &finding : ZwxCmd_CheckFindings(file, codePage)) {
            state.findings.push_back(finding.text);
        }
        ToolData_Close(file);
    }
    return state;
}
