// The exports beside the message lookup (which lives with the message table):
// the five settings calls, each forwarded to its function of the same name in
// the printer's driver-side module, and SetChildInfo.
#include "ZEDWIC_W.h"
#include "drvmod.h"

static_assert(FORWARD_RESULT_UNAVAILABLE == VOLQUAD_RESULT_UNAVAILABLE, "the result for 99");

extern "C" int32_t ZEDWIC_W_CALL VOLQUAD_SettingExport(const char *printerName, intptr_t value) {
    return Forward_Call("VOLQUAD_SettingExport", printerName, value);
}

extern "C" int32_t ZEDWIC_W_CALL VOLQUAD_SettingImport(const char *printerName, intptr_t value) {
    return Forward_Call("VOLQUAD_SettingImport", printerName, value);
}

extern "C" int32_t ZEDWIC_W_CALL VOLQUAD_PersonalInfoImport(const char *printerName,
                                                            intptr_t value) {
    return Forward_Call("VOLQUAD_PersonalInfoImport", printerName, value);
}

extern "C" int32_t ZEDWIC_W_CALL VOLQUAD_DefaultSetting(const char *printerName, intptr_t value) {
    return Forward_Call("VOLQUAD_DefaultSetting", printerName, value);
}

extern "C" int32_t ZEDWIC_W_CALL VOLQUAD_FixSetting(const char *printerName, intptr_t value) {
    return Forward_Call("VOLQUAD_FixSetting", printerName, value);
}

extern "C" int32_t ZEDWIC_W_CALL SetChildInfo(void) {
    return 0;
}
