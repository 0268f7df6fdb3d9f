// What a file's own bytes say about it as a module: whether it is a PE image
// at all, its machine, whether it is a DLL, the DLLs it imports and the names
// it exports. Portable, so its handling of damaged files is tested natively.
#ifndef ZW_TOOLS_PEFILE_H
#define ZW_TOOLS_PEFILE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

const uint16_t PEFILE_MACHINE_X64 = 0x8664;
const uint16_t PEFILE_MACHINE_X86 = 0x014C;

struct PeFile {
    bool isImage;                     // an MZ header leading to a PE header
    std::string notImage;             // why not, in words, when isImage is false
    uint16_t machine;                 // IMAGE_FILE_HEADER.Machine
    bool isDll;                       // IMAGE_FILE_DLL is set
    bool importsReadable;             // the import directory was found and read to its end
    std::vector<std::string> imports; // DLL names, in the order of the directory
    bool exportsReadable;             // the export names were found and read to their end
    std::vector<std::string> exports; // names, in the order of the name table
};

// data holds the file's first size bytes (the whole file, or as much as was
// read). Never reads outside them.
PeFile PeFile_Read(const uint8_t *data, size_t size);

// "x64", "x86 (32-bit)", "ARM64", ... or "machine 0x1234".
std::string PeFile_MachineName(uint16_t machine);

#endif
