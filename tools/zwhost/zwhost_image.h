// What a file's own bytes say about it as a module: whether it is a PE image
// at all, its machine, whether it is a DLL, and the DLLs it imports. Portable,
// so its handling of damaged files is tested natively.
#ifndef ZWHOST_IMAGE_H
#define ZWHOST_IMAGE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

const uint16_t ZWHOST_MACHINE_X64 = 0x8664;

struct ZwHostImage {
    bool isImage;                     // an MZ header leading to a PE header
    std::string notImage;             // why not, in words, when isImage is false
    uint16_t machine;                 // IMAGE_FILE_HEADER.Machine
    bool isDll;                       // IMAGE_FILE_DLL is set
    bool importsReadable;             // the import directory was found and read to its end
    std::vector<std::string> imports; // DLL names, in the order of the directory
};

// data holds the file's first size bytes (the whole file, or as much as was
// read). Never reads outside them.
ZwHostImage ZwHost_InspectImage(const uint8_t *data, size_t size);

// "x64", "x86 (32-bit)", "ARM64", ... or "machine 0x1234".
std::string ZwHost_MachineName(uint16_t machine);

#endif
