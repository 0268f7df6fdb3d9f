// Forwarding one settings call to the driver-side module.
#include "forward.h"

#include "drvmod.h"

int32_t Forward_Call(const char *functionName, const char *printerName, intptr_t value) {
    ForwardIo_Module module = DriverModule_Load(printerName);
    if (module == nullptr) {
        return FORWARD_RESULT_UNAVAILABLE;
    }
    int32_t result = FORWARD_RESULT_UNAVAILABLE;
    uint32_t error = FORWARDIO_ERROR_PROC_NOT_FOUND;
    ForwardIo_Function function = g_forwardIo.ModuleFunction(module, functionName);
    if (function != nullptr) {
        // The host's name pointer, not the shortened copy the spooler saw.
        result = function(printerName, value);
        error = g_forwardIo.GetError();
    }
    g_forwardIo.ModuleFree(module);
    g_forwardIo.SetError(error);
    return result;
}
