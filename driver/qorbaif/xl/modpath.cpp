// Splitting and composing module-relative paths; portable so it is tested natively.
#include "modpath.h"

#include <cstring>

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

void Compose(char *out, const ModPathParts *parts, const char *fileName, size_t nameLength) {
    char *p = out;
    memcpy(p, parts->drive, parts->driveLength);
    p += parts->driveLength;
    memcpy(p, parts->directory, parts->directoryLength);
    p += parts->directoryLength;
    memcpy(p, fileName, nameLength + 1);
}

} // namespace

ModPathParts ModPath_Split(const char *path, ModPath_LeadByteTest isLeadByte) {
    ModPathParts parts = {path, 0, path, 0};
    if (path[0] != '\0' && path[1] == ':') {
        parts.driveLength = 2;
        parts.directory = path + 2;
    }
    // The directory ends after the last separator; the second byte of a
    // two-byte character is never one.
    const char *end = parts.directory;
    for (const char *p = parts.directory; *p != '\0'; ++p) {
        if (isLeadByte != nullptr && isLeadByte(static_cast<unsigned char>(*p))) {
            if (p[1] == '\0') {
                break;
            }
            ++p;
        } else if (IsSeparator(*p)) {
            end = p + 1;
        }
    }
    parts.directoryLength = static_cast<size_t>(end - parts.directory);
    return parts;
}

bool ModPath_Compose(char *out, const ModPathParts *parts, const char *fileName) {
    const size_t nameLength = strlen(fileName);
    const size_t total = parts->driveLength + parts->directoryLength + nameLength;
    if (total >= MODPATH_SIZE) {
        out[0] = '\0';
        return false;
    }
    Compose(out, parts, fileName, nameLength);
    return true;
}

bool ModPath_ComposeUtf8(char *out, const ModPathParts *parts, const char *fileName) {
    const size_t nameLength = strlen(fileName);
    const size_t bytes = parts->driveLength + parts->directoryLength + nameLength;
    const size_t units = ModPath_Utf16Length(parts->drive, parts->driveLength) +
                         ModPath_Utf16Length(parts->directory, parts->directoryLength) +
                         ModPath_Utf16Length(fileName, nameLength);
    if (units >= MODPATH_SIZE || bytes >= MODPATH_UTF8_SIZE) {
        out[0] = '\0';
        return false;
    }
    Compose(out, parts, fileName, nameLength);
    return true;
}

size_t ModPath_Utf16Length(const char *text, size_t bytes) {
    size_t units = 0;
    for (size_t i = 0; i < bytes; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        units += (c & 0xC0) != 0x80 ? 1 : 0; // not a continuation byte
        units += c >= 0xF0 ? 1 : 0;          // four bytes: a surrogate pair
    }
    return units;
}

bool ModPath_IsFullyQualified(const ModPathParts *parts) {
    const char *dir = parts->directory;
    const size_t length = parts->directoryLength;
    if (parts->driveLength == 2) {
        return IsAsciiLetter(parts->drive[0]) && length > 0 && IsSeparator(dir[0]);
    }
    return length > 2 && IsSeparator(dir[0]) && IsSeparator(dir[1]) && !IsSeparator(dir[2]);
}
