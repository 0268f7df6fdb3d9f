// Attach and detach work of the library, kept apart from the platform's entry
// callback so it can be tested natively.
#include "errmsg.h"

const char LIFECYCLE_DATA_FILE_NAME[] = "ZEDWIC_D.ZWX";

bool Lifecycle_DataFilePath(const char *moduleFileName, bool nameWasCut, char *out) {
    out[0] = '\0';
    if (nameWasCut) {
        return false;
    }
    // No byte of a UTF-8 character but the first looks like a separator.
    const ModPathParts parts = ModPath_Split(moduleFileName, nullptr);
    return ModPath_ComposeUtf8(out, &parts, LIFECYCLE_DATA_FILE_NAME);
}

void Lifecycle_Attach(const char *moduleFileName, bool nameWasCut) {
    char path[MODPATH_UTF8_SIZE] = {};
    if (!Lifecycle_DataFilePath(moduleFileName, nameWasCut, path)) {
        return;
    }
    DataFile *file = DataFile_Open(path);
    if (file == nullptr) {
        return;
    }
    ErrMsg_Load(file);
    DataFile_Close(file);
}

void Lifecycle_Detach() {
    ErrMsg_Free();
}
