#include "benchstats.h"

#include <algorithm>

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
