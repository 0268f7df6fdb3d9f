// Order statistics of repeated timings.
#ifndef ZW_BENCH_BENCHSTATS_H
#define ZW_BENCH_BENCHSTATS_H

#include <vector>

double Bench_Median(std::vector<double> values);
double Bench_Min(const std::vector<double> &values);

#endif
