/* The part of a static C runtime that Wine's import libraries do not carry,
 * for the clang-cl (MSVC-mode) toolchain in toolchain.cmake.
 * With /MT, compiled code names libcmt.lib; the toolchain file builds these
 * files into a libcmt.lib of that name: zwcommon.c (this), zwdll.c and
 * zwexe.c (one entry point each), zwstring.c, and zwcxx.cpp for C++.
 *
 * - Entry points: _DllMainCRTStartup and mainCRTStartup run the C and C++
 *   static initialisers (.CRT$XI* and .CRT$XC*), call DllMain or main, and
 *   run what atexit registered (static destructors) on the way out.
 * - The /GS security cookie and its check, and _fltused.
 * - The few string functions compiled code calls (memcpy, strlen, ...), so
 *   that a DLL that uses nothing else imports no C runtime DLL, as with the
 *   static runtime of Visual Studio. Everything else (stdio for the tools)
 *   comes from ucrtbase.dll through Wine's import library, named below.
 *
 * Not a general runtime: no threads' atexit, no TLS callbacks, no exceptions
 * (the toolchain builds with them off), no command-line globbing. */
#include <stddef.h>
#include <stdint.h>

#include <windows.h>

#include "zwcrt.h"

#pragma comment(linker, "/defaultlib:kernel32.lib")
#pragma comment(linker, "/defaultlib:ucrtbase.lib")

int _fltused = 0x9875;

/* ---- /GS: the cookie the compiler checks before each protected return.
 * The default values are MSVC's; the check takes its argument in a register
 * on x86 (__fastcall), as the compiler calls it. */
#ifdef _WIN64
#define ZWCRT_DEFAULT_COOKIE 0x2B992DDFA232u
#define ZWCRT_COOKIE_CHECK
#else
#define ZWCRT_DEFAULT_COOKIE 0xBB40E64Eu
#define ZWCRT_COOKIE_CHECK __fastcall
#endif
uintptr_t __security_cookie = ZWCRT_DEFAULT_COOKIE;

void __zwcrt_init_cookie(void) {
    LARGE_INTEGER counter;
    FILETIME time;
    QueryPerformanceCounter(&counter);
    GetSystemTimeAsFileTime(&time);
    const uint64_t now = ((uint64_t)time.dwHighDateTime << 32) | time.dwLowDateTime;
    uint64_t mixed = (uint64_t)counter.QuadPart ^ now;
    mixed ^= (uint64_t)GetCurrentProcessId() << 16;
    mixed ^= GetCurrentThreadId();
    mixed ^= (uintptr_t)&mixed;
#ifdef _WIN64
    uintptr_t cookie = (uintptr_t)(mixed & 0x0000FFFFFFFFFFFFu); /* as MSVC's: top 16 bits zero */
#else
    uintptr_t cookie = (uintptr_t)(mixed ^ (mixed >> 32));
#endif
    if (cookie == 0 || cookie == ZWCRT_DEFAULT_COOKIE) {
        cookie = ZWCRT_DEFAULT_COOKIE + 1;
    }
    __security_cookie = cookie;
}

void ZWCRT_COOKIE_CHECK __security_check_cookie(uintptr_t cookie) {
    if (cookie != __security_cookie) {
        __fastfail(2); /* FAST_FAIL_STACK_COOKIE_CHECK_FAILURE */
    }
}

/* ---- Static initialisers: the compiler puts pointers to them in .CRT$XIx
 * (C, returning int) and .CRT$XCx (C++); the linker sorts the sections by
 * name, so the A and Z markers bracket them. */
typedef int(__cdecl *InitFn)(void);
typedef void(__cdecl *CtorFn)(void);

#pragma section(".CRT$XIA", long, read)
#pragma section(".CRT$XIZ", long, read)
#pragma section(".CRT$XCA", long, read)
#pragma section(".CRT$XCZ", long, read)
__declspec(allocate(".CRT$XIA")) static InitFn xiA = 0;
__declspec(allocate(".CRT$XIZ")) static InitFn xiZ = 0;
__declspec(allocate(".CRT$XCA")) static CtorFn xcA = 0;
__declspec(allocate(".CRT$XCZ")) static CtorFn xcZ = 0;
#pragma comment(linker, "/merge:.CRT=.rdata")

int __zwcrt_run_initialisers(void) {
    for (InitFn *fn = &xiA + 1; fn < &xiZ; ++fn) {
        if (*fn != 0 && (*fn)() != 0) {
            return 0;
        }
    }
    for (CtorFn *fn = &xcA + 1; fn < &xcZ; ++fn) {
        if (*fn != 0) {
            (*fn)();
        }
    }
    return 1;
}

/* ---- atexit: one table per module, run in reverse at detach or exit. The
 * loader serialises attach and detach, so no lock is needed for the static
 * destructors registered during initialisation. */
typedef void(__cdecl *ExitFn)(void);
static ExitFn *exitFns;
static size_t exitCount, exitCapacity;

int __cdecl atexit(ExitFn fn) {
    if (exitCount == exitCapacity) {
        const size_t capacity = exitCapacity == 0 ? 32 : exitCapacity * 2;
        ExitFn *grown = exitFns == 0 ? (ExitFn *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY,
                                                           capacity * sizeof *grown)
                                     : (ExitFn *)HeapReAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY,
                                                             exitFns, capacity * sizeof *grown);
        if (grown == 0) {
            return -1;
        }
        exitFns = grown;
        exitCapacity = capacity;
    }
    exitFns[exitCount++] = fn;
    return 0;
}

void __zwcrt_run_atexit(void) {
    while (exitCount > 0) {
        exitFns[--exitCount]();
    }
    if (exitFns != 0) {
        HeapFree(GetProcessHeap(), 0, exitFns);
        exitFns = 0;
        exitCapacity = 0;
    }
}

/* ---- ARM64 stack probe: the compiler calls __chkstk before making a frame
 * of more than a page, with the size in 16-byte units in x15; each page is
 * touched in turn so that the stack's guard page moves down. MSVC's static
 * runtime has it (kernel32 does not export it on ARM64). */
#if defined(_M_ARM64)
__asm__(".text\n"
        ".globl __chkstk\n"
        ".p2align 2\n"
        "__chkstk:\n"
        "    lsl x16, x15, #4\n"
        "    mov x17, sp\n"
        "1:\n"
        "    sub x17, x17, #4096\n"
        "    subs x16, x16, #4096\n"
        "    ldr xzr, [x17]\n"
        "    b.gt 1b\n"
        "    ret\n");
#endif
