// SetChildInfo. The settings exports are in forward_win32.cpp and
// VOLQUAD_GetErrorMsg lives with the message table.
#include "ZEDWIC_W.h"

extern "C" int32_t SetChildInfo(void) {
    return 0;
}
