// The tools' one boundary between UTF-16 (the Windows API's own text) and
// UTF-8 (the text every command works in). Strict both ways: a string that is
// not valid in its encoding converts to nothing, never to a lookalike.
#ifndef ZW_TOOLS_WTEXT_H
#define ZW_TOOLS_WTEXT_H

#ifdef _WIN32
#include <string>

// False (out empty) for text that is not valid UTF-16.
bool WText_ToUtf8(const std::wstring &wide, std::string *out);
// False (out empty) for text that is not valid UTF-8.
bool WText_FromUtf8(const std::string &utf8, std::wstring *out);

// Conveniences for names known to convert: empty when they do not.
std::string WText_Utf8(const std::wstring &wide);
std::wstring WText_Wide(const std::string &utf8);

// The system's 8-bit code page, in which the spooler and the library's
// settings calls take printer names. False (out empty) for text with a
// character that code page lacks: no best-fit lookalike names another printer.
bool WText_ToAnsi(const std::wstring &wide, std::string *out);
// 8-bit text from the spooler, for showing as UTF-8.
std::string WText_AnsiToUtf8(const std::string &ansi);
#endif

#endif
