// The error-message table: 16 numbered texts and a fallback, loaded from the
// "QORBA_ErrMsg" section of the data file when the library is attached.
#ifndef ZEDWIC_ERRMSG_H
#define ZEDWIC_ERRMSG_H

#include "datafile.h"

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

extern "C" const char *VOLQUAD_GetErrorMsg(int32_t code);

#endif
