#include "po.h"
#include "text.h"

namespace {

std::string Quote(const std::string &piece) {
    return "\"" + Po_Escape(piece) + "\"";
}

} // namespace

std::string Po_Escape(const std::string &text) {
    std::string out;
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        const char *escape = Text_NamedEscape(c);
        if (escape != nullptr) {
            out += escape;
        } else if (u < 0x20 || u == 0x7F) {
            // Octal, as gettext's reader takes it: no escape of its own.
            const char octal[] = {'\\', static_cast<char>('0' + (u >> 6)),
                                  static_cast<char>('0' + ((u >> 3) & 7)),
                                  static_cast<char>('0' + (u & 7)), '\0'};
            out += octal;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

bool Po_Writable(const std::string &text) {
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if ((u < 0x20 || u == 0x7F) && Text_NamedEscape(c) == nullptr) {
            return false;
        }
    }
    return true;
}

std::string Po_Keyword(const std::string &keyword, const std::string &text) {
    const size_t newline = text.find('\n');
    if (newline == std::string::npos || newline + 1 == text.size()) {
        return keyword + " " + Quote(text) + "\n";
    }
    std::string out = keyword + " \"\"\n";
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        out += Quote(text.substr(at, end - at)) + "\n";
        at = end;
    }
    return out;
}
