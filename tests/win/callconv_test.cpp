// x86 has two calling conventions, and a host declared with the other one than
// the library's corrupts its stack now and then instead of failing. Each
// export is called here the way ZEDWIC_W.h declares it, and the stack pointer
// is compared before and after the call: a __stdcall function removes its own
// arguments, a __cdecl one leaves them to the caller.
#include "dllhost.h"

#include "catalogue.h"
#include "tempfile.h"

#include <gtest/gtest.h>

#if defined(__i386__)

namespace {

struct StackCall {
    uintptr_t result;
    intptr_t removed; // bytes of arguments the callee took off the stack
};

// Pushes two 32-bit arguments (a function of fewer ignores the deeper ones),
// calls fn and measures how many bytes the callee removed; the stack pointer is
// then restored whatever the callee did, so a mismatch fails the test only.
StackCall CallMeasuringStack(void *fn, uintptr_t first, uintptr_t second) {
    uintptr_t result = 0;
    uintptr_t before = 0;
    uintptr_t after = 0;
    asm volatile("movl %%esp, %%esi\n\t"
                 "pushl %[second]\n\t"
                 "pushl %[first]\n\t"
                 "calll *%[fn]\n\t"
                 "movl %%esp, %%edi\n\t"
                 "movl %%esi, %%esp\n\t"
                 : "=a"(result), "=&S"(before), "=&D"(after)
                 : [fn] "r"(fn), [first] "r"(first), [second] "r"(second)
                 : "ecx", "edx", "memory", "cc");
    return {result, static_cast<intptr_t>(after - (before - 8))};
}

TEST(CallingConvention, EveryExportRemovesItsOwnArgumentsAsStdcall) {
    const std::string folder = TempDir_Create(" zw callconv");
    ASSERT_TRUE(DllHost_Place(folder));
    ASSERT_TRUE(File_Write(folder + "\\ZEDWIC_D.ZWX",
                           Zwx_Build({{"QORBA_ErrMsg", TestCatalogue("cc ")}}, nullptr)));
    LoadedDll dll = DllHost_Load(folder + "\\ZEDWIC_W.dll");
    ASSERT_NE(dll.module, nullptr);
    const std::string unknown = "ZW Callconv " + std::to_string(GetCurrentProcessId());
    const struct {
        const char *name;
        intptr_t argumentBytes;
        uintptr_t first;
        uintptr_t expected; // the result, as the declaration gives it
    } exports[] = {
        {"VOLQUAD_SettingExport", 8, reinterpret_cast<uintptr_t>(unknown.c_str()), 99},
        {"VOLQUAD_SettingImport", 8, reinterpret_cast<uintptr_t>(unknown.c_str()), 99},
        {"VOLQUAD_PersonalInfoImport", 8, reinterpret_cast<uintptr_t>(unknown.c_str()), 99},
        {"VOLQUAD_DefaultSetting", 8, reinterpret_cast<uintptr_t>(unknown.c_str()), 99},
        {"VOLQUAD_FixSetting", 8, reinterpret_cast<uintptr_t>(unknown.c_str()), 99},
        {"VOLQUAD_GetErrorMsg", 4, 3, 0},
        {"SetChildInfo", 0, 0, 0},
    };
    for (const auto &e : exports) {
        void *fn = reinterpret_cast<void *>(GetProcAddress(dll.module, e.name));
        ASSERT_NE(fn, nullptr) << e.name;
        const StackCall call = CallMeasuringStack(fn, e.first, 0x80000001u);
        EXPECT_EQ(call.removed, e.argumentBytes)
            << e.name << ": a __stdcall export removes its arguments, a __cdecl one none";
        if (e.argumentBytes == 4) {
            EXPECT_STREQ(reinterpret_cast<const char *>(call.result), "cc 3");
        } else {
            EXPECT_EQ(call.result, e.expected) << e.name;
        }
    }
    DllHost_Unload(&dll);
    TempDir_Remove(folder);
}

} // namespace

#endif
