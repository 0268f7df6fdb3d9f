// Reading the source text: lines, escapes, conversion, and the limits of what
// the library can load.
#include "source.h"

#include "codepage.h"
#include "datafile.h"
#include "errmsg.h"
#include "text.h"
#include "utf8.h"

#include <cstdio>

namespace {

const size_t SOURCE_MAX_ERRORS = 100;

std::string Hex2(unsigned value) {
    char text[8];
    snprintf(text, sizeof text, "%02X", value & 0xFFu);
    return text;
}

std::string CodePointName(uint32_t codePoint) {
    char text[16];
    snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(codePoint));
    return text;
}

// One escape at raw[at] (the backslash); false with *error set.
bool DecodeEscape(const std::string &raw, size_t *at, std::string *bytes, std::string *error) {
    if (*at + 1 >= raw.size()) {
        *error = "a lone '\\' at the end (write \\\\ for a backslash)";
        return false;
    }
    const char kind = raw[*at + 1];
    *at += 2;
    switch (kind) {
    case '\\':
        bytes->push_back('\\');
        return true;
    case 'n':
        bytes->push_back('\n');
        return true;
    case 'r':
        bytes->push_back('\r');
        return true;
    case 't':
        bytes->push_back('\t');
        return true;
    case 's':
        bytes->push_back(' ');
        return true;
    case 'x': {
        const int high = *at < raw.size() ? Text_HexDigit(raw[*at]) : -1;
        const int low = *at + 1 < raw.size() ? Text_HexDigit(raw[*at + 1]) : -1;
        if (high < 0 || low < 0) {
            *error = "\\x needs two hex digits";
            return false;
        }
        *at += 2;
        if (high == 0 && low == 0) {
            *error = "\\x00: a NUL cannot be stored";
            return false;
        }
        bytes->push_back(static_cast<char>(high * 16 + low));
        return true;
    }
    default:
        *error = Text_UnknownEscape(kind) + " (known: \\\\ \\n \\r \\t \\s \\xHH)";
        return false;
    }
}

// The character at raw[*at], converted; false with *error set.
bool ConvertChar(const std::string &raw, size_t *at, uint32_t codePage, std::string *bytes,
                 std::string *error) {
    uint32_t codePoint = 0;
    size_t length = 0;
    if (!Utf8_Next(raw, *at, &codePoint, &length)) {
        *error = "invalid UTF-8 (byte 0x" + Hex2(static_cast<uint8_t>(raw[*at])) +
                 "); save the source as UTF-8";
        return false;
    }
    if (codePoint == 0) {
        *error = "a NUL character cannot be stored";
        return false;
    }
    std::string encoded;
    if (!Codepage_EncodeChar(codePage, codePoint, &encoded)) {
        *error = "\"" + Text_Shown(raw.substr(*at, length)) + "\" (" + CodePointName(codePoint) +
                 ") has no mapping in code page " + std::to_string(codePage);
        return false;
    }
    bytes->append(encoded);
    *at += length;
    return true;
}

// Escapes become bytes as written; every other character is converted.
bool DecodeText(const std::string &raw, uint32_t codePage, std::string *bytes, std::string *error) {
    bytes->clear();
    size_t at = 0;
    while (at < raw.size()) {
        const bool ok = raw[at] == '\\' ? DecodeEscape(raw, &at, bytes, error)
                                        : ConvertChar(raw, &at, codePage, bytes, error);
        if (!ok) {
            return false;
        }
    }
    return true;
}

const char SOURCE_CODEPAGE_DIRECTIVE[] = "#codepage";

struct Parser {
    const std::string *sourceName;
    uint32_t codePage;
    size_t line;
    SourceResult result;
};

void Fail(Parser *parser, const std::string &what) {
    if (parser->result.errors.size() < SOURCE_MAX_ERRORS) {
        parser->result.errors.push_back(*parser->sourceName + ":" + std::to_string(parser->line) +
                                        ": " + what);
    }
}

// Decodes one part of a line and refuses it at maxBytes or more.
bool DecodePart(Parser *parser, const char *part, const std::string &raw, uint32_t maxBytes,
                const char *limitWhy, std::string *bytes) {
    std::string error;
    if (!DecodeText(raw, parser->codePage, bytes, &error)) {
        Fail(parser, std::string("in the ") + part + ": " + error);
        return false;
    }
    if (bytes->size() >= maxBytes) {
        Fail(parser, std::string("the ") + part + " is " + std::to_string(bytes->size()) +
                         " bytes in code page " + std::to_string(parser->codePage) + "; " +
                         limitWhy + " at most " + std::to_string(maxBytes - 1));
        return false;
    }
    return true;
}

// "#codepage" and a blank or the end: the directive, not a comment.
bool IsDirective(const std::string &line) {
    const size_t length = sizeof SOURCE_CODEPAGE_DIRECTIVE - 1;
    return line.compare(0, length, SOURCE_CODEPAGE_DIRECTIVE) == 0 &&
           (line.size() == length || Text_IsBlank(line[length]));
}

void ParseDirective(Parser *parser, const std::string &line) {
    const std::string number = Text_Trim(line.substr(sizeof SOURCE_CODEPAGE_DIRECTIVE - 1));
    uint32_t value = 0;
    const std::string problem = Codepage_Parse(SOURCE_CODEPAGE_DIRECTIVE, number, &value);
    if (parser->result.statedCodePage != 0) {
        Fail(parser, "a second #codepage line");
    } else if (!parser->result.sections.empty()) {
        Fail(parser, "#codepage must come before the first [Section]");
    } else if (!problem.empty()) {
        Fail(parser, problem);
    } else {
        parser->result.statedCodePage = value;
        parser->codePage = value;
    }
}

void ParseHeader(Parser *parser, const std::string &line) {
    // Entries after a broken header still belong to a section: no second error for each.
    parser->result.sections.push_back(ZwxSection());
    parser->result.lines.emplace_back();
    parser->result.sectionLines.push_back(parser->line);
    if (line.size() < 2 || line.back() != ']') {
        Fail(parser, "a section header ends with ']'");
        return;
    }
    DecodePart(parser, "section name", Text_Trim(line.substr(1, line.size() - 2)),
               DATAFILE_SECTION_NAME_SIZE, "a name field holds",
               &parser->result.sections.back().name);
}

void ParseEntry(Parser *parser, const std::string &line) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
        Fail(parser, "expected [Section], KEY=value or a comment");
        return;
    }
    if (parser->result.sections.empty()) {
        Fail(parser, "an entry before the first [Section] header");
        return;
    }
    ZwxEntry entry;
    // No escape ends in a blank, so every blank at either end is unescaped.
    const bool keyOk = DecodePart(parser, "key", Text_Trim(line.substr(0, equals)), ERRMSG_KEY_SIZE,
                                  "the library reads keys of", &entry.key);
    const bool valueOk =
        DecodePart(parser, "value", Text_Trim(line.substr(equals + 1)), DATAFILE_STRING_SCAN,
                   "the library reads values of", &entry.value);
    if (keyOk && valueOk) {
        parser->result.sections.back().entries.push_back(entry);
        parser->result.lines.back().push_back(parser->line);
    }
}

} // namespace

SourceResult Source_Parse(const std::string &text, const std::string &sourceName,
                          uint32_t codePage) {
    Parser parser = {&sourceName, codePage, 0, SourceResult()};
    // What Windows PowerShell 5 writes when a dump is redirected with '>'.
    const std::string utf16 = Text_Utf16Problem(text);
    if (!utf16.empty()) {
        parser.line = 1;
        Fail(&parser, utf16);
        return parser.result;
    }
    TextLines lines = Text_Lines(text);
    std::string line;
    while (Text_NextLine(&lines, &line)) {
        ++parser.line;
        if (IsDirective(line)) {
            ParseDirective(&parser, line);
        } else if (line.empty() || line[0] == '#' || line[0] == ';') {
            // nothing
        } else if (line[0] == '[') {
            ParseHeader(&parser, line);
        } else {
            ParseEntry(&parser, line);
        }
    }
    if (parser.result.errors.size() >= SOURCE_MAX_ERRORS) {
        parser.result.errors.push_back(sourceName + ": too many errors; only the first " +
                                       std::to_string(SOURCE_MAX_ERRORS) + " are shown");
    }
    return parser.result;
}

std::string Source_CodePageLine(uint32_t codePage) {
    return std::string(SOURCE_CODEPAGE_DIRECTIVE) + " " + std::to_string(codePage);
}

bool Source_Convert(const std::string &utf8, uint32_t codePage, std::string *bytes,
                    std::string *error) {
    bytes->clear();
    size_t at = 0;
    while (at < utf8.size()) {
        if (!ConvertChar(utf8, &at, codePage, bytes, error)) {
            return false;
        }
    }
    return true;
}
