// The common body of the five settings exports.
#ifndef ZEDWIC_FORWARD_H
#define ZEDWIC_FORWARD_H

#include <cstdint>

// The result when the driver-side module or its function cannot be reached.
const int32_t FORWARD_RESULT_UNAVAILABLE = 99;

// Loads the printer's driver-side module, calls its function functionName
// with the caller's printerName pointer and value, releases the module and
// returns the function's result as it came. FORWARD_RESULT_UNAVAILABLE when
// the module cannot be had (the last error as DriverModule_Load leaves it) or
// lacks the function (ERROR_PROC_NOT_FOUND). When the function ran, the last
// error is what it left, whatever releasing the module did.
int32_t Forward_Call(const char *functionName, const char *printerName, intptr_t value);

#endif
