// Reading PO files: entries of keyword lines with their continuation lines,
// comment lines before them, "#~" for obsolete entries.
#include "po.h"

#include "text.h"
#include "utf8.h"

#include <unordered_map>

namespace {

// As gettext's tools do, a file with this many errors is not read further:
// what follows is not a PO file, and the errors would only repeat.
const size_t PO_MAX_ERRORS = 100;

// Which string of the entry a line adds to.
enum Part { PART_NONE, PART_CONTEXT, PART_ID, PART_PLURAL, PART_STR, PART_OTHER_STR };

struct Parser {
    const std::string *name;
    size_t line;
    PoFile file;
    PoEntry entry;
    bool open; // an entry has begun
    bool haveId;
    bool haveStr;
    Part part;
    std::string ignored; // where the text of a part that is not kept goes
};

void Fail(Parser *parser, const std::string &what) {
    if (parser->file.errors.size() < PO_MAX_ERRORS) {
        parser->file.errors.push_back(*parser->name + ":" + std::to_string(parser->line) + ": " +
                                      what);
    }
}

void StartEntry(Parser *parser) {
    parser->entry = PoEntry();
    parser->entry.line = parser->line;
    parser->open = true;
    parser->haveId = false;
    parser->haveStr = false;
    parser->part = PART_NONE;
}

void FinishEntry(Parser *parser) {
    if (!parser->open) {
        return;
    }
    if (parser->haveId && parser->haveStr) {
        parser->file.entries.push_back(parser->entry);
    } else if (parser->haveId || parser->entry.hasContext) {
        const size_t line = parser->line;
        parser->line = parser->entry.line;
        Fail(parser, parser->haveId ? "an entry without msgstr" : "an entry without msgid");
        parser->line = line;
    }
    parser->open = false;
}

// The character a named escape stands for, or '\0'.
char NamedEscape(char c) {
    switch (c) {
    case 'n':
        return '\n';
    case 't':
        return '\t';
    case 'r':
        return '\r';
    case 'a':
        return '\a';
    case 'b':
        return '\b';
    case 'f':
        return '\f';
    case 'v':
        return '\v';
    case '\\':
    case '"':
    case '\'':
    case '?':
        return c;
    default:
        return '\0';
    }
}

// Notes the first escape (quoted[from..to]) that writes a byte above 0x7F.
void NoteByte(const std::string &quoted, size_t from, size_t to, unsigned value,
              std::string *first) {
    if (value > 0x7Fu && first->empty()) {
        *first = quoted.substr(from, to - from + 1);
    }
}

// A string in double quotes, unescaped onto *out; false with an error.
bool ParseString(Parser *parser, const std::string &text, std::string *out) {
    const std::string quoted = Text_Trim(text);
    if (quoted.size() < 2 || quoted[0] != '"' || quoted.back() != '"') {
        Fail(parser, "expected a string in double quotes");
        return false;
    }
    const size_t close = quoted.size() - 1;
    const size_t start = out->size();
    std::string byteEscape; // the first escape that writes a byte above 0x7F
    for (size_t at = 1; at < close; ++at) {
        char c = quoted[at];
        if (c == '"') {
            Fail(parser, "a '\"' inside a string (write \\\")");
            return false;
        }
        if (c != '\\') {
            out->push_back(c);
            continue;
        }
        if (at + 1 >= close) {
            Fail(parser, "a string ends in a lone '\\'");
            return false;
        }
        const size_t escapeAt = at;
        c = quoted[++at];
        unsigned value = 0;
        if (NamedEscape(c) != '\0') {
            out->push_back(NamedEscape(c));
        } else if (c >= '0' && c <= '7') {
            // Up to three octal digits.
            value = static_cast<unsigned>(c - '0');
            for (int more = 0;
                 more < 2 && at + 1 < close && quoted[at + 1] >= '0' && quoted[at + 1] <= '7';
                 ++more) {
                value = value * 8 + static_cast<unsigned>(quoted[++at] - '0');
            }
            NoteByte(quoted, escapeAt, at, value, &byteEscape);
            out->push_back(static_cast<char>(value & 0xFFu));
        } else if (c == 'x' && at + 1 < close && Text_HexDigit(quoted[at + 1]) >= 0) {
            while (at + 1 < close && Text_HexDigit(quoted[at + 1]) >= 0) {
                value = value * 16 + static_cast<unsigned>(Text_HexDigit(quoted[++at]));
            }
            NoteByte(quoted, escapeAt, at, value, &byteEscape);
            out->push_back(static_cast<char>(value & 0xFFu));
        } else {
            Fail(parser, Text_UnknownEscape(c));
            return false;
        }
    }
    // Escapes write bytes; texts are UTF-8, so bytes that form no character
    // are a mistake of the escape (a Latin-1 \351 for é), not of the file.
    for (size_t at = start; !byteEscape.empty() && at < out->size();) {
        uint32_t codePoint = 0;
        size_t length = 0;
        if (!Utf8_Next(*out, at, &codePoint, &length)) {
            Fail(parser, "the escape " + byteEscape +
                             " writes a byte that is no UTF-8 character here; write the "
                             "character itself (or all of its UTF-8 bytes)");
            return false;
        }
        at += length;
    }
    return true;
}

std::string *PartString(Parser *parser, Part part) {
    switch (part) {
    case PART_CONTEXT:
        return &parser->entry.context;
    case PART_ID:
        return &parser->entry.id;
    case PART_STR:
        return &parser->entry.str;
    case PART_NONE:
    case PART_PLURAL:
    case PART_OTHER_STR:
        break;
    }
    parser->ignored.clear();
    return &parser->ignored;
}

void KeywordLine(Parser *parser, const std::string &line, bool obsolete) {
    if (line[0] == '"') {
        if (!parser->open || parser->part == PART_NONE) {
            Fail(parser, "a string continues no keyword");
        } else {
            ParseString(parser, line, PartString(parser, parser->part));
        }
        return;
    }
    const size_t space = line.find_first_of(" \t\"");
    const std::string keyword = line.substr(0, space);
    const std::string rest = space == std::string::npos ? std::string() : line.substr(space);
    Part part = PART_NONE;
    if (keyword == "msgctxt" || keyword == "msgid") {
        // A new entry begins after a complete one, or after one that lacks its
        // msgstr (reported by FinishEntry).
        if (parser->open && (parser->haveStr || parser->haveId ||
                             (keyword == "msgctxt" && parser->entry.hasContext))) {
            FinishEntry(parser);
        }
        if (!parser->open) {
            StartEntry(parser);
        }
        if (keyword == "msgctxt") {
            parser->entry.hasContext = true;
            part = PART_CONTEXT;
        } else {
            parser->haveId = true;
            parser->entry.idLine = parser->line;
            part = PART_ID;
        }
    } else if (!parser->open || !parser->haveId) {
        Fail(parser, Text_Shown(keyword) + " without msgid");
        return;
    } else if (keyword == "msgid_plural") {
        parser->entry.plural = true;
        part = PART_PLURAL;
    } else if (keyword == "msgstr" || (keyword == "msgstr[0]" && parser->entry.plural)) {
        parser->haveStr = true;
        parser->entry.strLine = parser->line;
        part = PART_STR;
    } else if (keyword.compare(0, 7, "msgstr[") == 0 && parser->entry.plural) {
        part = PART_OTHER_STR;
    } else {
        Fail(parser, "unknown keyword " + Text_Shown(keyword));
        return;
    }
    parser->entry.obsolete = parser->entry.obsolete || obsolete;
    parser->part = part;
    std::string *target = PartString(parser, part);
    target->clear();
    ParseString(parser, rest, target);
}

void CommentLine(Parser *parser, const std::string &line) {
    // Comments come before the keywords of the entry they belong to.
    if (parser->open && (parser->haveId || parser->entry.hasContext)) {
        FinishEntry(parser);
    }
    if (!parser->open) {
        StartEntry(parser);
    }
    if (line.compare(0, 2, "#,") == 0) {
        size_t at = 2;
        while (at < line.size()) {
            size_t end = line.find(',', at);
            end = end == std::string::npos ? line.size() : end;
            if (Text_Trim(line.substr(at, end - at)) == "fuzzy") {
                parser->entry.fuzzy = true;
            }
            at = end + 1;
        }
    } else if (line.compare(0, 2, "#.") == 0) {
        parser->entry.extracted.push_back(Text_Trim(line.substr(2)));
    }
    // Translator comments, references and previous strings ("#|") change nothing.
}

} // namespace

PoFile Po_Parse(const std::string &text, const std::string &name) {
    Parser parser = Parser();
    parser.name = &name;
    TextLines lines = Text_Lines(text);
    std::string line;
    while (parser.file.errors.size() < PO_MAX_ERRORS && Text_NextLine(&lines, &line)) {
        ++parser.line;
        if (line.compare(0, 2, "#~") == 0) {
            // An obsolete entry: its keyword lines behind the marker ("#~|" is
            // its previous string, a comment).
            const std::string rest = Text_Trim(line.substr(2));
            if (!rest.empty() && rest[0] != '|') {
                if (!parser.open) {
                    StartEntry(&parser);
                }
                KeywordLine(&parser, rest, true);
            }
        } else if (line.empty()) {
            FinishEntry(&parser);
        } else if (line[0] == '#') {
            CommentLine(&parser, line);
        } else {
            if (!parser.open) {
                StartEntry(&parser);
            }
            KeywordLine(&parser, line, false);
        }
    }
    if (parser.file.errors.size() >= PO_MAX_ERRORS) {
        parser.file.errors.push_back(name + ":" + std::to_string(parser.line) +
                                     ": too many errors; the rest of the file is not read");
        return parser.file;
    }
    FinishEntry(&parser);
    // The same context and msgid twice: gettext's tools refuse such a file.
    // Each message is told apart by whether it has a context, the context's
    // length, the context and the id; the line of its first msgid is kept.
    std::unordered_map<std::string, size_t> firstLine;
    firstLine.reserve(parser.file.entries.size());
    for (const PoEntry &entry : parser.file.entries) {
        if (entry.obsolete) {
            continue;
        }
        const std::string message = (entry.hasContext ? "c" : "n") +
                                    std::to_string(entry.context.size()) + ":" + entry.context +
                                    entry.id;
        const auto inserted = firstLine.emplace(message, entry.idLine);
        if (!inserted.second && parser.file.errors.size() < PO_MAX_ERRORS) {
            parser.file.errors.push_back(name + ":" + std::to_string(entry.idLine) +
                                         ": the same message as line " +
                                         std::to_string(inserted.first->second));
        }
    }
    return parser.file;
}

const PoEntry *Po_Header(const PoFile &file) {
    for (const PoEntry &entry : file.entries) {
        if (!entry.obsolete && !entry.hasContext && entry.id.empty()) {
            return &entry;
        }
    }
    return nullptr;
}

std::string Po_HeaderField(const PoEntry &header, const std::string &field) {
    size_t at = 0;
    while (at < header.str.size()) {
        size_t end = header.str.find('\n', at);
        end = end == std::string::npos ? header.str.size() : end;
        const std::string line = header.str.substr(at, end - at);
        const size_t colon = line.find(':');
        if (colon != std::string::npos && Text_Trim(line.substr(0, colon)) == field) {
            return Text_Trim(line.substr(colon + 1));
        }
        at = end + 1;
    }
    return std::string();
}
