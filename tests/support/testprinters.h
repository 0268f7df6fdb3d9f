// Test printers installed the way a driver package's installer does, each
// with a driver whose file the spooler reports at a path of the test's choice.
// Names and paths are UTF-8; any character goes.
#ifndef ZW_TESTS_TESTPRINTERS_H
#define ZW_TESTS_TESTPRINTERS_H

#include <string>

// Registers driverName (its files copied from a scratch folder) and a printer
// printerName using it, then makes the spooler report driverFilePath as the
// driver's file; an empty driverFilePath makes it report none. False, with a
// message in *error, on failure.
bool TestPrinter_Install(const std::string &printerName, const std::string &driverName,
                         const std::string &driverFilePath, std::string *error);

// Deletes the driver's registry record while the printer that uses it stays,
// as when a driver is removed behind its printers' back: the spooler then has
// no driver record for the printer.
bool TestPrinter_DropDriverRecord(const std::string &driverName);

void TestPrinter_Remove(const std::string &printerName, const std::string &driverName);

#endif
