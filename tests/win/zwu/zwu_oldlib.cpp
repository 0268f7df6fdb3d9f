// Stands in for another build of ZEDWIC_W.dll, with no version recorded: its
// settings calls give 99 and leave 126 whatever the printer, as an older
// library that does not find a module zwhost's walk reaches.
#include <windows.h>

#include <cstdint>

namespace {

int32_t Unavailable() {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 99;
}

} // namespace

extern "C" const char *WINAPI VOLQUAD_GetErrorMsg(int32_t) {
    return "Old text.";
}
extern "C" int32_t WINAPI VOLQUAD_SettingExport(const char *, intptr_t) {
    return Unavailable();
}
extern "C" int32_t WINAPI VOLQUAD_SettingImport(const char *, intptr_t) {
    return Unavailable();
}
extern "C" int32_t WINAPI VOLQUAD_PersonalInfoImport(const char *, intptr_t) {
    return Unavailable();
}
extern "C" int32_t WINAPI VOLQUAD_DefaultSetting(const char *, intptr_t) {
    return Unavailable();
}
extern "C" int32_t WINAPI VOLQUAD_FixSetting(const char *, intptr_t) {
    return Unavailable();
}
