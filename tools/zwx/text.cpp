#include "text.h"

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
