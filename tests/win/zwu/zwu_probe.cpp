// One source for every driver-side test module; each module's .def file says
// which of the five functions it exports.
#include "zwu_probe.h"

#include <windows.h>

#ifdef ZWU_WITH_HELPER
extern "C" __declspec(dllimport) void ZwuHelper_Locate(char *path, uint32_t size);
#endif

namespace {

int32_t Record(ZwuFunction function, const char *printerName, intptr_t value) {
    ZwuProbe *probe = reinterpret_cast<ZwuProbe *>(value);
    probe->function = function;
    probe->calls += 1;
    probe->seenName = printerName;
    probe->seenValue = value;
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&Record), &self);
    GetModuleFileNameA(self, probe->modulePath, sizeof probe->modulePath);
#ifdef ZWU_WITH_HELPER
    ZwuHelper_Locate(probe->helperPath, sizeof probe->helperPath);
#endif
    SetLastError(probe->lastError);
    return probe->result;
}

} // namespace

extern "C" int32_t WINAPI VOLQUAD_SettingExport(const char *printerName, intptr_t value) {
    return Record(ZWU_SETTING_EXPORT, printerName, value);
}

extern "C" int32_t WINAPI VOLQUAD_SettingImport(const char *printerName, intptr_t value) {
    return Record(ZWU_SETTING_IMPORT, printerName, value);
}

extern "C" int32_t WINAPI VOLQUAD_PersonalInfoImport(const char *printerName, intptr_t value) {
    return Record(ZWU_PERSONAL_INFO_IMPORT, printerName, value);
}

extern "C" int32_t WINAPI VOLQUAD_DefaultSetting(const char *printerName, intptr_t value) {
    return Record(ZWU_DEFAULT_SETTING, printerName, value);
}

extern "C" int32_t WINAPI VOLQUAD_FixSetting(const char *printerName, intptr_t value) {
    return Record(ZWU_FIX_SETTING, printerName, value);
}
