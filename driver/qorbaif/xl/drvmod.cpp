// The spooler query behind a settings call, and the call itself. Everything
// acquired here is released before it returns, whatever fails, and the last
// error set at the failure survives the releases.
#include "drvmod.h"

#include <cstring>

const char DRIVERMODULE_FILE_NAME[] = "ZEDWIC_U.DLL";

namespace {

// The platform's own reason for the call that just failed, or fallback when
// it left none.
uint32_t CauseOr(uint32_t fallback) {
    const uint32_t error = Platform()->GetError();
    return error != 0 ? error : fallback;
}

void Reach(DriverModuleReport *report, DriverModuleStep step) {
    report->step = step;
}

PlatformModule Stop(DriverModuleReport *report, DriverModuleStep step, uint32_t error) {
    report->step = step;
    report->error = error;
    return nullptr;
}

PlatformModule LoadBesideDriver(DriverModuleReport *report, PlatformPrinter printer) {
    Reach(report, DRIVERMODULE_STEP_RECORD_SIZE);
    const uint32_t needed = Platform()->PrinterDriverSize(printer);
    if (needed == 0) {
        // A size query that works reports ERROR_INSUFFICIENT_BUFFER; with
        // nothing needed, that names no cause.
        const uint32_t cause = Platform()->GetError();
        return Stop(report, DRIVERMODULE_STEP_RECORD_SIZE,
                    cause != 0 && cause != PLATFORM_ERROR_INSUFFICIENT_BUFFER
                        ? cause
                        : PLATFORM_ERROR_UNKNOWN_PRINTER_DRIVER);
    }
    // Never smaller than the record itself: a short answer leaves zero fields,
    // not fields read past the block.
    const size_t size = needed < sizeof(DriverRecord) ? sizeof(DriverRecord) : needed;
    void *block = Platform()->AllocZero(size);
    if (block == nullptr) {
        return Stop(report, DRIVERMODULE_STEP_RECORD_BLOCK, PLATFORM_ERROR_NOT_ENOUGH_MEMORY);
    }
    PlatformModule module = nullptr;
    Reach(report, DRIVERMODULE_STEP_RECORD_FETCH);
    if (!Platform()->PrinterDriverFetch(printer, block, needed)) {
        Stop(report, DRIVERMODULE_STEP_RECORD_FETCH,
             CauseOr(PLATFORM_ERROR_UNKNOWN_PRINTER_DRIVER));
    } else {
        const DriverRecord *record = static_cast<const DriverRecord *>(block);
        if (record->pDriverPath != nullptr) {
            report->haveDriverPath = true;
            strncpy(report->driverPath, record->pDriverPath, sizeof report->driverPath - 1);
        }
        Reach(report, DRIVERMODULE_STEP_MODULE_PATH);
        report->pathProblem = DriverModule_ComposePath(record->pDriverPath, Platform()->IsLeadByte,
                                                       report->modulePath);
        if (report->pathProblem != DRIVERMODULE_PATH_OK) {
            // Nothing to load: to the host, no module where the driver lies.
            Stop(report, DRIVERMODULE_STEP_MODULE_PATH, PLATFORM_ERROR_MOD_NOT_FOUND);
        } else {
            Reach(report, DRIVERMODULE_STEP_MODULE_LOAD);
            module = Platform()->ModuleLoad(report->modulePath);
            if (module == nullptr) {
                Stop(report, DRIVERMODULE_STEP_MODULE_LOAD, CauseOr(PLATFORM_ERROR_MOD_NOT_FOUND));
            } else {
                Reach(report, DRIVERMODULE_STEP_FUNCTION);
            }
        }
    }
    Platform()->Free(block);
    return module;
}

} // namespace

DriverModulePathProblem DriverModule_ComposePath(const char *driverPath,
                                                 PlatformLeadByteTest isLeadByte, char *out) {
    out[0] = '\0';
    if (driverPath == nullptr) {
        return DRIVERMODULE_PATH_NONE;
    }
    const ModPathParts parts = ModPath_Split(driverPath, isLeadByte);
    if (!ModPath_IsFullyQualified(&parts)) {
        return DRIVERMODULE_PATH_NOT_QUALIFIED;
    }
    return ModPath_Compose(out, &parts, DRIVERMODULE_FILE_NAME) ? DRIVERMODULE_PATH_OK
                                                                : DRIVERMODULE_PATH_TOO_DEEP;
}

PlatformModule DriverModule_Find(const char *printerName, DriverModuleReport *report) {
    DriverModuleReport own;
    if (report == nullptr) {
        report = &own; // the failing step's error is needed all the same
    }
    memset(report, 0, sizeof *report);
    if (printerName == nullptr) {
        Stop(report, DRIVERMODULE_STEP_PRINTER, PLATFORM_ERROR_INVALID_PRINTER_NAME);
        Platform()->SetError(PLATFORM_ERROR_INVALID_PRINTER_NAME);
        return nullptr;
    }
    // The spooler sees at most 259 characters of the name.
    char name[MODPATH_SIZE] = {};
    size_t length = 0;
    for (; length < sizeof name - 1 && printerName[length] != '\0'; ++length) {
        name[length] = printerName[length];
    }
    report->nameCut = printerName[length] != '\0';
    PlatformPrinter printer = nullptr;
    if (!Platform()->PrinterOpen(name, &printer)) {
        const uint32_t error = CauseOr(PLATFORM_ERROR_INVALID_PRINTER_NAME);
        Stop(report, DRIVERMODULE_STEP_PRINTER, error);
        Platform()->SetError(error);
        return nullptr;
    }
    PlatformModule module = LoadBesideDriver(report, printer);
    Platform()->PrinterClose(printer);
    if (module == nullptr) {
        // The error as the failing step left it, whatever closing did.
        Platform()->SetError(report->error);
    }
    return module;
}

PlatformModule DriverModule_Load(const char *printerName) {
    return DriverModule_Find(printerName, nullptr);
}

PlatformFunction DriverModule_Function(PlatformModule module, const char *functionName,
                                       DriverModuleReport *report) {
    PlatformFunction function = Platform()->ModuleFunction(module, functionName);
    if (report != nullptr) {
        report->step = function != nullptr ? DRIVERMODULE_STEP_REACHED : DRIVERMODULE_STEP_FUNCTION;
        report->error = function != nullptr ? 0 : PLATFORM_ERROR_PROC_NOT_FOUND;
    }
    return function;
}

void DriverModule_Free(PlatformModule module) {
    Platform()->ModuleFree(module);
}

int32_t Forward_Call(const char *functionName, const char *printerName, intptr_t value) {
    PlatformModule module = DriverModule_Load(printerName);
    if (module == nullptr) {
        return FORWARD_RESULT_UNAVAILABLE;
    }
    int32_t result = FORWARD_RESULT_UNAVAILABLE;
    uint32_t error = PLATFORM_ERROR_PROC_NOT_FOUND;
    PlatformFunction function = DriverModule_Function(module, functionName, nullptr);
    if (function != nullptr) {
        // The host's name pointer, not the shortened copy the spooler saw.
        result = function(printerName, value);
        error = Platform()->GetError();
    }
    DriverModule_Free(module);
    Platform()->SetError(error);
    return result;
}
