// A driver-side test module that takes its value as a plain number, as zwhost
// call passes one from its command line: each function returns the value and
// leaves it as the last error.
#include <windows.h>

#include <cstdint>

namespace {

int32_t Echo(intptr_t value) {
    SetLastError(static_cast<DWORD>(value));
    return static_cast<int32_t>(value);
}

} // namespace

extern "C" int32_t WINAPI VOLQUAD_SettingExport(const char *, intptr_t value) {
    return Echo(value);
}
extern "C" int32_t WINAPI VOLQUAD_SettingImport(const char *, intptr_t value) {
    return Echo(value);
}
extern "C" int32_t WINAPI VOLQUAD_PersonalInfoImport(const char *, intptr_t value) {
    return Echo(value);
}
extern "C" int32_t WINAPI VOLQUAD_DefaultSetting(const char *, intptr_t value) {
    return Echo(value);
}
extern "C" int32_t WINAPI VOLQUAD_FixSetting(const char *, intptr_t value) {
    return Echo(value);
}
