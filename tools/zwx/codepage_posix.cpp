// Code-page tables through iconv; Windows code page N is iconv's "CPN".
#include "codepage_sys.h"

#include <iconv.h>

#include <cerrno>
#include <string>

namespace {

std::string IconvName(uint32_t codePage) {
    return "CP" + std::to_string(codePage);
}

// Without //TRANSLIT or //IGNORE, iconv stops at the first character it
// cannot convert; a count of irreversible conversions is refused as well.
bool Convert(const char *to, const char *from, const std::string &input, std::string *output) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    const size_t failed = static_cast<size_t>(-1);
    output->clear();
    char *in = const_cast<char *>(input.data());
    size_t inLeft = input.size();
    char buffer[256];
    size_t result = 0;
    while (inLeft > 0) {
        char *out = buffer;
        size_t outLeft = sizeof buffer;
        result = iconv(cd, &in, &inLeft, &out, &outLeft);
        output->append(buffer, static_cast<size_t>(out - buffer));
        if (result == failed && errno != E2BIG) {
            break; // EILSEQ: no mapping or invalid input; EINVAL: cut short
        }
        if (result != failed && result != 0) {
            break;
        }
    }
    if (inLeft == 0) {
        do { // a character the converter still holds back
            char *out = buffer;
            size_t outLeft = sizeof buffer;
            result = iconv(cd, nullptr, nullptr, &out, &outLeft);
            output->append(buffer, static_cast<size_t>(out - buffer));
        } while (result == failed && errno == E2BIG);
    }
    iconv_close(cd);
    return inLeft == 0 && result == 0;
}

} // namespace

bool CodepageSys_Available(uint32_t codePage) {
    const std::string name = IconvName(codePage);
    iconv_t cd = iconv_open(name.c_str(), "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    iconv_close(cd);
    return true;
}

bool CodepageSys_FromUtf8(uint32_t codePage, const std::string &utf8, std::string *bytes) {
    return Convert(IconvName(codePage).c_str(), "UTF-8", utf8, bytes);
}

bool CodepageSys_ToUtf8(uint32_t codePage, const std::string &bytes, std::string *utf8) {
    return Convert("UTF-8", IconvName(codePage).c_str(), bytes, utf8);
}
