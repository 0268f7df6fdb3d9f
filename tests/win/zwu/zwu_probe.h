// Driver-side test modules: the value a settings call passes on is taken as a
// pointer to a probe in the test host, which records what arrived and says
// what to return.
#ifndef ZW_TESTS_ZWU_PROBE_H
#define ZW_TESTS_ZWU_PROBE_H

#include <cstdint>

enum ZwuFunction : int32_t {
    ZWU_NONE = 0,
    ZWU_SETTING_EXPORT,
    ZWU_SETTING_IMPORT,
    ZWU_PERSONAL_INFO_IMPORT,
    ZWU_DEFAULT_SETTING,
    ZWU_FIX_SETTING,
};

struct ZwuProbe {
    int32_t result;       // set by the host: what the function returns
    uint32_t lastError;   // set by the host: the last error the function leaves
    int32_t function;     // which function ran
    uint32_t calls;       // how many calls reached a module
    const char *seenName; // the printer-name pointer it received
    intptr_t seenValue;   // the value it received
    char modulePath[260]; // where the module that ran lies
    char helperPath[260]; // where the helper DLL it imports lies, for modules with one
};

// The helper DLL of the modules that import one; its attach sets this
// environment variable of the host to its own path.
#define ZWU_HELPER_FILE_NAME "ZWUHELP.DLL"
#define ZWU_HELPER_LOADED_VARIABLE "ZW_HELPER_LOADED"

#endif
