/* Shared by the parts of the clang-cl support library (see zwcommon.c). */
#ifndef ZWCRT_H
#define ZWCRT_H

void __zwcrt_init_cookie(void);
int __zwcrt_run_initialisers(void); /* 0 when a C initialiser failed */
void __zwcrt_run_atexit(void);

#endif
