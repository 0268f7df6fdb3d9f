#include "pefile.h"

#include "lebytes.h"

namespace {

// Bounds for damaged files: far above what a real module holds.
const size_t PEFILE_MAX_IMPORTS = 4096;
const uint32_t PEFILE_MAX_EXPORTS = 65536;
const size_t PEFILE_MAX_NAME = 4096;

struct Sections {
    uint64_t table; // file offset of the section headers
    uint16_t count;
};

// The file offset of an address in the loaded image, through the section table.
bool FileOffsetOf(LeBytes b, const Sections &sections, uint32_t rva, uint64_t *offset) {
    for (uint16_t i = 0; i < sections.count; ++i) {
        const uint64_t header = sections.table + uint64_t{40} * i;
        if (!LeBytes_Has(b, header, 40)) {
            return false;
        }
        const uint32_t virtualSize = LeBytes_U32(b, header + 8);
        const uint32_t address = LeBytes_U32(b, header + 12);
        const uint32_t rawSize = LeBytes_U32(b, header + 16);
        const uint32_t raw = LeBytes_U32(b, header + 20);
        const uint32_t span = virtualSize > rawSize ? virtualSize : rawSize;
        if (rva >= address && rva - address < span) {
            if (rva - address >= rawSize) {
                return false; // in the zero-filled tail, not in the file
            }
            *offset = uint64_t{raw} + (rva - address);
            return true;
        }
    }
    return false;
}

// The NUL-terminated name at an address; false when it does not end inside the file.
bool NameAt(LeBytes b, const Sections &sections, uint32_t rva, std::string *name) {
    uint64_t at = 0;
    if (!FileOffsetOf(b, sections, rva, &at)) {
        return false;
    }
    name->clear();
    for (; LeBytes_Has(b, at, 1) && name->size() < PEFILE_MAX_NAME; ++at) {
        if (b.data[at] == 0) {
            return true;
        }
        *name += static_cast<char>(b.data[at]);
    }
    return false;
}

void ReadImports(LeBytes b, const Sections &sections, uint32_t directory, PeFile *pe) {
    uint64_t offset = 0;
    if (!FileOffsetOf(b, sections, directory, &offset)) {
        return;
    }
    for (size_t i = 0; i < PEFILE_MAX_IMPORTS; ++i, offset += 20) {
        if (!LeBytes_Has(b, offset, 20)) {
            return;
        }
        const uint32_t nameRva = LeBytes_U32(b, offset + 12);
        if (nameRva == 0) {
            pe->importsReadable = true;
            return;
        }
        std::string name;
        if (!NameAt(b, sections, nameRva, &name)) {
            return;
        }
        pe->imports.push_back(name);
    }
}

void ReadExports(LeBytes b, const Sections &sections, uint32_t directory, PeFile *pe) {
    uint64_t offset = 0;
    if (!FileOffsetOf(b, sections, directory, &offset) || !LeBytes_Has(b, offset, 40)) {
        return;
    }
    const uint32_t count = LeBytes_U32(b, offset + 24);
    uint64_t table = 0;
    if (count > PEFILE_MAX_EXPORTS ||
        (count != 0 && !FileOffsetOf(b, sections, LeBytes_U32(b, offset + 32), &table))) {
        return;
    }
    for (uint32_t i = 0; i < count; ++i) {
        std::string name;
        if (!LeBytes_Has(b, table + uint64_t{4} * i, 4) ||
            !NameAt(b, sections, LeBytes_U32(b, table + uint64_t{4} * i), &name)) {
            return;
        }
        pe->exports.push_back(name);
    }
    pe->exportsReadable = true;
}

} // namespace

PeFile PeFile_Read(const uint8_t *data, size_t size) {
    PeFile pe = {false, "", 0, false, false, {}, false, {}};
    const LeBytes b = {data, size};
    if (!LeBytes_Has(b, 0, 64) || b.data[0] != 'M' || b.data[1] != 'Z') {
        pe.notImage = "it does not start with the MZ header of a program or DLL";
        return pe;
    }
    const uint64_t header = LeBytes_U32(b, 0x3C);
    if (!LeBytes_Has(b, header, 24) || LeBytes_U32(b, header) != 0x00004550u) { // "PE\0\0"
        pe.notImage = "it has an MZ header but no PE header (an old DOS program or damaged)";
        return pe;
    }
    pe.isImage = true;
    pe.machine = LeBytes_U16(b, header + 4);
    pe.isDll = (LeBytes_U16(b, header + 22) & 0x2000) != 0;
    const uint64_t optional = header + 24;
    const Sections sections = {optional + LeBytes_U16(b, header + 20), LeBytes_U16(b, header + 6)};
    const uint16_t magic = LeBytes_U16(b, optional);
    if (magic != 0x20b && magic != 0x10b) {
        return pe;
    }
    const uint64_t countAt = optional + (magic == 0x20b ? 108 : 92);
    const uint64_t directories = countAt + 4;
    if (!LeBytes_Has(b, countAt, 4)) {
        return pe;
    }
    // A directory past the count, or one of address 0, is absent: nothing to read.
    const uint32_t count = LeBytes_U32(b, countAt);
    const uint32_t exportRva = count > 0 ? LeBytes_U32(b, directories) : 0;
    const uint32_t importRva = count > 1 ? LeBytes_U32(b, directories + 8) : 0;
    if (count > 0 && !LeBytes_Has(b, directories, 8)) {
        return pe;
    }
    if (exportRva == 0) {
        pe.exportsReadable = true;
    } else {
        ReadExports(b, sections, exportRva, &pe);
    }
    if (count > 1 && !LeBytes_Has(b, directories + 8, 8)) {
        return pe;
    }
    if (importRva == 0) {
        pe.importsReadable = true;
    } else {
        ReadImports(b, sections, importRva, &pe);
    }
    return pe;
}

std::string PeFile_MachineName(uint16_t machine) {
    switch (machine) {
    case 0x8664:
        return "x64";
    case 0x014C:
        return "x86 (32-bit)";
    case 0xAA64:
        return "ARM64";
    case 0x01C4:
        return "ARM (32-bit)";
    case 0x0200:
        return "Itanium";
    default:
        break;
    }
    static const char digits[] = "0123456789ABCDEF";
    std::string hex = "machine 0x";
    for (int shift = 12; shift >= 0; shift -= 4) {
        hex += digits[(machine >> shift) & 0xF];
    }
    return hex;
}
