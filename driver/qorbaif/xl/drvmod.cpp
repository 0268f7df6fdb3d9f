// The spooler query behind DriverModule_Load. Everything acquired here is
// released before it returns, whatever fails, and the last error set at the
// failure survives the releases.
#include "drvmod.h"

namespace {

// The platform's own reason for the call that just failed, or fallback when
// it left none.
uint32_t CauseOr(uint32_t fallback) {
    const uint32_t error = g_forwardIo.GetError();
    return error != 0 ? error : fallback;
}

ForwardIo_Module LoadBesideDriver(ForwardIo_Printer printer, uint32_t *error) {
    const uint32_t needed = g_forwardIo.PrinterDriverSize(printer);
    if (needed == 0) {
        // A size query that works reports ERROR_INSUFFICIENT_BUFFER; with
        // nothing needed, that names no cause.
        const uint32_t cause = g_forwardIo.GetError();
        *error = cause != 0 && cause != FORWARDIO_ERROR_INSUFFICIENT_BUFFER
                     ? cause
                     : FORWARDIO_ERROR_UNKNOWN_PRINTER_DRIVER;
        return nullptr;
    }
    // Never smaller than the record itself: a short answer leaves zero fields,
    // not fields read past the block.
    const size_t size = needed < sizeof(DriverRecord) ? sizeof(DriverRecord) : needed;
    void *block = g_forwardIo.AllocZero(size);
    if (block == nullptr) {
        *error = FORWARDIO_ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    ForwardIo_Module module = nullptr;
    if (!g_forwardIo.PrinterDriverFetch(printer, block, needed)) {
        *error = CauseOr(FORWARDIO_ERROR_UNKNOWN_PRINTER_DRIVER);
    } else {
        const DriverRecord *record = static_cast<const DriverRecord *>(block);
        char path[MODPATH_SIZE] = {};
        if (!DriverModule_ComposePath(record->pDriverPath, g_forwardIo.IsLeadByte, path)) {
            // Nothing to load: to the host, no module where the driver lies.
            *error = FORWARDIO_ERROR_MOD_NOT_FOUND;
        } else {
            module = g_forwardIo.ModuleLoad(path);
            if (module == nullptr) {
                *error = CauseOr(FORWARDIO_ERROR_MOD_NOT_FOUND);
            }
        }
    }
    g_forwardIo.Free(block);
    return module;
}

} // namespace

ForwardIo_Module DriverModule_Load(const char *printerName) {
    if (printerName == nullptr) {
        g_forwardIo.SetError(FORWARDIO_ERROR_INVALID_PRINTER_NAME);
        return nullptr;
    }
    // The spooler sees at most 259 characters of the name.
    char name[MODPATH_SIZE] = {};
    for (size_t i = 0; i < sizeof name - 1 && printerName[i] != '\0'; ++i) {
        name[i] = printerName[i];
    }
    ForwardIo_Printer printer = nullptr;
    if (!g_forwardIo.PrinterOpen(name, &printer)) {
        g_forwardIo.SetError(CauseOr(FORWARDIO_ERROR_INVALID_PRINTER_NAME));
        return nullptr;
    }
    uint32_t error = 0;
    ForwardIo_Module module = LoadBesideDriver(printer, &error);
    g_forwardIo.PrinterClose(printer);
    if (module == nullptr) {
        g_forwardIo.SetError(error);
    }
    return module;
}
