#include "benchstats.h"

#include <algorithm>
#include <cstdio>

double Bench_Median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

double Bench_Min(const std::vector<double> &values) {
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

double Bench_Max(const std::vector<double> &values) {
    return values.empty() ? 0.0 : *std::max_element(values.begin(), values.end());
}

std::string Bench_Duration(double seconds) {
    char text[32];
    if (seconds < 1e-3) {
        snprintf(text, sizeof text, "%8.1f us", seconds * 1e6);
    } else {
        snprintf(text, sizeof text, "%8.2f ms", seconds * 1e3);
    }
    return text;
}
