// zwhost's words: numbers must be whole and fit, export names are recognised
// with or without their prefix.
#include "zwhost_args.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(ZwHostArgsTest, CodesAreWholeNumbersThatFit) {
    int32_t code = 0;
    EXPECT_TRUE(ZwHost_ParseCode("7", &code));
    EXPECT_EQ(code, 7);
    EXPECT_TRUE(ZwHost_ParseCode("-1", &code));
    EXPECT_EQ(code, -1);
    EXPECT_TRUE(ZwHost_ParseCode("0x63", &code));
    EXPECT_EQ(code, 99);
    EXPECT_TRUE(ZwHost_ParseCode("-2147483648", &code));
    EXPECT_EQ(code, INT32_MIN);
    EXPECT_TRUE(ZwHost_ParseCode("2147483647", &code));
    EXPECT_EQ(code, INT32_MAX);
    code = 5;
    for (const char *bad :
         {"", "-", "0x", "2147483648", "-2147483649", "7a", " 7", "7 ", "+7", "seven", "1e3"}) {
        EXPECT_FALSE(ZwHost_ParseCode(bad, &code)) << bad;
    }
    EXPECT_FALSE(ZwHost_ParseCode(nullptr, &code));
    EXPECT_EQ(code, 5) << "a refused word changes nothing";
}

TEST(ZwHostArgsTest, ValuesArePointerSized) {
    intptr_t value = 0;
#if INTPTR_MAX > INT32_MAX
    EXPECT_TRUE(ZwHost_ParseValue("0x7FFFFFFFFFFFFFFF", &value));
    EXPECT_EQ(value, INTPTR_MAX);
    EXPECT_TRUE(ZwHost_ParseValue("-9223372036854775808", &value));
    EXPECT_EQ(value, INTPTR_MIN);
    EXPECT_TRUE(ZwHost_ParseValue("4294967296", &value));
    EXPECT_EQ(value, static_cast<intptr_t>(int64_t{1} << 32));
    EXPECT_TRUE(ZwHost_ParseValue("0xFFFFFFFFFFFFFFFF", &value)) << "hex words are the bits";
    EXPECT_EQ(value, -1);
    EXPECT_FALSE(ZwHost_ParseValue("9223372036854775808", &value));
    EXPECT_FALSE(ZwHost_ParseValue("0x10000000000000000", &value));
#else
    EXPECT_TRUE(ZwHost_ParseValue("0x7FFFFFFF", &value));
    EXPECT_EQ(value, INTPTR_MAX);
    EXPECT_TRUE(ZwHost_ParseValue("-2147483648", &value));
    EXPECT_EQ(value, INTPTR_MIN);
    // All 32 bits: a pointer above 2 GiB is negative as an intptr_t.
    EXPECT_TRUE(ZwHost_ParseValue("0x80000001", &value));
    EXPECT_EQ(value, INTPTR_MIN + 1);
    EXPECT_TRUE(ZwHost_ParseValue("0xFFFFFFFF", &value));
    EXPECT_EQ(value, -1);
    EXPECT_FALSE(ZwHost_ParseValue("2147483648", &value));
    EXPECT_FALSE(ZwHost_ParseValue("4294967296", &value));
    EXPECT_FALSE(ZwHost_ParseValue("0x100000000", &value));
#endif
}

TEST(ZwHostArgsTest, ExportsByFullOrShortNameInAnyCase) {
    EXPECT_STREQ(ZwHost_SettingExportName("VOLQUAD_FixSetting"), "VOLQUAD_FixSetting");
    EXPECT_STREQ(ZwHost_SettingExportName("fixsetting"), "VOLQUAD_FixSetting");
    EXPECT_STREQ(ZwHost_SettingExportName("PersonalInfoImport"), "VOLQUAD_PersonalInfoImport");
    for (const char *bad :
         {"GetErrorMsg", "VOLQUAD_GetErrorMsg", "SetChildInfo", "Fix", "", "VOLQUAD_"}) {
        EXPECT_EQ(ZwHost_SettingExportName(bad), nullptr) << bad;
    }
}

} // namespace
