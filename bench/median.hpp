#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

// The middle value of a measurement's samples (the mean of the middle two for an even
// count); 0 for none.
inline double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 != 0 ? values[mid] : (values[mid - 1] + values[mid]) * 0.5;
}
