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
