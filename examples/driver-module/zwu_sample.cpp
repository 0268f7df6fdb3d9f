// A sample driver-side module, ZEDWIC_U.DLL: what a printer driver package
// puts beside its driver file for ZEDWIC_W.dll to forward settings calls to.
//
// It treats the pointer-sized value as a plain number, appends one line per
// call to ZEDWIC_U.log beside itself, and answers 0 ("applied"), or 2 ("out of
// range") for a negative value.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

HMODULE g_self = nullptr;

int32_t Record(const char *function, const char *printerName, intptr_t value) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(g_self, path, MAX_PATH);
    char *slash = strrchr(path, '\\');
    if (length == 0 || length >= MAX_PATH || slash == nullptr ||
        static_cast<size_t>(slash - path) + sizeof "\\ZEDWIC_U.log" > MAX_PATH) {
        return 15;
    }
    memcpy(slash, "\\ZEDWIC_U.log", sizeof "\\ZEDWIC_U.log");
    FILE *log = fopen(path, "a");
    if (log == nullptr) {
        return 4;
    }
    fprintf(log, "%s printer=\"%s\" value=%lld\n", function,
            printerName != nullptr ? printerName : "(null)", static_cast<long long>(value));
    fclose(log);
    return value < 0 ? 2 : 0;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = instance;
    }
    return TRUE;
}

extern "C" int32_t WINAPI VOLQUAD_SettingExport(const char *printerName, intptr_t value) {
    return Record("VOLQUAD_SettingExport", printerName, value);
}

extern "C" int32_t WINAPI VOLQUAD_SettingImport(const char *printerName, intptr_t value) {
    return Record("VOLQUAD_SettingImport", printerName, value);
}

extern "C" int32_t WINAPI VOLQUAD_PersonalInfoImport(const char *printerName, intptr_t value) {
    return Record("VOLQUAD_PersonalInfoImport", printerName, value);
}

extern "C" int32_t WINAPI VOLQUAD_DefaultSetting(const char *printerName, intptr_t value) {
    return Record("VOLQUAD_DefaultSetting", printerName, value);
}

extern "C" int32_t WINAPI VOLQUAD_FixSetting(const char *printerName, intptr_t value) {
    return Record("VOLQUAD_FixSetting", printerName, value);
}
