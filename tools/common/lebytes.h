// Little-endian fields of a block of bytes held in memory, read only inside
// the block: a field that does not lie whole in it reads as 0, and Has says
// whether it does.
#ifndef ZW_TOOLS_LEBYTES_H
#define ZW_TOOLS_LEBYTES_H

#include <cstddef>
#include <cstdint>

struct LeBytes {
    const uint8_t *data;
    size_t size;
};

inline bool LeBytes_Has(LeBytes bytes, uint64_t offset, uint64_t count) {
    return offset <= bytes.size && count <= bytes.size - offset;
}

inline uint16_t LeBytes_U16(LeBytes bytes, uint64_t offset) {
    if (!LeBytes_Has(bytes, offset, 2)) {
        return 0;
    }
    const uint8_t *p = bytes.data + offset;
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

inline uint32_t LeBytes_U32(LeBytes bytes, uint64_t offset) {
    if (!LeBytes_Has(bytes, offset, 4)) {
        return 0;
    }
    const uint8_t *p = bytes.data + offset;
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

#endif
