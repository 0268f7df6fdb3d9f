// The GoogleTest macros that the Windows tests use, for toolchains where
// GoogleTest does not build (MSVC mode here: no compiled C++ runtime, no
// exceptions, no iostream). The same test sources build on either.
// Behaviour follows GoogleTest where the tests can see it: EXPECT_* records a
// failure and goes on, ASSERT_* also returns from the current function, a
// fatal failure in SetUp skips the body, SCOPED_TRACE adds its value to the
// failures below it, and main runs the tests whose names match
// --gtest_filter=PATTERN[:PATTERN...][-PATTERN...] and fails if any failed.
// Output goes through the Win32 console handle: no variadic C runtime call,
// which a foreign-ABI C runtime (ARM64 Wine's) may not survive.
#ifndef ZW_MINITEST_GTEST_H
#define ZW_MINITEST_GTEST_H

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

namespace testing {

class Test {
  public:
    virtual ~Test() = default;
    static void SetUpTestSuite() {}
    static void TearDownTestSuite() {}
    virtual void SetUp() {}
    virtual void TearDown() {}
    virtual void TestBody() = 0;
};

namespace internal {

// A failure message under construction; << appends as GoogleTest's does.
class Message {
  public:
    Message &operator<<(const std::string &text) {
        text_ += text;
        return *this;
    }
    Message &operator<<(const char *text) {
        text_ += text != nullptr ? text : "(null)";
        return *this;
    }
    Message &operator<<(char *text) {
        return *this << static_cast<const char *>(text);
    }
    Message &operator<<(const std::wstring &text);
    Message &operator<<(bool value) {
        text_ += value ? "true" : "false";
        return *this;
    }
    Message &operator<<(char c) {
        text_ += c;
        return *this;
    }
    template <typename T> Message &operator<<(const T &value);
    const std::string &Text() const {
        return text_;
    }

  private:
    std::string text_;
};

std::string Decimal(uint64_t magnitude, bool negative);
std::string Hex(uint64_t value);

template <typename T> Message &Message::operator<<(const T &value) {
    if constexpr (std::is_enum_v<T>) {
        using U = std::underlying_type_t<T>;
        return *this << static_cast<U>(value);
    } else if constexpr (std::is_integral_v<T>) {
        const bool negative = std::is_signed_v<T> && value < 0;
        const uint64_t magnitude =
            negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
        text_ += Decimal(magnitude, negative);
    } else if constexpr (std::is_null_pointer_v<T>) {
        text_ += "(nullptr)";
    } else if constexpr (std::is_pointer_v<T>) {
        text_ += Hex(reinterpret_cast<uintptr_t>(value));
    } else {
        text_ += "<value>";
    }
    return *this;
}

template <typename T> std::string Show(const T &value) {
    Message m;
    m << value;
    return m.Text();
}

// Records a failure of the running test and prints it with the traces in force.
void Fail(const char *file, int line, bool fatal, const std::string &what,
          const std::string &message);
bool FatalFailureSoFar();

// Used as `Reporter{...} = Message() << ...`, so that the message operands are
// evaluated only when the check fails.
struct Reporter {
    const char *file;
    int line;
    bool fatal;
    std::string what;
    void operator=(const Message &message) const {
        Fail(file, line, fatal, what, message.Text());
    }
};

// The outcome of one check, each operand evaluated once.
struct Result {
    bool ok;
    std::string what;
    explicit operator bool() const {
        return ok;
    }
};

Result Truth(bool value, bool expected, const char *expression);
Result Strings(const char *ea, const char *eb, const char *a, const char *b, bool equal,
               bool ignoreCase);

template <typename A, typename B>
Result Compared(bool ok, const char *op, const char *ea, const char *eb, const A &a, const B &b) {
    if (ok) {
        return Result{true, std::string()};
    }
    return Result{false, std::string("Expected: (") + ea + ") " + op + " (" + eb +
                             "), actual: " + Show(a) + " vs " + Show(b)};
}

#define ZW_MT_DEFINE_CMP(name, op)                                                                 \
    template <typename A, typename B>                                                              \
    Result name(const char *ea, const char *eb, const A &a, const B &b) {                          \
        return Compared(a op b, #op, ea, eb, a, b);                                                \
    }
ZW_MT_DEFINE_CMP(Eq, ==)
ZW_MT_DEFINE_CMP(Ne, !=)
ZW_MT_DEFINE_CMP(Lt, <)
ZW_MT_DEFINE_CMP(Le, <=)
ZW_MT_DEFINE_CMP(Gt, >)
ZW_MT_DEFINE_CMP(Ge, >=)
#undef ZW_MT_DEFINE_CMP

class ScopedTrace {
  public:
    ScopedTrace(const char *file, int line, const std::string &message);
    ~ScopedTrace();
    ScopedTrace(const ScopedTrace &) = delete;
    ScopedTrace &operator=(const ScopedTrace &) = delete;
};

using Factory = Test *(*)();
using SuiteHook = void (*)();
bool Register(const char *suite, const char *name, Factory factory, SuiteHook setUpSuite,
              SuiteHook tearDownSuite);

} // namespace internal
} // namespace testing

// The switch keeps a caller's own else from pairing with the macro's if.
#define ZW_MT_CHECK(result, fatal)                                                                 \
    switch (0)                                                                                     \
    case 0:                                                                                        \
    default:                                                                                       \
        if (const ::testing::internal::Result zw_mt_result = (result))                             \
            ;                                                                                      \
        else                                                                                       \
            ZW_MT_RETURN_IF_##fatal ::testing::internal::Reporter{                                 \
                __FILE__, __LINE__, fatal, zw_mt_result.what} = ::testing::internal::Message()
#define ZW_MT_RETURN_IF_true return
#define ZW_MT_RETURN_IF_false

#define ZW_MT_BOOL(cond, expected, fatal)                                                          \
    ZW_MT_CHECK(::testing::internal::Truth(static_cast<bool>(cond), expected, #cond), fatal)
#define ZW_MT_CMP(name, a, b, fatal) ZW_MT_CHECK(::testing::internal::name(#a, #b, a, b), fatal)
#define ZW_MT_STR(a, b, equal, ignoreCase, fatal)                                                  \
    ZW_MT_CHECK(::testing::internal::Strings(#a, #b, a, b, equal, ignoreCase), fatal)

#define EXPECT_TRUE(c) ZW_MT_BOOL(c, true, false)
#define EXPECT_FALSE(c) ZW_MT_BOOL(c, false, false)
#define ASSERT_TRUE(c) ZW_MT_BOOL(c, true, true)
#define ASSERT_FALSE(c) ZW_MT_BOOL(c, false, true)
#define EXPECT_EQ(a, b) ZW_MT_CMP(Eq, a, b, false)
#define EXPECT_NE(a, b) ZW_MT_CMP(Ne, a, b, false)
#define EXPECT_LT(a, b) ZW_MT_CMP(Lt, a, b, false)
#define EXPECT_LE(a, b) ZW_MT_CMP(Le, a, b, false)
#define EXPECT_GT(a, b) ZW_MT_CMP(Gt, a, b, false)
#define EXPECT_GE(a, b) ZW_MT_CMP(Ge, a, b, false)
#define ASSERT_EQ(a, b) ZW_MT_CMP(Eq, a, b, true)
#define ASSERT_NE(a, b) ZW_MT_CMP(Ne, a, b, true)
#define ASSERT_LT(a, b) ZW_MT_CMP(Lt, a, b, true)
#define ASSERT_LE(a, b) ZW_MT_CMP(Le, a, b, true)
#define ASSERT_GT(a, b) ZW_MT_CMP(Gt, a, b, true)
#define ASSERT_GE(a, b) ZW_MT_CMP(Ge, a, b, true)
#define EXPECT_STREQ(a, b) ZW_MT_STR(a, b, true, false, false)
#define EXPECT_STRNE(a, b) ZW_MT_STR(a, b, false, false, false)
#define EXPECT_STRCASEEQ(a, b) ZW_MT_STR(a, b, true, true, false)
#define ASSERT_STREQ(a, b) ZW_MT_STR(a, b, true, false, true)
#define FAIL() ZW_MT_CHECK((::testing::internal::Result{false, "Failed"}), true)
#define ADD_FAILURE() ZW_MT_CHECK((::testing::internal::Result{false, "Failed"}), false)

#define ZW_MT_CONCAT2(a, b) a##b
#define ZW_MT_CONCAT(a, b) ZW_MT_CONCAT2(a, b)
#define SCOPED_TRACE(message)                                                                      \
    ::testing::internal::ScopedTrace ZW_MT_CONCAT(zw_mt_trace_, __LINE__)(                         \
        __FILE__, __LINE__, ::testing::internal::Show(message))

#define ZW_MT_TEST(suite, name, base)                                                              \
    class suite##_##name##_Test : public base {                                                    \
      public:                                                                                      \
        void TestBody() override;                                                                  \
        static ::testing::Test *Make() {                                                           \
            return new suite##_##name##_Test;                                                      \
        }                                                                                          \
        /* From inside, where a fixture's protected suite hooks can be named. */                   \
        static bool Register() {                                                                   \
            return ::testing::internal::Register(#suite, #name, &Make, &base::SetUpTestSuite,      \
                                                 &base::TearDownTestSuite);                        \
        }                                                                                          \
    };                                                                                             \
    static const bool zw_mt_registered_##suite##_##name = suite##_##name##_Test::Register();       \
    void suite##_##name##_Test::TestBody()
#define TEST(suite, name) ZW_MT_TEST(suite, name, ::testing::Test)
#define TEST_F(fixture, name) ZW_MT_TEST(fixture, name, fixture)

#endif
