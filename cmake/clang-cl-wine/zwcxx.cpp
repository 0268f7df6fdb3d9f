// The compiled parts of a C++ standard library that this project's tools
// reach through libc++'s headers (built with exceptions off), and no more:
// plain new and delete, the overloads of std::to_string and std::to_wstring
// that are called, and the prime table sizes of the unordered containers. A
// program that needs another (new[], aligned or nothrow new, to_string(long))
// fails to link until it is added here.
// Allocation uses the process heap, so a DLL that uses new imports no C
// runtime DLL; failure ends the process, as new cannot throw here.
#include <windows.h>

#include <cstddef>
#include <string>

void *operator new(std::size_t size) {
    void *block = HeapAlloc(GetProcessHeap(), 0, size == 0 ? 1 : size);
    if (block == nullptr) {
        __fastfail(7); // FAST_FAIL_FATAL_APP_EXIT
    }
    return block;
}

void operator delete(void *block) noexcept {
    if (block != nullptr) {
        HeapFree(GetProcessHeap(), 0, block);
    }
}

namespace {

template <typename Unsigned> std::string Digits(Unsigned value, bool negative) {
    char text[24] = {};
    char *end = text + sizeof text - 1;
    char *p = end;
    do {
        *--p = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    if (negative) {
        *--p = '-';
    }
    return std::string(p, end);
}

} // namespace

namespace std {
inline namespace __1 {

string to_string(int value) {
    const bool negative = value < 0;
    const unsigned magnitude =
        negative ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    return Digits(magnitude, negative);
}
string to_string(unsigned value) {
    return Digits(value, false);
}
string to_string(unsigned long value) {
    return Digits(value, false);
}
string to_string(unsigned long long value) {
    return Digits(value, false);
}
string to_string(long long value) {
    const bool negative = value < 0;
    const unsigned long long magnitude = negative ? 0ull - static_cast<unsigned long long>(value)
                                                  : static_cast<unsigned long long>(value);
    return Digits(magnitude, negative);
}
wstring to_wstring(unsigned value) {
    const string digits = Digits(value, false);
    return wstring(digits.begin(), digits.end());
}
wstring to_wstring(unsigned long long value) {
    const string digits = Digits(value, false);
    return wstring(digits.begin(), digits.end());
}

// The smallest prime not below n: bucket counts of unordered containers.
size_t __next_prime(size_t n) {
    if (n <= 2) {
        return 2;
    }
    for (size_t candidate = n | 1;; candidate += 2) {
        bool prime = true;
        for (size_t divisor = 3; divisor <= candidate / divisor; divisor += 2) {
            if (candidate % divisor == 0) {
                prime = false;
                break;
            }
        }
        if (prime) {
            return candidate;
        }
    }
}

} // namespace __1
} // namespace std
