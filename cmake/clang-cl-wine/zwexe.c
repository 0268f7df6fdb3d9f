/* A console program's entry: arguments, static initialisers, main, atexit
 * functions, then exit through ucrtbase so that its stdio is flushed. */
#include <windows.h>

#include "zwcrt.h"

/* ucrtbase.dll's startup interface, as Visual Studio's /MD startup code uses it. */
int __cdecl _configure_narrow_argv(int mode);
int __cdecl _initialize_narrow_environment(void);
void __cdecl _set_app_type(int type);
int *__cdecl __p___argc(void);
char ***__cdecl __p___argv(void);
char **__cdecl _get_initial_narrow_environment(void);
void __cdecl exit(int status);
int __cdecl main(int argc, char **argv, char **env);

int mainCRTStartup(void) {
    __zwcrt_init_cookie();
    _set_app_type(1);                     /* _crt_console_app */
    if (_configure_narrow_argv(1) != 0 || /* _crt_argv_unexpanded_arguments */
        _initialize_narrow_environment() != 0 || !__zwcrt_run_initialisers()) {
        ExitProcess(255);
    }
    const int status = main(*__p___argc(), *__p___argv(), _get_initial_narrow_environment());
    __zwcrt_run_atexit();
    exit(status);
    return status;
}
