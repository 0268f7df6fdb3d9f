// PO files, the translators' format (gettext's tools, Poedit, Weblate, ...),
// as far as catalogues without plural forms use it.
//
// A small reader and writer of our own: the one maintained PO library, GNU
// libgettextpo, is built by Debian for the native toolchain only; there is no
// build of it for MinGW-w64 or for MSVC to link zwx against, and zwx needs
// only entries, their context, flags and comments. The reader is tested
// against files that gettext's own tools write.
#ifndef ZWX_PO_H
#define ZWX_PO_H

#include <cstddef>
#include <string>
#include <vector>

struct PoEntry {
    size_t line;    // where the entry's first line is
    size_t idLine;  // where its msgid is
    size_t strLine; // where its msgstr (msgstr[0]) is
    bool hasContext;
    std::string context;                // msgctxt
    std::string id;                     // msgid
    bool plural;                        // has msgid_plural; str is then msgstr[0]
    std::string str;                    // msgstr
    bool fuzzy;                         // "#, fuzzy": a guess that a translator has not confirmed
    bool obsolete;                      // "#~": kept for history only
    std::vector<std::string> extracted; // "#." comments, marker and one space removed
};

struct PoFile {
    std::vector<PoEntry> entries;    // in file order, the header entry included
    std::vector<std::string> errors; // "name:line: what"
};

// Strings are unescaped (\n \t \r \a \b \f \v \\ \" \ooo \xHH) and the lines of
// one string joined; the bytes are not checked as UTF-8 here.
PoFile Po_Parse(const std::string &text, const std::string &name);

// The header entry (msgid "" without a context), or null.
const PoEntry *Po_Header(const PoFile &file);

// A field of the header's msgstr ("Content-Type"), trimmed; empty when absent.
std::string Po_HeaderField(const PoEntry &header, const std::string &field);

// keyword and its string as gettext writes them: one line, or "" followed by
// one line per "\n"-ended piece.
std::string Po_Keyword(const std::string &keyword, const std::string &text);

// text with quotes, backslashes and control characters escaped as a PO
// string writes them, without the quotes around it: one line, always.
std::string Po_Escape(const std::string &text);

// False when text holds a control character that a PO string does not carry
// by a named escape (\n \t \r \a \b \f \v).
bool Po_Writable(const std::string &text);

#endif
