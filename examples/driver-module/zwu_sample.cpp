// A sample driver-side module, ZEDWIC_U.DLL: what a printer driver package
// puts beside its driver file for ZEDWIC_W.dll to forward settings calls to.
//
// It treats the pointer-sized value as a plain number, appends one line per
// call to ZEDWIC_U.log beside itself, and answers 0 ("applied"), or 2 ("out of
// range") for a negative value.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
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
    // One line, one write to a handle opened for appending only: Windows
    // puts each such write at the end of the file as it is then, so lines
    // from calls at the same time (threads, host processes) neither overwrite
    // nor split one another, as seek-then-write through fopen's "a" does.
    // Wine finds that end by asking the size first, which two writers can do
    // at once: an exclusive lock on one byte far beyond any content makes
    // writers take turns there too, and never blocks a reader.
    const char *name = printerName != nullptr ? printerName : "(null)";
    const char format[] = "%s printer=\"%s\" value=%lld\r\n";
    const long long number = static_cast<long long>(value);
    const int size = snprintf(nullptr, 0, format, function, name, number);
    char *line = size > 0 ? static_cast<char *>(calloc(static_cast<size_t>(size) + 1, 1)) : nullptr;
    if (line == nullptr) {
        return 4;
    }
    snprintf(line, static_cast<size_t>(size) + 1, format, function, name, number);
    HANDLE log = CreateFileA(path, FILE_APPEND_DATA | FILE_READ_DATA | SYNCHRONIZE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    bool logged = false;
    if (log != INVALID_HANDLE_VALUE) {
        OVERLAPPED turn = {};
        turn.OffsetHigh = 0x7FFFFFFF;
        const bool locked = LockFileEx(log, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &turn) != FALSE;
        DWORD written = 0;
        logged = WriteFile(log, line, static_cast<DWORD>(size), &written, nullptr) &&
                 written == static_cast<DWORD>(size);
        if (locked) {
            UnlockFileEx(log, 0, 1, 0, &turn);
        }
        CloseHandle(log);
    }
    free(line);
    if (!logged) {
        return 4;
    }
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
