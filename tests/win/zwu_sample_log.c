/* The sample ZEDWIC_U.DLL's log under calls at the same time: a copy of the
 * module in a folder of the test's own, called from many threads at once;
 * every call must leave exactly its own line, whole.
 * Usage: zwu_sample_log ZEDWIC_U.DLL */
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

int main(int argc, char **argv) {
    char folder[MAX_PATH], module[MAX_PATH], log[MAX_PATH], line[256];
    static unsigned char seen[kThreads][kCalls];
    HANDLE threads[kThreads];
    HMODULE loaded;
    FILE *file;
    int i, lines = 0, failures = 0;
    if (argc != 2) {
        fprintf(stderr, "usage: zwu_sample_log ZEDWIC_U.DLL\n");
        return 2;
    }
    /* A fresh folder under the temporary folder. */
    if (GetTempPathA(MAX_PATH, folder) == 0 || strlen(folder) + 40 >= MAX_PATH) {
        fprintf(stderr, "no temporary folder\n");
        return 2;
    }
    sprintf(folder + strlen(folder), "zwu_sample_log_%lu", (unsigned long)GetCurrentProcessId());
    CreateDirectoryA(folder, NULL);
    sprintf(module, "%s\\ZEDWIC_U.DLL", folder);
    sprintf(log, "%s\\ZEDWIC_U.log", folder);
    DeleteFileA(log);
    if (!CopyFileA(argv[1], module, FALSE) || (loaded = LoadLibraryA(module)) == NULL ||
        (g_fix = (VOLQUAD_Setting_Fn)(void (*)(void))GetProcAddress(
             loaded, "VOLQUAD_FixSetting")) == NULL) {
        fprintf(stderr, "cannot load a copy of %s (error %lu)\n", argv[1], GetLastError());
        return 2;
    }
    for (i = 0; i < kThreads; ++i) {
        threads[i] = CreateThread(NULL, 0, Caller, (LPVOID)(intptr_t)i, 0, NULL);
        if (threads[i] == NULL) {
            fprintf(stderr, "CreateThread failed\n");
            return 2;
        }
    }
    for (i = 0; i < kThreads; ++i) {
        DWORD status = 1;
        WaitForSingleObject(threads[i], INFINITE);
        GetExitCodeThread(threads[i], &status);
        CloseHandle(threads[i]);
        if (status != 0) {
            printf("a call did not answer 0\n");
            ++failures;
        }
    }
    FreeLibrary(loaded);

    /* Every line whole, every call once. */
    file = fopen(log, "rb");
    if (file == NULL) {
        fprintf(stderr, "no log written\n");
        return 1;
    }
    while (fgets(line, sizeof line, file) != NULL) {
        long long value = -1;
        char tail[4] = "";
        ++lines;
        if (sscanf(line, "VOLQUAD_FixSetting printer=\"Log Printer\" value=%lld%3[\r\n]", &value,
                   tail) != 2 ||
            strcmp(tail, "\r\n") != 0 || value < 0 || value / 1000 >= kThreads ||
            value % 1000 >= kCalls || seen[value / 1000][value % 1000]++ != 0) {
            printf("line %d is not one call's own line: %s", lines, line);
            ++failures;
        }
    }
    fclose(file);
    DeleteFileA(log);
    DeleteFileA(module);
    RemoveDirectoryA(folder);
    printf("%d of %d lines logged by %d threads at once\n", lines, kThreads * kCalls, kThreads);
    if (lines != kThreads * kCalls) {
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
