#include "jsonread.h"

#include <cstdlib>
#include <cstring>

namespace {

struct Reader {
    const std::string &text;
    size_t at;
    std::string error;
};

bool Fail(Reader *r, const char *why) {
    if (r->error.empty()) {
        r->error = std::string(why) + " at byte " + std::to_string(r->at);
    }
    return false;
}

void Space(Reader *r) {
    while (r->at < r->text.size() && strchr(" \t\r\n", r->text[r->at]) != nullptr) {
        ++r->at;
    }
}

void PutUtf8(std::string *out, unsigned code) {
    if (code < 0x80) {
        *out += static_cast<char>(code);
    } else if (code < 0x800) {
        *out += static_cast<char>(0xC0 | (code >> 6));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out += static_cast<char>(0xE0 | (code >> 12));
        *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (code >> 18));
        *out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool Hex4(Reader *r, unsigned *code) {
    if (r->at + 4 > r->text.size()) {
        return Fail(r, "a cut \\u escape");
    }
    *code = 0;
    for (int i = 0; i < 4; ++i) {
        const char c = r->text[r->at++];
        const char *digits = "0123456789abcdef0123456789ABCDEF";
        const char *found = strchr(digits, c);
        if (c == '\0' || found == nullptr) {
            return Fail(r, "a bad \\u escape");
        }
        *code = *code * 16 + static_cast<unsigned>((found - digits) % 16);
    }
    return true;
}

bool String(Reader *r, std::string *out) {
    ++r->at; // the quote
    while (r->at < r->text.size()) {
        const unsigned char c = static_cast<unsigned char>(r->text[r->at++]);
        if (c == '"') {
            return true;
        }
        if (c < 0x20) {
            return Fail(r, "a raw control character in a string");
        }
        if (c != '\\') {
            *out += static_cast<char>(c);
            continue;
        }
        if (r->at >= r->text.size()) {
            break;
        }
        const char e = r->text[r->at++];
        const char *plain = strchr("\"\\/bfnrt", e);
        if (e != '\0' && plain != nullptr && e != 'u') {
            *out += "\"\\/\b\f\n\r\t"[plain - "\"\\/bfnrt"];
            continue;
        }
        unsigned code = 0;
        if (e != 'u' || !Hex4(r, &code)) {
            return Fail(r, "an escape JSON does not have");
        }
        if (code >= 0xD800 && code <= 0xDBFF && r->text.compare(r->at, 2, "\\u") == 0) {
            r->at += 2;
            unsigned low = 0;
            if (!Hex4(r, &low) || low < 0xDC00 || low > 0xDFFF) {
                return Fail(r, "a high surrogate without its low one");
            }
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        } else if (code >= 0xDC80 && code <= 0xDCFF) {
            *out += static_cast<char>(code - 0xDC00); // an escaped byte
            continue;
        }
        PutUtf8(out, code);
    }
    return Fail(r, "a string without its end");
}

bool Value(Reader *r, JsonValue *value, int depth);

bool Members(Reader *r, JsonValue *value, int depth, char close) {
    ++r->at;
    Space(r);
    if (r->at < r->text.size() && r->text[r->at] == close) {
        ++r->at;
        return true;
    }
    for (;;) {
        Space(r);
        if (close == '}') {
            std::string key;
            if (r->at >= r->text.size() || r->text[r->at] != '"' || !String(r, &key)) {
                return Fail(r, "an object key missing");
            }
            Space(r);
            if (r->at >= r->text.size() || r->text[r->at] != ':') {
                return Fail(r, "a ':' missing");
            }
            ++r->at;
            value->fields.push_back({key, JsonValue()});
            if (!Value(r, &value->fields.back().second, depth + 1)) {
                return false;
            }
        } else {
            value->items.push_back(JsonValue());
            if (!Value(r, &value->items.back(), depth + 1)) {
                return false;
            }
        }
        Space(r);
        if (r->at < r->text.size() && r->text[r->at] == ',') {
            ++r->at;
            continue;
        }
        if (r->at < r->text.size() && r->text[r->at] == close) {
            ++r->at;
            return true;
        }
        return Fail(r, "a ',' or the end missing");
    }
}

bool Value(Reader *r, JsonValue *value, int depth) {
    Space(r);
    if (depth > 64 || r->at >= r->text.size()) {
        return Fail(r, "no value");
    }
    const char c = r->text[r->at];
    for (const char *word : {"null", "true", "false"}) {
        if (r->text.compare(r->at, strlen(word), word) == 0) {
            r->at += strlen(word);
            value->kind = word[0] == 'n' ? JsonValue::NUL : JsonValue::BOOL;
            value->boolean = word[0] == 't';
            return true;
        }
    }
    if (c == '"') {
        value->kind = JsonValue::STRING;
        return String(r, &value->text);
    }
    if (c == '{' || c == '[') {
        value->kind = c == '{' ? JsonValue::OBJECT : JsonValue::ARRAY;
        return Members(r, value, depth, c == '{' ? '}' : ']');
    }
    // zwhost writes whole numbers only.
    const size_t start = r->at;
    if (c == '-') {
        ++r->at;
    }
    while (r->at < r->text.size() && r->text[r->at] >= '0' && r->text[r->at] <= '9') {
        ++r->at;
    }
    if (r->at == start || (r->at == start + 1 && c == '-')) {
        return Fail(r, "not a value");
    }
    value->kind = JsonValue::NUMBER;
    value->number = strtoll(r->text.c_str() + start, nullptr, 10);
    return true;
}

} // namespace

const JsonValue &JsonValue::operator[](const std::string &name) const {
    static const JsonValue none;
    for (const auto &field : fields) {
        if (field.first == name) {
            return field.second;
        }
    }
    return none;
}

bool Json_Parse(const std::string &text, JsonValue *value, std::string *error) {
    Reader reader = {text, 0, ""};
    *value = JsonValue();
    bool ok = Value(&reader, value, 0);
    Space(&reader);
    if (ok && reader.at != text.size()) {
        ok = Fail(&reader, "bytes after the value");
    }
    *error = reader.error;
    return ok;
}
