// POSIX backend of the forwarding seam, for the native build of the portable
// core. There is no print spooler here: every printer is one it does not
// know, so nothing is ever loaded.
#include "forwardio.h"

#include <cstdlib>

namespace {

thread_local uint32_t t_lastError = 0;

bool PosixOpenPrinter(const char *, ForwardIo_Printer *) {
    t_lastError = FORWARDIO_ERROR_INVALID_PRINTER_NAME;
    return false;
}

uint32_t PosixDriverRecordSize(ForwardIo_Printer) {
    return 0;
}

bool PosixFetchDriverRecord(ForwardIo_Printer, void *, uint32_t) {
    return false;
}

void PosixClosePrinter(ForwardIo_Printer) {}

void *PosixAllocZero(size_t size) {
    return calloc(size != 0 ? size : 1, 1);
}

void PosixFree(void *block) {
    free(block);
}

ForwardIo_Module PosixLoadModule(const char *) {
    t_lastError = FORWARDIO_ERROR_MOD_NOT_FOUND;
    return nullptr;
}

ForwardIo_Function PosixFindFunction(ForwardIo_Module, const char *) {
    t_lastError = FORWARDIO_ERROR_PROC_NOT_FOUND;
    return nullptr;
}

void PosixFreeModule(ForwardIo_Module) {}

uint32_t PosixLastError() {
    return t_lastError;
}

void PosixSetLastError(uint32_t error) {
    t_lastError = error;
}

} // namespace

ForwardIo g_forwardIo = {PosixOpenPrinter,  PosixDriverRecordSize, PosixFetchDriverRecord,
                         PosixClosePrinter, PosixAllocZero,        PosixFree,
                         nullptr,           PosixLoadModule,       PosixFindFunction,
                         PosixFreeModule,   PosixLastError,        PosixSetLastError};
