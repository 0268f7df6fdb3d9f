/* The sample ZEDWIC_U.DLL's log under calls at the same time: a copy of the
 * module in a folder of the test's own, called from many threads at once;
 * every call must leave exactly its own line, whole.
 * Usage: zwu_sample_log ZEDWIC_U.DLL
 * No printf family: the ARM64 Wine here cannot run it for ARM64 programs. */
#include "ZEDWIC_W.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

enum { kThreads = 16, kCalls = 250 };

/* ZEDWIC_U.DLL's functions have the shape of the library's settings calls. */
static VOLQUAD_Setting_Fn g_fix;
static volatile LONG g_waiting = kThreads;

static DWORD WINAPI Caller(LPVOID parameter) {
    const intptr_t thread = (intptr_t)parameter;
    int call;
    /* Start together, so that the calls overlap. */
    InterlockedDecrement(&g_waiting);
    while (g_waiting > 0) {
        Sleep(0);
    }
    for (call = 0; call < kCalls; ++call) {
        if (g_fix("Log Printer", thread * 1000 + call) != 0) {
            return 1;
        }
    }
    return 0;
}

static void Say(DWORD stream, const char *text) {
    DWORD wrote = 0;
    WriteFile(GetStdHandle(stream), text, (DWORD)strlen(text), &wrote, NULL);
}

/* n in decimal, at the end of digits[24]. */
static const char *Decimal(unsigned long n, char *digits) {
    int at = 23;
    digits[at] = '\0';
    do {
        digits[--at] = (char)('0' + n % 10);
        n /= 10;
    } while (n != 0);
    return digits + at;
}

static void SayNumber(DWORD stream, unsigned long n) {
    char digits[24];
    Say(stream, Decimal(n, digits));
}

/* The value of "VOLQUAD_FixSetting printer="Log Printer" value=N\r\n", or -1. */
static long long LoggedValue(const char *line) {
    static const char prefix[] = "VOLQUAD_FixSetting printer=\"Log Printer\" value=";
    const char *at = line + sizeof prefix - 1;
    long long value = 0;
    if (strncmp(line, prefix, sizeof prefix - 1) != 0 || *at < '0' || *at > '9') {
        return -1;
    }
    for (; *at >= '0' && *at <= '9' && value < 100000000; ++at) {
        value = value * 10 + (*at - '0');
    }
    return strcmp(at, "\r\n") == 0 ? value : -1;
}

int main(int argc, char **argv) {
    char folder[MAX_PATH], module[MAX_PATH], log[MAX_PATH], line[256], id[24];
    static unsigned char seen[kThreads][kCalls];
    HANDLE threads[kThreads];
    HMODULE loaded;
    FILE *file;
    int i, lines = 0, failures = 0;
    if (argc != 2) {
        Say(STD_ERROR_HANDLE, "usage: zwu_sample_log ZEDWIC_U.DLL\n");
        return 2;
    }
    /* A fresh folder under the temporary folder. */
    if (GetTempPathA(MAX_PATH, folder) == 0 || strlen(folder) + 40 >= MAX_PATH) {
        Say(STD_ERROR_HANDLE, "no temporary folder\n");
        return 2;
    }
    lstrcatA(folder, "zwu_sample_log_");
    lstrcatA(folder, Decimal((unsigned long)GetCurrentProcessId(), id));
    CreateDirectoryA(folder, NULL);
    lstrcpyA(module, folder);
    lstrcatA(module, "\\ZEDWIC_U.DLL");
    lstrcpyA(log, folder);
    lstrcatA(log, "\\ZEDWIC_U.log");
    DeleteFileA(log);
    if (!CopyFileA(argv[1], module, FALSE) || (loaded = LoadLibraryA(module)) == NULL ||
        (g_fix = (VOLQUAD_Setting_Fn)(void (*)(void))GetProcAddress(
             loaded, "VOLQUAD_FixSetting")) == NULL) {
        Say(STD_ERROR_HANDLE, "cannot load a copy of ");
        Say(STD_ERROR_HANDLE, argv[1]);
        Say(STD_ERROR_HANDLE, " (error ");
        SayNumber(STD_ERROR_HANDLE, GetLastError());
        Say(STD_ERROR_HANDLE, ")\n");
        return 2;
    }
    for (i = 0; i < kThreads; ++i) {
        threads[i] = CreateThread(NULL, 0, Caller, (LPVOID)(intptr_t)i, 0, NULL);
        if (threads[i] == NULL) {
            Say(STD_ERROR_HANDLE, "CreateThread failed\n");
            return 2;
        }
    }
    for (i = 0; i < kThreads; ++i) {
        DWORD status = 1;
        WaitForSingleObject(threads[i], INFINITE);
        GetExitCodeThread(threads[i], &status);
        CloseHandle(threads[i]);
        if (status != 0) {
            Say(STD_OUTPUT_HANDLE, "a call did not answer 0\n");
            ++failures;
        }
    }
    FreeLibrary(loaded);

    /* Every line whole, every call once. */
    file = fopen(log, "rb");
    if (file == NULL) {
        Say(STD_ERROR_HANDLE, "no log written\n");
        return 1;
    }
    while (fgets(line, sizeof line, file) != NULL) {
        const long long value = LoggedValue(line);
        ++lines;
        if (value < 0 || value / 1000 >= kThreads || value % 1000 >= kCalls ||
            seen[value / 1000][value % 1000]++ != 0) {
            Say(STD_OUTPUT_HANDLE, "line ");
            SayNumber(STD_OUTPUT_HANDLE, (unsigned long)lines);
            Say(STD_OUTPUT_HANDLE, " is not one call's own line: ");
            Say(STD_OUTPUT_HANDLE, line);
            ++failures;
        }
    }
    fclose(file);
    DeleteFileA(log);
    DeleteFileA(module);
    RemoveDirectoryA(folder);
    SayNumber(STD_OUTPUT_HANDLE, (unsigned long)lines);
    Say(STD_OUTPUT_HANDLE, " of ");
    SayNumber(STD_OUTPUT_HANDLE, kThreads * kCalls);
    Say(STD_OUTPUT_HANDLE, " lines logged by ");
    SayNumber(STD_OUTPUT_HANDLE, kThreads);
    Say(STD_OUTPUT_HANDLE, " threads at once\n");
    if (lines != kThreads * kCalls) {
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
