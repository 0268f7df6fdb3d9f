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

// Why a file's text is UTF-16, not UTF-8, and how to convert it; empty when
// it is not. UTF-16 is told by its byte-order mark, or without one by a NUL
// byte in the first character, which no text of ours starts with.
std::string Text_Utf16Problem(const std::string &text);

// Text from an input as a message shows it, on one line and safe for a
// terminal, escaped as a PO string escapes it: \\ \" \n \t \r \a \b \f \v,
// every other control character (C0, DEL, and C1 written in UTF-8) and every
// byte that is not part of valid UTF-8 as \ooo (ESC is \033).
// The named escape of c as gettext writes it in a PO string ("\\n" for a
// line feed), or null when c has none.
const char *Text_NamedEscape(char c);
std::string Text_Shown(const std::string &text);

// "unknown escape \q", or for a character that is not shown as itself
// "unknown escape: '\' before \033".
std::string Text_UnknownEscape(char c);

// Reading a text line by line: a UTF-8 byte-order mark at its start is
// skipped; each line comes without its end (LF, CRLF or a lone CR, as
// editors on every system write them) and trimmed of blanks.
struct TextLines {
    const std::string *text;
    size_t at;
    bool done;
};
TextLines Text_Lines(const std::string &text);
// False once the last line (the one after the last LF) has been given.
bool Text_NextLine(TextLines *lines, std::string *line);

#endif
