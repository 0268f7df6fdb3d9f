// The DLL that zwu_needs.dll imports (as zwu_helper.dll), left by the tests
// only where the loader must not look.
#include <cstdint>

extern "C" __declspec(dllexport) int32_t ZwuHelper_Value() {
    return 7;
}
