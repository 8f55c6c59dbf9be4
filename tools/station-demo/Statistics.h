#pragma once
// Medians and extremes of measured intervals, for the station's reports.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace pontara::station {

struct Summary {
    std::size_t count = 0;
    double median = 0;
    double minimum = 0;
    double maximum = 0;
    double worstDeviation = 0;  // from the design value, either way
    std::size_t outside = 0;    // values more than `tolerance` from the design value
};

// `values`, `design` and `tolerance` in the same unit (milliseconds in the reports).
inline Summary Summarise(std::vector<double> values, double design = 0, double tolerance = 20) {
    Summary summary;
    summary.count = values.size();
    if (values.empty()) {
        return summary;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    summary.median =
        values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    summary.minimum = values.front();
    summary.maximum = values.back();
    summary.worstDeviation =
        std::max(std::abs(summary.minimum - design), std::abs(summary.maximum - design));
    summary.outside =
        static_cast<std::size_t>(std::count_if(values.begin(), values.end(), [&](double value) {
            return std::abs(value - design) > tolerance;
        }));
    return summary;
}

inline std::string Milliseconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f ms", value);
    return text;
}

}  // namespace pontara::station
