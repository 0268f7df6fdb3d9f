// zwhost's JSON writer: what it writes is JSON that gives back the bytes it
// was given.
#include "zwhost_json.h"

#include <gtest/gtest.h>

namespace {

TEST(ZwHostJson, QuotesEveryByteSoThatNoneIsLostOrGuessed) {
    const struct {
        std::string bytes;
        const char *json;
    } cases[] = {
        {"plain", "\"plain\""},
        {"a\"b\\c/d", "\"a\\\"b\\\\c/d\""},
        {std::string("\n\r\t\x01\x1F\x7F", 6) + std::string(1, '\0'),
         "\"\\n\\r\\t\\u0001\\u001F\\u007F\\u0000\""},
        {"Cust \xD0\x9F\xD1\x80\xD0\xB8 \xE6\x97\xA5 \xF0\x9F\x96\xA8", // kept as UTF-8
         "\"Cust \xD0\x9F\xD1\x80\xD0\xB8 \xE6\x97\xA5 \xF0\x9F\x96\xA8\""},
        // Not UTF-8: a code-page byte, a cut sequence, an overlong form, a
        // surrogate, a value above U+10FFFF, a stray continuation byte.
        {"Caf\xE9", "\"Caf\\uDCE9\""},
        {"\xD0", "\"\\uDCD0\""},
        {"\xC0\xAF", "\"\\uDCC0\\uDCAF\""},
        {"\xED\xA0\x80", "\"\\uDCED\\uDCA0\\uDC80\""},
        {"\xF4\x90\x80\x80", "\"\\uDCF4\\uDC90\\uDC80\\uDC80\""},
        {"\x80x", "\"\\uDC80x\""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Json_Quote(c.bytes), c.json);
    }
}

TEST(ZwHostJson, PlacesCommasAndNests) {
    JsonWriter json = {};
    Json_BeginObject(&json);
    Json_Field(&json, "name", std::string("P"));
    Json_Field(&json, "none", static_cast<const char *>(nullptr));
    Json_Field(&json, "error", static_cast<int64_t>(-1));
    Json_Key(&json, "list");
    Json_BeginArray(&json);
    Json_BeginObject(&json);
    Json_Field(&json, "ok", true);
    Json_EndObject(&json);
    Json_Int(&json, 2);
    Json_BeginArray(&json);
    Json_EndArray(&json);
    Json_EndArray(&json);
    Json_Field(&json, "last", false);
    Json_EndObject(&json);
    EXPECT_EQ(json.text, "{\"name\":\"P\",\"none\":null,\"error\":-1,\"list\":[{\"ok\":true},2,[]],"
                         "\"last\":false}");
    EXPECT_TRUE(json.empty.empty());
}

} // namespace
