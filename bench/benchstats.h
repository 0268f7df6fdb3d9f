// Order statistics of repeated timings.
#ifndef ZW_BENCH_BENCHSTATS_H
#define ZW_BENCH_BENCHSTATS_H

#include <string>
#include <vector>

double Bench_Median(std::vector<double> values);
double Bench_Min(const std::vector<double> &values);
double Bench_Max(const std::vector<double> &values);

// "   123.4 us" below a millisecond, "    12.34 ms" from there on.
std::string Bench_Duration(double seconds);

#endif
