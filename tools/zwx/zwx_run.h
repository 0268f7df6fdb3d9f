// The end of every zwx process: what the command printed goes to the real
// streams, and an output that cannot be written is an error of its own.
#ifndef ZWX_ZWX_RUN_H
#define ZWX_ZWX_RUN_H

#include "zwxcmd.h"

// argv in UTF-8.
int Zwx_Run(int argc, const char *const *argv);

#endif
