#include "utf8.h"

bool Utf8_Next(const std::string &text, size_t at, uint32_t *codePoint, size_t *length) {
    if (at >= text.size()) {
        return false;
    }
    const uint8_t lead = static_cast<uint8_t>(text[at]);
    size_t count = 0;
    uint32_t value = 0;
    uint32_t minimum = 0;
    if (lead < 0x80) {
        *codePoint = lead;
        *length = 1;
        return true;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        count = 2;
        value = lead & 0x1Fu;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        count = 3;
        value = lead & 0x0Fu;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        count = 4;
        value = lead & 0x07u;
        minimum = 0x10000;
    } else {
        return false;
    }
    if (text.size() - at < count) {
        return false;
    }
    for (size_t i = 1; i < count; ++i) {
        const uint8_t next = static_cast<uint8_t>(text[at + i]);
        if ((next & 0xC0u) != 0x80u) {
            return false;
        }
        value = value << 6 | (next & 0x3Fu);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return false;
    }
    *codePoint = value;
    *length = count;
    return true;
}

void Utf8_Append(std::string *text, uint32_t codePoint) {
    if (codePoint < 0x80) {
        text->push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        text->push_back(static_cast<char>(0xC0 | codePoint >> 6));
        text->push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        text->push_back(static_cast<char>(0xE0 | codePoint >> 12));
        text->push_back(static_cast<char>(0x80 | (codePoint >> 6 & 0x3F)));
        text->push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        text->push_back(static_cast<char>(0xF0 | codePoint >> 18));
        text->push_back(static_cast<char>(0x80 | (codePoint >> 12 & 0x3F)));
        text->push_back(static_cast<char>(0x80 | (codePoint >> 6 & 0x3F)));
        text->push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}
