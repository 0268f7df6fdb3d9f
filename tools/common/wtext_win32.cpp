// UTF-16 <-> UTF-8 for the tools, through the system's converters with their
// strict flags.
#include "wtext.h"

#include <windows.h>

bool WText_ToUtf8(const std::wstring &wide, std::string *out) {
    out->clear();
    if (wide.empty()) {
        return true;
    }
    const int size = static_cast<int>(wide.size());
    const int count = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), size, nullptr,
                                          0, nullptr, nullptr);
    if (count <= 0) {
        return false;
    }
    out->resize(static_cast<size_t>(count));
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), size, &(*out)[0], count,
                        nullptr, nullptr);
    return true;
}

bool WText_FromUtf8(const std::string &utf8, std::wstring *out) {
    out->clear();
    if (utf8.empty()) {
        return true;
    }
    const int size = static_cast<int>(utf8.size());
    const int count =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (count <= 0) {
        return false;
    }
    out->resize(static_cast<size_t>(count));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, &(*out)[0], count);
    return true;
}

std::string WText_Utf8(const std::wstring &wide) {
    std::string out;
    WText_ToUtf8(wide, &out);
    return out;
}

std::wstring WText_Wide(const std::string &utf8) {
    std::wstring out;
    WText_FromUtf8(utf8, &out);
    return out;
}

bool WText_ToAnsi(const std::wstring &wide, std::string *out) {
    out->clear();
    if (wide.empty()) {
        return true;
    }
    const int size = static_cast<int>(wide.size());
    BOOL lacking = FALSE;
    const int count = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr,
                                          0, nullptr, &lacking);
    if (count <= 0 || lacking) {
        return false;
    }
    out->resize(static_cast<size_t>(count));
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, &(*out)[0], count, nullptr,
                        nullptr);
    return true;
}

std::string WText_AnsiToUtf8(const std::string &ansi) {
    if (ansi.empty()) {
        return std::string();
    }
    const int size = static_cast<int>(ansi.size());
    const int count = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    if (count <= 0) {
        return std::string();
    }
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, &wide[0], count);
    return WText_Utf8(wide);
}
