// Small pieces of text handling that the source and PO readers share.
#ifndef ZWX_TEXT_H
#define ZWX_TEXT_H

#include <string>

// A space or a tab.
bool Text_IsBlank(char c);

// text without the blanks at either end.
std::string Text_Trim(const std::string &text);

// The value of one hexadecimal digit, or -1.
int Text_HexDigit(char c);

#endif
