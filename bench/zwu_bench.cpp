// The driver-side module of the forwarding benchmark: as little work as a
// function can do, so the figures are the cost of reaching it.
#include <windows.h>

#include <cstdint>

extern "C" int32_t WINAPI VOLQUAD_FixSetting(const char *printerName, intptr_t value) {
    return printerName != nullptr ? static_cast<int32_t>(value & 0x7FFF) : -1;
}
