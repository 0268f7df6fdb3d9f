#include "zwhost_json.h"

#include <cstdio>

namespace {

// The length of the valid UTF-8 sequence at text[at], or 0: no overlong
// forms, no surrogates, nothing above U+10FFFF.
size_t Utf8Length(const std::string &text, size_t at) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    size_t length = 0;
    unsigned low = 0x80, high = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        const unsigned char next = static_cast<unsigned char>(text[at + i]);
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) {
            return 0;
        }
    }
    return length;
}

std::string Escape(unsigned value) {
    char code[8] = {};
    snprintf(code, sizeof code, "\\u%04X", value);
    return code;
}

// Before a value: the comma after an earlier one, unless a key leads it.
void BeforeValue(JsonWriter *json) {
    if (json->afterKey) {
        json->afterKey = false;
        return;
    }
    if (!json->empty.empty()) {
        if (!json->empty.back()) {
            json->text += ',';
        }
        json->empty.back() = false;
    }
}

} // namespace

std::string Json_Quote(const std::string &bytes) {
    std::string out = "\"";
    for (size_t at = 0; at < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[at]);
        const size_t length = Utf8Length(bytes, at);
        if (length == 0) {
            out += Escape(0xDC00u + c);
            ++at;
            continue;
        }
        if (length > 1) {
            out.append(bytes, at, length);
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            out += Escape(c);
        } else {
            out += static_cast<char>(c);
        }
        at += length;
    }
    return out + "\"";
}

void Json_BeginObject(JsonWriter *json) {
    BeforeValue(json);
    json->text += '{';
    json->empty.push_back(true);
}

void Json_EndObject(JsonWriter *json) {
    json->text += '}';
    json->empty.pop_back();
}

void Json_BeginArray(JsonWriter *json) {
    BeforeValue(json);
    json->text += '[';
    json->empty.push_back(true);
}

void Json_EndArray(JsonWriter *json) {
    json->text += ']';
    json->empty.pop_back();
}

void Json_Key(JsonWriter *json, const char *key) {
    BeforeValue(json);
    json->text += Json_Quote(key) + ':';
    json->afterKey = true;
}

void Json_String(JsonWriter *json, const std::string &value) {
    BeforeValue(json);
    json->text += Json_Quote(value);
}

void Json_Int(JsonWriter *json, int64_t value) {
    BeforeValue(json);
    json->text += std::to_string(value);
}

void Json_Bool(JsonWriter *json, bool value) {
    BeforeValue(json);
    json->text += value ? "true" : "false";
}

void Json_Null(JsonWriter *json) {
    BeforeValue(json);
    json->text += "null";
}

void Json_Field(JsonWriter *json, const char *key, const std::string &value) {
    Json_Key(json, key);
    Json_String(json, value);
}

void Json_Field(JsonWriter *json, const char *key, const char *value) {
    Json_Key(json, key);
    if (value == nullptr) {
        Json_Null(json);
    } else {
        Json_String(json, value);
    }
}

void Json_Field(JsonWriter *json, const char *key, int64_t value) {
    Json_Key(json, key);
    Json_Int(json, value);
}

void Json_Field(JsonWriter *json, const char *key, bool value) {
    Json_Key(json, key);
    Json_Bool(json, value);
}
