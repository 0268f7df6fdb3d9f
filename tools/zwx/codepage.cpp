#include "codepage.h"

#include "codepage_sys.h"
#include "utf8.h"

namespace {

const uint32_t CODEPAGE_UTF8 = 65001;

bool IsDoubleByte(uint32_t codePage) {
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

bool IsKnown(uint32_t codePage) {
    return codePage == 874 || IsDoubleByte(codePage) || (codePage >= 1250 && codePage <= 1258) ||
           codePage == CODEPAGE_UTF8;
}

size_t LongestChar(uint32_t codePage) {
    if (codePage == CODEPAGE_UTF8) {
        return 4;
    }
    return IsDoubleByte(codePage) ? 2 : 1;
}

} // namespace

CodepageStatus Codepage_Check(uint32_t codePage) {
    if (!IsKnown(codePage)) {
        return CODEPAGE_UNKNOWN;
    }
    if (codePage != CODEPAGE_UTF8 && !CodepageSys_Available(codePage)) {
        return CODEPAGE_UNAVAILABLE;
    }
    return CODEPAGE_OK;
}

bool Codepage_EncodeChar(uint32_t codePage, uint32_t codePoint, std::string *bytes) {
    bytes->clear();
    if (codePoint == 0) {
        return false; // a NUL would end the string it is part of
    }
    if (codePoint < 0x80 || codePage == CODEPAGE_UTF8) {
        Utf8_Append(bytes, codePoint);
        return true;
    }
    std::string utf8;
    Utf8_Append(&utf8, codePoint);
    std::string back;
    // The conversion back guards against best-fit tables on either platform.
    return CodepageSys_FromUtf8(codePage, utf8, bytes) && !bytes->empty() &&
           bytes->find('\0') == std::string::npos && CodepageSys_ToUtf8(codePage, *bytes, &back) &&
           back == utf8;
}

bool Codepage_DecodeChar(uint32_t codePage, const std::string &bytes, size_t at,
                         uint32_t *codePoint, size_t *length) {
    if (at >= bytes.size() || bytes[at] == '\0') {
        return false;
    }
    if (static_cast<uint8_t>(bytes[at]) < 0x80 || codePage == CODEPAGE_UTF8) {
        return Utf8_Next(bytes, at, codePoint, length);
    }
    const size_t longest = LongestChar(codePage);
    for (size_t count = 1; count <= longest && at + count <= bytes.size(); ++count) {
        const std::string piece = bytes.substr(at, count);
        std::string utf8;
        uint32_t point = 0;
        size_t used = 0;
        if (!CodepageSys_ToUtf8(codePage, piece, &utf8) || !Utf8_Next(utf8, 0, &point, &used) ||
            used != utf8.size()) {
            continue;
        }
        std::string again;
        if (Codepage_EncodeChar(codePage, point, &again) && again == piece) {
            *codePoint = point;
            *length = count;
            return true;
        }
    }
    return false;
}
