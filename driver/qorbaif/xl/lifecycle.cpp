// Attach and detach work of the library, kept apart from the platform's entry
// callback so it can be tested natively.
#include "lifecycle.h"

#include "datafile.h"
#include "errmsg.h"

const char LIFECYCLE_DATA_FILE_NAME[] = "ZEDWIC_D.ZWX";

void Lifecycle_Attach(const char *moduleFileName, bool nameWasCut) {
    if (nameWasCut) {
        return;
    }
    // No byte of a UTF-8 character but the first looks like a separator.
    const ModPathParts parts = ModPath_Split(moduleFileName, nullptr);
    char path[MODPATH_UTF8_SIZE] = {};
    if (!ModPath_ComposeUtf8(path, &parts, LIFECYCLE_DATA_FILE_NAME)) {
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
