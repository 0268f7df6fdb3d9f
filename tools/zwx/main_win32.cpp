// zwx: authors and inspects the library's data files. The UTF-16 command
// line, so that file names outside the ANSI code page arrive whole; the
// commands take them as UTF-8. Standard input and output carry bytes: data
// files, and UTF-8 text that no CRLF translation touches.
#include "zwx_run.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const wchar_t *wide) {
    std::string text;
    const int count = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (count > 1) {
        text.resize(static_cast<size_t>(count));
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], count, nullptr, nullptr);
        text.resize(static_cast<size_t>(count - 1));
    }
    return text;
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) {
        args.push_back(Utf8(argv[i]));
    }
    std::vector<const char *> pointers;
    for (const std::string &arg : args) {
        pointers.push_back(arg.c_str());
    }
    return Zwx_Run(argc, pointers.data());
}
