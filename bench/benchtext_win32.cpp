#include "benchtext.h"

#include <windows.h>

namespace {

void WriteAll(DWORD which, const std::string &text) {
    HANDLE out = GetStdHandle(which);
    size_t done = 0;
    while (done < text.size()) {
        DWORD wrote = 0;
        if (!WriteFile(out, text.data() + done, static_cast<DWORD>(text.size() - done), &wrote,
                       nullptr) ||
            wrote == 0) {
            return;
        }
        done += wrote;
    }
}

} // namespace

void BenchText_Out(const std::string &text) {
    WriteAll(STD_OUTPUT_HANDLE, text);
}

void BenchText_Err(const std::string &text) {
    WriteAll(STD_ERROR_HANDLE, text);
}
