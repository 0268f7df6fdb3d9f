// zwx: authors and inspects the library's data files. The UTF-16 command
// line, so that file names outside the ANSI code page arrive whole; the
// commands take them as UTF-8. Standard input and output carry bytes: data
// files, and UTF-8 text that no CRLF translation touches.
#include "wtext.h"
#include "zwx_run.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

int wmain(int argc, wchar_t **argv) {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) {
        std::string arg;
        if (!WText_ToUtf8(argv[i], &arg)) {
            // A lone surrogate: no UTF-8 name, so no file, can carry it.
            fprintf(stderr, "zwx: argument %d is not valid UTF-16\n", i);
            return 2;
        }
        args.push_back(arg);
    }
    std::vector<const char *> pointers;
    for (const std::string &arg : args) {
        pointers.push_back(arg.c_str());
    }
    return Zwx_Run(argc, pointers.data());
}
