// The library's exports besides VOLQUAD_GetErrorMsg, which lives with the
// message table.
#include "ZEDWIC_W.h"

extern "C" int32_t SetChildInfo(void) {
    return 0;
}
