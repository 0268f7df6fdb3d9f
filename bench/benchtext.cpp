#include "benchtext.h"

#include <cmath>

std::string BenchText_Fixed(double value, int decimals) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e15) {
        return "-";
    }
    double scale = 1.0;
    for (int i = 0; i < decimals; ++i) {
        scale *= 10.0;
    }
    const bool negative = value < 0.0;
    const unsigned long long scaled =
        static_cast<unsigned long long>(std::floor(std::fabs(value) * scale + 0.5));
    std::string digits = BenchText_Zeros(scaled, static_cast<size_t>(decimals) + 1);
    if (decimals > 0) {
        digits.insert(digits.size() - static_cast<size_t>(decimals), ".");
    }
    return negative && scaled != 0 ? "-" + digits : digits;
}

std::string BenchText_Zeros(unsigned long long n, size_t width) {
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + n % 10));
        n /= 10;
    } while (n != 0);
    return digits.size() < width ? std::string(width - digits.size(), '0') + digits : digits;
}

std::string BenchText_Right(const std::string &text, size_t width) {
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

std::string BenchText_Left(const std::string &text, size_t width) {
    return text.size() < width ? text + std::string(width - text.size(), ' ') : text;
}
