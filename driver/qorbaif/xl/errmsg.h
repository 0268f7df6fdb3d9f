// The error-message table: 16 numbered texts and a fallback, loaded from the
// "QORBA_ErrMsg" section of the data file when the library is attached.
#ifndef ZEDWIC_ERRMSG_H
#define ZEDWIC_ERRMSG_H

#include "ZEDWIC_W.h" // VOLQUAD_GetErrorMsg, defined in errmsg.cpp
#include "datafile.h"
#include "modpath.h"

#include <cstdint>

const uint32_t ERRMSG_TEXT_SIZE = 290;
const uint32_t ERRMSG_KEY_SIZE = 128;
const uint32_t ERRMSG_CODE_COUNT = 16;
const uint32_t ERRMSG_FALLBACK_SLOT = 16;
const uint32_t ERRMSG_SLOT_COUNT = 18; // 16 codes, the fallback, the terminator

extern const char ERRMSG_SECTION_NAME[]; // "QORBA_ErrMsg"

struct ErrMsgSlot {
    const char *key; // empty in the terminator
    char *text;      // ERRMSG_TEXT_SIZE bytes, owned by the table; null until loaded
};

extern ErrMsgSlot ErrMsgTable[ERRMSG_SLOT_COUNT];

// Fills the slots that are still empty from the message section; a null file
// loads nothing. The first entry for a key wins.
void ErrMsg_Load(DataFile *file);

// Releases every text; the table is empty again.
void ErrMsg_Free();

// The catalogue's part in the library's life (lifecycle.cpp): loaded when it
// is attached to a process, released when it is detached.

extern const char LIFECYCLE_DATA_FILE_NAME[]; // "ZEDWIC_D.ZWX"

// Loads the catalogue from the data file in the folder of moduleFileName, the
// library's own full file name in UTF-8 (natively: as the system gives it).
// An empty name looks in the current folder. A name that was cut, or a folder
// too deep for the data file's name (259 characters in all, counted in UTF-16
// units), leaves the catalogue empty: no other location is ever tried.
void Lifecycle_Attach(const char *moduleFileName, bool nameWasCut);

// The data file's path that attach opens for that name, into out of
// MODPATH_UTF8_SIZE bytes; false (out empty) when attach opens none.
bool Lifecycle_DataFilePath(const char *moduleFileName, bool nameWasCut, char *out);

void Lifecycle_Detach();

#endif
