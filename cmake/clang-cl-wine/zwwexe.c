/* A console program's entry when it has wmain: as zwexe.c, with the command
 * line and environment in UTF-16. An object of its own, so that a program
 * links only the entry whose main it has. */
#include <windows.h>

#include "zwcrt.h"

int __cdecl _configure_wide_argv(int mode);
int __cdecl _initialize_wide_environment(void);
void __cdecl _set_app_type(int type);
int *__cdecl __p___argc(void);
wchar_t ***__cdecl __p___wargv(void);
wchar_t **__cdecl _get_initial_wide_environment(void);
void __cdecl exit(int status);
int __cdecl wmain(int argc, wchar_t **argv, wchar_t **env);

int wmainCRTStartup(void) {
    __zwcrt_init_cookie();
    _set_app_type(1);                   /* _crt_console_app */
    if (_configure_wide_argv(1) != 0 || /* _crt_argv_unexpanded_arguments */
        _initialize_wide_environment() != 0 || !__zwcrt_run_initialisers()) {
        ExitProcess(255);
    }
    const int status = wmain(*__p___argc(), *__p___wargv(), _get_initial_wide_environment());
    __zwcrt_run_atexit();
    exit(status);
    return status;
}
