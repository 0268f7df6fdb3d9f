// msg's side of zwhost: which data file the loaded library reads, by the
// library's own rule, and what state it is in.
#ifndef ZWHOST_MSG_H
#define ZWHOST_MSG_H

#include <string>
#include <vector>

struct ZwHostDataFile {
    std::string library; // the loaded library's own file name
    std::string path;    // the data file it reads; empty when it reads none
    std::string none;    // why it reads none
};

// The data file as the attach of the library loaded at dll (its HMODULE)
// finds it: the library's own name and rule, so the same refusals. UTF-8.
ZwHostDataFile ZwHost_DataFileOf(void *dll);

// The data file as the library opens it, then as zwx check reads it.
struct ZwHostDataState {
    // "no path", "missing", "folder", "held", "unopenable", "not a data
    // file", or "readable" (then findings holds what zwx check warns of)
    std::string state;
    std::string problem; // in words, with what to do; empty when readable
    std::vector<std::string> findings;
};
ZwHostDataState ZwHost_DataFileState(const ZwHostDataFile &dataFile);

#endif
