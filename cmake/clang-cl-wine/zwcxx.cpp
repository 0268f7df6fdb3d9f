// The compiled parts of a C++ standard library that this project's tools
// reach through libc++'s headers (built with exceptions off): the global
// allocation functions, the integer overloads of std::to_string, and the
// prime table sizes of the unordered containers.
// Allocation uses the process heap, so a DLL that uses new imports no C
// runtime DLL; failure ends the process, as new cannot throw here.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>

void *operator new(std::size_t size) {
    void *block = HeapAlloc(GetProcessHeap(), 0, size == 0 ? 1 : size);
    if (block == nullptr) {
        __fastfail(7); // FAST_FAIL_FATAL_APP_EXIT
    }
    return block;
}

void *operator new[](std::size_t size) {
    return operator new(size);
}

void *operator new(std::size_t size, const std::nothrow_t &) noexcept {
    return HeapAlloc(GetProcessHeap(), 0, size == 0 ? 1 : size);
}

void *operator new[](std::size_t size, const std::nothrow_t &tag) noexcept {
    return operator new(size, tag);
}

void operator delete(void *block) noexcept {
    if (block != nullptr) {
        HeapFree(GetProcessHeap(), 0, block);
    }
}

void operator delete[](void *block) noexcept {
    operator delete(block);
}

void operator delete(void *block, std::size_t) noexcept {
    operator delete(block);
}

void operator delete[](void *block, std::size_t) noexcept {
    operator delete(block);
}

// Over-aligned blocks: the block the heap gave lies just below the aligned one.
void *operator new(std::size_t size, std::align_val_t alignment) {
    const std::size_t align = static_cast<std::size_t>(alignment);
    char *raw = static_cast<char *>(operator new(size + align + sizeof(void *)));
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(raw + sizeof(void *));
    void **aligned = reinterpret_cast<void **>((start + align - 1) & ~(align - 1));
    aligned[-1] = raw;
    return aligned;
}

void *operator new[](std::size_t size, std::align_val_t alignment) {
    return operator new(size, alignment);
}

void operator delete(void *block, std::align_val_t) noexcept {
    if (block != nullptr) {
        operator delete(static_cast<void **>(block)[-1]);
    }
}

void operator delete[](void *block, std::align_val_t alignment) noexcept {
    operator delete(block, alignment);
}

void operator delete(void *block, std::size_t, std::align_val_t alignment) noexcept {
    operator delete(block, alignment);
}

void operator delete[](void *block, std::size_t, std::align_val_t alignment) noexcept {
    operator delete(block, alignment);
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

template <typename Signed, typename Unsigned> std::string SignedDigits(Signed value) {
    const bool negative = value < 0;
    const Unsigned magnitude = negative ? static_cast<Unsigned>(0) - static_cast<Unsigned>(value)
                                        : static_cast<Unsigned>(value);
    return Digits(magnitude, negative);
}

} // namespace

namespace std {
inline namespace __1 {

string to_string(int value) {
    return SignedDigits<int, unsigned>(value);
}
string to_string(long value) {
    return SignedDigits<long, unsigned long>(value);
}
string to_string(long long value) {
    return SignedDigits<long long, unsigned long long>(value);
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
