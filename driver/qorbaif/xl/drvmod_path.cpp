// Where the driver-side module lies, given the printer driver's file.
#include "drvmod.h"

const char DRIVERMODULE_FILE_NAME[] = "ZEDWIC_U.DLL";

bool DriverModule_ComposePath(const char *driverPath, ModPath_LeadByteTest isLeadByte, char *out) {
    out[0] = '\0';
    if (driverPath == nullptr) {
        return false;
    }
    const ModPathParts parts = ModPath_Split(driverPath, isLeadByte);
    if (!ModPath_IsFullyQualified(&parts)) {
        return false;
    }
    return ModPath_Compose(out, &parts, DRIVERMODULE_FILE_NAME);
}
