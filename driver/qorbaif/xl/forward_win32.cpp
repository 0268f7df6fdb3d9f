// The five settings exports: each loads the printer's driver-side module,
// calls its function of the same name with the host's own arguments, and
// unloads it again.
#include "ZEDWIC_W.h"
#include "drvmod.h"

namespace {

int32_t Forward_Call(const char *functionName, const char *printerName, intptr_t value) {
    HMODULE module = DriverModule_Load(printerName);
    if (module == nullptr) {
        return VOLQUAD_RESULT_UNAVAILABLE;
    }
    int32_t result = VOLQUAD_RESULT_UNAVAILABLE;
    FARPROC proc = GetProcAddress(module, functionName);
    if (proc != nullptr) {
        // The host's name pointer, not the shortened copy the spooler saw.
        result = reinterpret_cast<VOLQUAD_Setting_Fn>(reinterpret_cast<void *>(proc))(printerName,
                                                                                      value);
    }
    FreeLibrary(module);
    return result;
}

} // namespace

extern "C" int32_t VOLQUAD_SettingExport(const char *printerName, intptr_t value) {
    return Forward_Call("VOLQUAD_SettingExport", printerName, value);
}

extern "C" int32_t VOLQUAD_SettingImport(const char *printerName, intptr_t value) {
    return Forward_Call("VOLQUAD_SettingImport", printerName, value);
}

extern "C" int32_t VOLQUAD_PersonalInfoImport(const char *printerName, intptr_t value) {
    return Forward_Call("VOLQUAD_PersonalInfoImport", printerName, value);
}

extern "C" int32_t VOLQUAD_DefaultSetting(const char *printerName, intptr_t value) {
    return Forward_Call("VOLQUAD_DefaultSetting", printerName, value);
}

extern "C" int32_t VOLQUAD_FixSetting(const char *printerName, intptr_t value) {
    return Forward_Call("VOLQUAD_FixSetting", printerName, value);
}
