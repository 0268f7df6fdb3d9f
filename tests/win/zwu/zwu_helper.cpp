// The DLL that zwu_needs.dll imports.
#include <cstdint>

extern "C" __declspec(dllexport) int32_t ZwuHelper_Value() {
    return 7;
}
