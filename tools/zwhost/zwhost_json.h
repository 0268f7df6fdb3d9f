// A small JSON writer for zwhost --json: objects and arrays written in order,
// commas placed by the writer, strings escaped so that any bytes give valid
// JSON. Portable, so its escaping is tested natively.
#ifndef ZWHOST_JSON_H
#define ZWHOST_JSON_H

#include <cstdint>
#include <string>
#include <vector>

struct JsonWriter {
    std::string text;
    std::vector<bool> empty; // per open object or array: nothing in it yet
    bool afterKey;           // a key was written, its value comes next
};

// "text" with quotes: '"', '\\' and control characters escaped (\n, \t, ...,
// else \u00XX); valid UTF-8 kept as it is; each byte that is not part of
// valid UTF-8 escaped as \uDCXX (XX the byte), the lone low surrogate that
// Python's "surrogateescape" uses, so that no byte is lost or guessed.
std::string Json_Quote(const std::string &bytes);

void Json_BeginObject(JsonWriter *json);
void Json_EndObject(JsonWriter *json);
void Json_BeginArray(JsonWriter *json);
void Json_EndArray(JsonWriter *json);
void Json_Key(JsonWriter *json, const char *key);

void Json_String(JsonWriter *json, const std::string &value);
void Json_Int(JsonWriter *json, int64_t value);
void Json_Bool(JsonWriter *json, bool value);
void Json_Null(JsonWriter *json);

// Key and value in one.
void Json_Field(JsonWriter *json, const char *key, const std::string &value);
void Json_Field(JsonWriter *json, const char *key, const char *value); // null: JSON null
void Json_Field(JsonWriter *json, const char *key, int64_t value);
void Json_Field(JsonWriter *json, const char *key, bool value);

#endif
