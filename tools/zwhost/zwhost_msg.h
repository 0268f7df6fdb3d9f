// msg's side of zwhost: which data file the loaded library reads, by the
// library's own rule, and why texts it answers are empty.
#ifndef ZWHOST_MSG_H
#define ZWHOST_MSG_H

#include <string>

struct ZwHostDataFile {
    std::string library; // the loaded library's own file name
    std::string path;    // the data file it reads; empty when it reads none
    std::string none;    // why it reads none
};

// The data file as the attach of the library loaded at dll (its HMODULE)
// finds it: the library's own name and rule, so the same refusals. UTF-8.
ZwHostDataFile ZwHost_DataFileOf(void *dll);

// Prints why some texts are empty: the file as the library opens it (missing,
// held open for writing, no data file at all), then as zwx check reads it.
void ZwHost_ExplainEmpty(const ZwHostDataFile &dataFile);

#endif
