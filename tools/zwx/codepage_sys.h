// The platform's conversion tables behind codepage.h (codepage_posix.cpp,
// codepage_win32.cpp). Whole strings, no best fit, no default characters.
#ifndef ZWX_CODEPAGE_SYS_H
#define ZWX_CODEPAGE_SYS_H

#include <cstdint>
#include <string>

bool CodepageSys_Available(uint32_t codePage);

// False when any character has no mapping or the input is not valid UTF-8.
bool CodepageSys_FromUtf8(uint32_t codePage, const std::string &utf8, std::string *bytes);

// False when the bytes are not valid text in the code page.
bool CodepageSys_ToUtf8(uint32_t codePage, const std::string &bytes, std::string *utf8);

#endif
