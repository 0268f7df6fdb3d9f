// Writing sections as source text that reads back to the same bytes.
#include "source.h"

#include "codepage.h"
#include "utf8.h"

#include <cstdio>

namespace {

enum Field { FIELD_NAME, FIELD_KEY, FIELD_VALUE };

void AppendHex(std::string *out, uint8_t byte) {
    char text[8];
    snprintf(text, sizeof text, "\\x%02X", byte);
    out->append(text);
}

bool IsControl(uint32_t codePoint) {
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

// What a line would otherwise mistake a key for: a comment, a header, the '='.
bool KeyNeedsHex(char c, size_t at) {
    return c == '=' || (at == 0 && (c == '#' || c == ';' || c == '['));
}

std::string Escape(const std::string &bytes, uint32_t codePage, Field field) {
    // Spaces at either end would be trimmed away when read back.
    size_t firstKept = 0;
    while (firstKept < bytes.size() && bytes[firstKept] == ' ') {
        ++firstKept;
    }
    size_t lastKept = bytes.size();
    while (lastKept > firstKept && bytes[lastKept - 1] == ' ') {
        --lastKept;
    }
    std::string out;
    size_t at = 0;
    while (at < bytes.size()) {
        const char c = bytes[at];
        if (c == ' ' && (at < firstKept || at >= lastKept)) {
            out.append("\\s");
        } else if (c == '\\') {
            out.append("\\\\");
        } else if (c == '\n') {
            out.append("\\n");
        } else if (c == '\r') {
            out.append("\\r");
        } else if (c == '\t') {
            out.append("\\t");
        } else if (field == FIELD_KEY && KeyNeedsHex(c, at)) {
            AppendHex(&out, static_cast<uint8_t>(c));
        } else {
            uint32_t codePoint = 0;
            size_t length = 0;
            if (!Codepage_DecodeChar(codePage, bytes, at, &codePoint, &length)) {
                AppendHex(&out, static_cast<uint8_t>(c));
            } else if (IsControl(codePoint)) {
                for (size_t i = 0; i < length; ++i) {
                    AppendHex(&out, static_cast<uint8_t>(bytes[at + i]));
                }
                at += length;
                continue;
            } else {
                Utf8_Append(&out, codePoint);
                at += length;
                continue;
            }
        }
        ++at;
    }
    return out;
}

} // namespace

std::string Source_Format(const std::vector<ZwxSection> &sections, uint32_t codePage) {
    std::string out;
    for (size_t s = 0; s < sections.size(); ++s) {
        if (s > 0) {
            out.push_back('\n');
        }
        out += "[" + Escape(sections[s].name, codePage, FIELD_NAME) + "]\n";
        for (const ZwxEntry &entry : sections[s].entries) {
            out += Escape(entry.key, codePage, FIELD_KEY) + "=" +
                   Escape(entry.value, codePage, FIELD_VALUE) + "\n";
        }
    }
    return out;
}

std::string Source_FormatText(const std::string &bytes, uint32_t codePage) {
    return Escape(bytes, codePage, FIELD_VALUE);
}
