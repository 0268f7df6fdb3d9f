// Checks that must fail, run by ctest expecting exactly these failures: a
// runner that let a failure pass would pass every real test too.
#include <gtest/gtest.h>

#include <string>

namespace {

int g_evaluated = 0;

int Once(int value) {
    ++g_evaluated;
    return value;
}

TEST(MiniTest, FailuresAreReportedWithTheirValues) {
    EXPECT_EQ(Once(2) + 1, 4) << "message " << 7u;
    EXPECT_EQ(g_evaluated, 1) << "each operand evaluated once";
    EXPECT_STREQ("abc", "abd");
    EXPECT_STRCASEEQ("ABC", "abc"); // passes
    SCOPED_TRACE("inside the trace");
    EXPECT_TRUE(false);
}

TEST(MiniTest, AnAssertionEndsTheTest) {
    ASSERT_NE(nullptr, static_cast<void *>(nullptr));
    ADD_FAILURE() << "not reached";
}

class Fixture : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(false) << "in SetUp";
    }
};

TEST_F(Fixture, ABodyAfterAFailedSetUpDoesNotRun) {
    ADD_FAILURE() << "body ran";
}

} // namespace
