// Loading the message catalogue when the library is attached to a process, and
// releasing it when it is detached.
#ifndef ZEDWIC_LIFECYCLE_H
#define ZEDWIC_LIFECYCLE_H

#include "modpath.h"

extern const char LIFECYCLE_DATA_FILE_NAME[]; // "ZEDWIC_D.ZWX"

// Loads the catalogue from the data file in the folder of moduleFileName, the
// library's own full file name in UTF-8 (natively: as the system gives it).
// An empty name looks in the current folder. A name that was cut, or a folder
// too deep for the data file's name (259 characters in all, counted in UTF-16
// units), leaves the catalogue empty: no other location is ever tried.
void Lifecycle_Attach(const char *moduleFileName, bool nameWasCut);

// The data file's path that attach opens for that name, into out of
// MODPATH_UTF8_SIZE bytes; false (out empty) when attach opens none.
bool Lifecycle_DataFilePath(const char *moduleFileName, bool nameWasCut, char *out);

void Lifecycle_Detach();

#endif
