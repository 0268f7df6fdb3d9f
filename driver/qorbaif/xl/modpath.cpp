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
    char *p = out;
    memcpy(p, parts->drive, parts->driveLength);
    p += parts->driveLength;
    memcpy(p, parts->directory, parts->directoryLength);
    p += parts->directoryLength;
    memcpy(p, fileName, nameLength + 1);
    return true;
}

bool ModPath_IsFullyQualified(const ModPathParts *parts) {
    const char *dir = parts->directory;
    const size_t length = parts->directoryLength;
    if (parts->driveLength == 2) {
        return IsAsciiLetter(parts->drive[0]) && length > 0 && IsSeparator(dir[0]);
    }
    return length > 2 && IsSeparator(dir[0]) && IsSeparator(dir[1]) && !IsSeparator(dir[2]);
}
