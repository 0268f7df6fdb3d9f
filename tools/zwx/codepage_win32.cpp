// Code-page tables of the running Windows system, through UTF-16.
#include "codepage_sys.h"

#include <windows.h>

#include <string>

namespace {

bool Widen(UINT codePage, const std::string &bytes, std::wstring *wide) {
    wide->clear();
    if (bytes.empty()) {
        return true;
    }
    const int size = static_cast<int>(bytes.size());
    const int count =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (count <= 0) {
        return false;
    }
    wide->resize(static_cast<size_t>(count));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, &(*wide)[0],
                               count) == count;
}

// defaultUsed is null for UTF-8, which takes neither that check nor the flag.
bool Narrow(UINT codePage, DWORD flags, const std::wstring &wide, std::string *bytes,
            BOOL *defaultUsed) {
    bytes->clear();
    if (wide.empty()) {
        return true;
    }
    const int size = static_cast<int>(wide.size());
    const int count =
        WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, defaultUsed);
    if (count <= 0) {
        return false;
    }
    bytes->resize(static_cast<size_t>(count));
    return WideCharToMultiByte(codePage, flags, wide.data(), size, &(*bytes)[0], count, nullptr,
                               defaultUsed) == count;
}

} // namespace

bool CodepageSys_Available(uint32_t codePage) {
    CPINFO info;
    return IsValidCodePage(codePage) && GetCPInfo(codePage, &info);
}

bool CodepageSys_FromUtf8(uint32_t codePage, const std::string &utf8, std::string *bytes) {
    std::wstring wide;
    BOOL defaultUsed = FALSE;
    return Widen(CP_UTF8, utf8, &wide) &&
           Narrow(codePage, WC_NO_BEST_FIT_CHARS, wide, bytes, &defaultUsed) && !defaultUsed;
}

bool CodepageSys_ToUtf8(uint32_t codePage, const std::string &bytes, std::string *utf8) {
    std::wstring wide;
    return Widen(codePage, bytes, &wide) && Narrow(CP_UTF8, 0, wide, utf8, nullptr);
}
