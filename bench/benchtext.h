// Figures as text without the C runtime's formatting: the ARM64 Wine here
// cannot run its variadic functions for ARM64 programs (docs/building.md),
// and the DLL benchmark runs there too.
#ifndef ZW_BENCH_BENCHTEXT_H
#define ZW_BENCH_BENCHTEXT_H

#include <cstddef>
#include <string>

// value rounded to decimals places ("-0.50", "12.3"); "-" when not finite.
std::string BenchText_Fixed(double value, int decimals);
// n in at least width digits, leading zeros ("00042").
std::string BenchText_Zeros(unsigned long long n, size_t width);
// text padded with spaces to width, on the left (Right) or the right (Left).
std::string BenchText_Right(const std::string &text, size_t width);
std::string BenchText_Left(const std::string &text, size_t width);

// Whole text to standard output or standard error, unbuffered.
void BenchText_Out(const std::string &text);
void BenchText_Err(const std::string &text);

#endif
