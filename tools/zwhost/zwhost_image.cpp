#include "zwhost_image.h"

namespace {

const size_t ZWHOST_MAX_IMPORTS = 256;
const size_t ZWHOST_MAX_IMPORT_NAME = 260;

struct Bytes {
    const uint8_t *data;
    size_t size;
};

bool Has(const Bytes &b, size_t offset, size_t count) {
    return offset <= b.size && count <= b.size - offset;
}

uint16_t U16(const Bytes &b, size_t offset) {
    return static_cast<uint16_t>(b.data[offset] | b.data[offset + 1] << 8);
}

uint32_t U32(const Bytes &b, size_t offset) {
    return static_cast<uint32_t>(b.data[offset]) | static_cast<uint32_t>(b.data[offset + 1]) << 8 |
           static_cast<uint32_t>(b.data[offset + 2]) << 16 |
           static_cast<uint32_t>(b.data[offset + 3]) << 24;
}

struct Sections {
    size_t table;
    uint16_t count;
};

// The file offset of an address in the loaded image, through the section table.
bool FileOffsetOf(const Bytes &b, const Sections &sections, uint32_t rva, size_t *offset) {
    for (uint16_t i = 0; i < sections.count; ++i) {
        const size_t header = sections.table + size_t{40} * i;
        if (!Has(b, header, 40)) {
            return false;
        }
        const uint32_t virtualSize = U32(b, header + 8);
        const uint32_t address = U32(b, header + 12);
        const uint32_t rawSize = U32(b, header + 16);
        const uint32_t raw = U32(b, header + 20);
        const uint32_t span = virtualSize > rawSize ? virtualSize : rawSize;
        if (rva >= address && rva - address < span) {
            if (rva - address >= rawSize) {
                return false; // in the zero-filled tail, not in the file
            }
            *offset = size_t{raw} + (rva - address);
            return true;
        }
    }
    return false;
}

void ReadImports(const Bytes &b, const Sections &sections, uint32_t directory, ZwHostImage *image) {
    size_t offset = 0;
    if (!FileOffsetOf(b, sections, directory, &offset)) {
        return;
    }
    for (size_t i = 0; i < ZWHOST_MAX_IMPORTS; ++i, offset += 20) {
        if (!Has(b, offset, 20)) {
            return;
        }
        const uint32_t nameRva = U32(b, offset + 12);
        if (nameRva == 0) {
            image->importsReadable = true;
            return;
        }
        size_t name = 0;
        if (!FileOffsetOf(b, sections, nameRva, &name)) {
            return;
        }
        std::string text;
        while (Has(b, name, 1) && b.data[name] != 0 && text.size() < ZWHOST_MAX_IMPORT_NAME) {
            text += static_cast<char>(b.data[name++]);
        }
        if (!Has(b, name, 1) || b.data[name] != 0) {
            return;
        }
        image->imports.push_back(text);
    }
}

} // namespace

ZwHostImage ZwHost_InspectImage(const uint8_t *data, size_t size) {
    ZwHostImage image = {false, "", 0, false, false, {}};
    const Bytes b = {data, size};
    if (!Has(b, 0, 64) || b.data[0] != 'M' || b.data[1] != 'Z') {
        image.notImage = "it does not start with the MZ header of a program or DLL";
        return image;
    }
    const size_t pe = U32(b, 0x3C);
    if (!Has(b, pe, 24) || U32(b, pe) != 0x00004550u) {
        image.notImage = "it has an MZ header but no PE header (an old DOS program or damaged)";
        return image;
    }
    image.isImage = true;
    image.machine = U16(b, pe + 4);
    image.isDll = (U16(b, pe + 22) & 0x2000) != 0;
    const Sections sections = {pe + 24 + U16(b, pe + 20), U16(b, pe + 6)};
    const size_t optional = pe + 24;
    if (!Has(b, optional, 2)) {
        return image;
    }
    const uint16_t magic = U16(b, optional);
    const size_t countAt = magic == 0x20b ? optional + 108 : optional + 92;
    const size_t directories = countAt + 4;
    if (magic != 0x20b && magic != 0x10b) {
        return image;
    }
    if (!Has(b, countAt, 4) || U32(b, countAt) < 2 || !Has(b, directories + 8, 8)) {
        // No import directory at all means no imports.
        image.importsReadable = Has(b, countAt, 4) && U32(b, countAt) < 2;
        return image;
    }
    const uint32_t importRva = U32(b, directories + 8);
    if (importRva == 0) {
        image.importsReadable = true;
        return image;
    }
    ReadImports(b, sections, importRva, &image);
    return image;
}

std::string ZwHost_MachineName(uint16_t machine) {
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
