// The runner behind minitest's gtest.h: the registry of tests, failures, and
// main. Text goes to the console handle with WriteFile.
#include "gtest/gtest.h"

#include <windows.h>

#include <vector>

namespace testing {
namespace internal {

namespace {

struct Registered {
    const char *suite;
    const char *name;
    Factory factory;
    SuiteHook setUpSuite;
    SuiteHook tearDownSuite;
};

// Filled by static initialisers, in whatever order they run: made on first use
// (a plain pointer, as a guarded local static needs runtime support).
std::vector<Registered> *g_tests = nullptr;

std::vector<Registered> &Tests() {
    if (g_tests == nullptr) {
        g_tests = new std::vector<Registered>();
    }
    return *g_tests;
}

SRWLOCK g_lock = SRWLOCK_INIT;
bool g_failed = false;
bool g_fatal = false;
std::vector<std::string> g_traces;

void Write(const std::string &text) {
    DWORD wrote = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &wrote,
              nullptr);
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// GoogleTest's patterns: '*' any run, '?' one character.
bool Matches(const char *pattern, const char *patternEnd, const char *text) {
    if (pattern == patternEnd) {
        return *text == '\0';
    }
    if (*pattern == '*') {
        return Matches(pattern + 1, patternEnd, text) ||
               (*text != '\0' && Matches(pattern, patternEnd, text + 1));
    }
    return *text != '\0' && (*pattern == '?' || *pattern == *text) &&
           Matches(pattern + 1, patternEnd, text + 1);
}

bool AnyMatches(const std::string &patterns, const std::string &name) {
    size_t start = 0;
    while (start <= patterns.size()) {
        size_t end = patterns.find(':', start);
        if (end == std::string::npos) {
            end = patterns.size();
        }
        if (end > start && Matches(patterns.data() + start, patterns.data() + end, name.c_str())) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// POSITIVE[-NEGATIVE], each a ':'-separated list; an empty positive part is '*'.
bool Selected(const std::string &filter, const std::string &name) {
    const size_t dash = filter.find('-');
    std::string positive = filter.substr(0, dash);
    if (positive.empty()) {
        positive = "*";
    }
    return AnyMatches(positive, name) &&
           (dash == std::string::npos || !AnyMatches(filter.substr(dash + 1), name));
}

} // namespace

std::string Decimal(uint64_t magnitude, bool negative) {
    char text[24] = {};
    char *p = text + sizeof text - 1;
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) {
        *--p = '-';
    }
    return std::string(p);
}

std::string Hex(uint64_t value) {
    std::string text = "0x";
    bool leading = true;
    for (int shift = 60; shift >= 0; shift -= 4) {
        const unsigned digit = static_cast<unsigned>(value >> shift) & 0xF;
        if (digit != 0 || !leading || shift == 0) {
            text += "0123456789ABCDEF"[digit];
            leading = false;
        }
    }
    return text;
}

Message &Message::operator<<(const std::wstring &text) {
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (length > 1) {
        std::string utf8(static_cast<size_t>(length), '\0');
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], length, nullptr, nullptr);
        utf8.resize(static_cast<size_t>(length - 1));
        text_ += utf8;
    }
    return *this;
}

Result Truth(bool value, bool expected, const char *expression) {
    if (value == expected) {
        return Result{true, std::string()};
    }
    return Result{false, std::string("Value of: ") + expression +
                             "\n  Actual: " + (value ? "true" : "false") +
                             "\nExpected: " + (expected ? "true" : "false")};
}

Result Strings(const char *ea, const char *eb, const char *a, const char *b, bool equal,
               bool ignoreCase) {
    bool same = a == b;
    if (a != nullptr && b != nullptr) {
        same = true;
        for (size_t i = 0; same; ++i) {
            same = ignoreCase ? Lower(a[i]) == Lower(b[i]) : a[i] == b[i];
            if (a[i] == '\0' || b[i] == '\0') {
                break;
            }
        }
    }
    return Compared(same == equal,
                    equal ? (ignoreCase ? "equals (ignoring case)" : "equals") : "differs from", ea,
                    eb, a, b);
}

void Fail(const char *file, int line, bool fatal, const std::string &what,
          const std::string &message) {
    std::string text = std::string(file) + "(" + Decimal(static_cast<uint64_t>(line), false) +
                       "): Failure\n" + what + "\n";
    if (!message.empty()) {
        text += message + "\n";
    }
    AcquireSRWLockExclusive(&g_lock);
    for (size_t i = g_traces.size(); i-- > 0;) {
        text += "Trace: " + g_traces[i] + "\n";
    }
    g_failed = true;
    g_fatal = g_fatal || fatal;
    Write(text);
    ReleaseSRWLockExclusive(&g_lock);
}

bool FatalFailureSoFar() {
    return g_fatal;
}

ScopedTrace::ScopedTrace(const char *file, int line, const std::string &message) {
    AcquireSRWLockExclusive(&g_lock);
    g_traces.push_back(std::string(file) + "(" + Decimal(static_cast<uint64_t>(line), false) +
                       "): " + message);
    ReleaseSRWLockExclusive(&g_lock);
}

ScopedTrace::~ScopedTrace() {
    AcquireSRWLockExclusive(&g_lock);
    g_traces.pop_back();
    ReleaseSRWLockExclusive(&g_lock);
}

bool Register(const char *suite, const char *name, Factory factory, SuiteHook setUpSuite,
              SuiteHook tearDownSuite) {
    Tests().push_back(Registered{suite, name, factory, setUpSuite, tearDownSuite});
    return true;
}

} // namespace internal
} // namespace testing

int main(int argc, char **argv) {
    using namespace testing::internal;
    std::string filter = "*";
    bool list = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--gtest_filter=", 0) == 0) {
            filter = arg.substr(15);
        } else if (arg == "--gtest_list_tests") {
            list = true;
        }
    }
    std::vector<Registered> chosen;
    for (const Registered &test : Tests()) {
        if (Selected(filter, std::string(test.suite) + "." + test.name)) {
            chosen.push_back(test);
        }
    }
    if (list) {
        for (const Registered &test : chosen) {
            Write(std::string(test.suite) + "." + test.name + "\n");
        }
        return 0;
    }
    std::vector<std::string> failedNames;
    for (size_t i = 0; i < chosen.size(); ++i) {
        const Registered &test = chosen[i];
        const bool firstOfSuite = i == 0 || std::string(chosen[i - 1].suite) != test.suite;
        const bool lastOfSuite =
            i + 1 == chosen.size() || std::string(chosen[i + 1].suite) != test.suite;
        if (firstOfSuite) {
            test.setUpSuite();
        }
        const std::string name = std::string(test.suite) + "." + test.name;
        Write("[ RUN      ] " + name + "\n");
        g_failed = false;
        g_fatal = false;
        const DWORD start = GetTickCount();
        testing::Test *instance = test.factory();
        instance->SetUp();
        if (!FatalFailureSoFar()) {
            instance->TestBody();
        }
        instance->TearDown();
        delete instance;
        const std::string took = " (" + Decimal(GetTickCount() - start, false) + " ms)\n";
        Write((g_failed ? "[  FAILED  ] " : "[       OK ] ") + name + took);
        if (g_failed) {
            failedNames.push_back(name);
        }
        if (lastOfSuite) {
            test.tearDownSuite();
        }
    }
    Write("[  PASSED  ] " + Decimal(chosen.size() - failedNames.size(), false) + " tests.\n");
    for (const std::string &name : failedNames) {
        Write("[  FAILED  ] " + name + "\n");
    }
    return failedNames.empty() && !chosen.empty() ? 0 : 1;
}
