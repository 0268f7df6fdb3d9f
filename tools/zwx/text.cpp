#include "text.h"

#include "utf8.h"

bool Text_IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Text_Trim(const std::string &text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && Text_IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && Text_IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

int Text_HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string Text_Utf16Problem(const std::string &text) {
    if (text.size() < 2) {
        return std::string();
    }
    const char *order = nullptr;
    if (text.compare(0, 2, "\xFF\xFE") == 0 || (text[0] != '\0' && text[1] == '\0')) {
        order = "UTF-16LE";
    } else if (text.compare(0, 2, "\xFE\xFF") == 0 || (text[0] == '\0' && text[1] != '\0')) {
        order = "UTF-16BE";
    } else {
        return std::string();
    }
    return std::string("the file is ") + order + " (UTF-16); save it as UTF-8, for example with " +
           "iconv -f " + order + " -t UTF-8";
}

TextLines Text_Lines(const std::string &text) {
    const size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    return TextLines{&text, start, false};
}

bool Text_NextLine(TextLines *lines, std::string *line) {
    if (lines->done) {
        return false;
    }
    const std::string &text = *lines->text;
    size_t end = text.find_first_of("\r\n", lines->at);
    size_t next = end + 1;
    if (end == std::string::npos) {
        end = text.size();
        lines->done = true;
    } else if (text[end] == '\r' && next < text.size() && text[next] == '\n') {
        ++next;
    }
    *line = Text_Trim(text.substr(lines->at, end - lines->at));
    lines->at = next;
    return true;
}

namespace {

void AppendOctal(std::string *out, unsigned char byte) {
    const char octal[] = {'\\', static_cast<char>('0' + (byte >> 6)),
                          static_cast<char>('0' + ((byte >> 3) & 7)),
                          static_cast<char>('0' + (byte & 7)), '\0'};
    out->append(octal);
}

} // namespace

const char *Text_NamedEscape(char c) {
    switch (c) {
    case '\\':
        return "\\\\";
    case '"':
        return "\\\"";
    case '\n':
        return "\\n";
    case '\t':
        return "\\t";
    case '\r':
        return "\\r";
    case '\a':
        return "\\a";
    case '\b':
        return "\\b";
    case '\f':
        return "\\f";
    case '\v':
        return "\\v";
    default:
        return nullptr;
    }
}

std::string Text_Shown(const std::string &text) {
    std::string out;
    size_t at = 0;
    while (at < text.size()) {
        const unsigned char byte = static_cast<unsigned char>(text[at]);
        uint32_t codePoint = 0;
        size_t length = 1;
        if (byte < 0x80) {
            const char *named = Text_NamedEscape(text[at]);
            if (named != nullptr) {
                out.append(named);
            } else if (byte < 0x20 || byte == 0x7F) {
                AppendOctal(&out, byte);
            } else {
                out.push_back(text[at]);
            }
        } else if (!Utf8_Next(text, at, &codePoint, &length)) {
            length = 1;
            AppendOctal(&out, byte);
        } else if (codePoint <= 0x9F) { // a C1 control character
            for (size_t i = 0; i < length; ++i) {
                AppendOctal(&out, static_cast<unsigned char>(text[at + i]));
            }
        } else {
            out.append(text, at, length);
        }
        at += length;
    }
    return out;
}

std::string Text_UnknownEscape(char c) {
    const std::string shown = Text_Shown(std::string(1, c));
    return shown.size() == 1 ? "unknown escape \\" + shown : "unknown escape: '\\' before " + shown;
}
