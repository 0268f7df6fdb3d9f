// Paths of files that lie beside a module: split a full file name into drive
// and directory the way the C runtime's _splitpath does, then put another file
// name behind them in a 260-byte buffer.
#ifndef ZEDWIC_MODPATH_H
#define ZEDWIC_MODPATH_H

#include <cstddef>

const size_t MODPATH_SIZE = 260; // at most 259 characters and the NUL
// The same 259 characters as UTF-8, counted in UTF-16 units: 3 bytes at most each.
const size_t MODPATH_UTF8_SIZE = 3 * (MODPATH_SIZE - 1) + 1;

// Spans into the split path, not copies.
struct ModPathParts {
    const char *drive; // "X:" or empty
    size_t driveLength;
    const char *directory; // keeps its leading and trailing separator, or empty
    size_t directoryLength;
};

// Tells whether a byte starts a two-byte character in the system code page,
// whose second byte may look like a separator. Null for single-byte text.
typedef bool (*ModPath_LeadByteTest)(unsigned char byte);

// Both '\\' and '/' separate. A UNC path has an empty drive and a directory
// that carries the server and share.
ModPathParts ModPath_Split(const char *path, ModPath_LeadByteTest isLeadByte);

// Drive, directory, then fileName into out. False, out empty, when the result
// would not fit MODPATH_SIZE.
bool ModPath_Compose(char *out, const ModPathParts *parts, const char *fileName);

// The same for UTF-8 text into out of MODPATH_UTF8_SIZE bytes, the length
// counted in UTF-16 units as Windows counts the characters of a wide name.
bool ModPath_ComposeUtf8(char *out, const ModPathParts *parts, const char *fileName);

// UTF-16 units of bytes of UTF-8 text: one for every byte that starts a
// character, one more for each four-byte character.
size_t ModPath_Utf16Length(const char *text, size_t bytes);

// A drive letter followed by a root separator, or a UNC path (two separators
// then a server name): a path that no search order can redirect.
bool ModPath_IsFullyQualified(const ModPathParts *parts);

#endif
