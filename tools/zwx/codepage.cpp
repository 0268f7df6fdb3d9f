#include "codepage.h"

#include "codepage_sys.h"
#include "text.h"
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

struct LanguageCodePage {
    const char *language; // ISO 639 code, or code and region
    uint32_t codePage;
};

// The ANSI code page Windows gives a system of each language. A region, where
// listed, wins over the language alone.
const LanguageCodePage CODEPAGE_LANGUAGES[] = {
    {"ja", 932},  {"zh_TW", 950}, {"zh_HK", 950}, {"zh_MO", 950}, {"zh", 936},  {"ko", 949},
    {"th", 874},  {"vi", 1258},   {"el", 1253},   {"tr", 1254},   {"az", 1254}, {"he", 1255},
    {"iw", 1255}, {"ar", 1256},   {"fa", 1256},   {"ur", 1256},   {"lt", 1257}, {"lv", 1257},
    {"et", 1257}, {"ru", 1251},   {"uk", 1251},   {"bg", 1251},   {"be", 1251}, {"mk", 1251},
    {"kk", 1251}, {"pl", 1250},   {"cs", 1250},   {"sk", 1250},   {"hu", 1250}, {"sl", 1250},
    {"hr", 1250}, {"ro", 1250},   {"sq", 1250},   {"bs", 1250},   {"af", 1252}, {"ca", 1252},
    {"da", 1252}, {"de", 1252},   {"en", 1252},   {"es", 1252},   {"eu", 1252}, {"fi", 1252},
    {"fo", 1252}, {"fr", 1252},   {"ga", 1252},   {"gl", 1252},   {"id", 1252}, {"is", 1252},
    {"it", 1252}, {"ms", 1252},   {"nb", 1252},   {"nl", 1252},   {"nn", 1252}, {"no", 1252},
    {"pt", 1252}, {"sv", 1252},   {"sw", 1252},
};

} // namespace

std::string Codepage_Parse(const std::string &what, const std::string &text, uint32_t *codePage) {
    uint32_t value = 0;
    bool digits = !text.empty() && text.size() <= 5;
    for (char c : text) {
        digits = digits && c >= '0' && c <= '9';
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    if (!digits) {
        return what + " needs a code page number, not \"" + Text_Shown(text) + "\"";
    }
    switch (Codepage_Check(value)) {
    case CODEPAGE_OK:
        *codePage = value;
        return std::string();
    case CODEPAGE_UNKNOWN:
        return "code page " + text +
               " is not one for 8-bit texts (874, 932, 936, 949, 950, 1250 to 1258, 65001)";
    case CODEPAGE_UNAVAILABLE:
        return "code page " + text + " has no conversion tables on this system";
    }
    return "code page " + text + " is not usable";
}

uint32_t Codepage_ForLanguage(const std::string &language) {
    // "zh-Hant" and "zh_Hant_TW" are written too; the script decides for Chinese.
    std::string name = language.substr(0, language.find_first_of(".@"));
    for (char &c : name) {
        c = c == '-' ? '_' : c;
    }
    const std::string code = name.substr(0, name.find('_'));
    if (code == "zh" && name.find("_Hant") != std::string::npos) {
        return 950;
    }
    if (code == "zh" && name.find("_Hans") != std::string::npos) {
        return 936;
    }
    if (code == "sr") {
        // Serbian: Cyrillic unless the Latin script is named.
        return name.find("_Latn") != std::string::npos ||
                       language.find("@latin") != std::string::npos
                   ? 1250
                   : 1251;
    }
    for (const LanguageCodePage &known : CODEPAGE_LANGUAGES) {
        if (name == known.language) {
            return known.codePage;
        }
    }
    for (const LanguageCodePage &known : CODEPAGE_LANGUAGES) {
        if (code == known.language) {
            return known.codePage;
        }
    }
    return 0;
}

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
