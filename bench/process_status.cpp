#include "process_status.hpp"

#include <ctime>
#include <fstream>

namespace {
constexpr double kilobytesPerMegabyte = 1024.0;
}  // namespace

long long monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

double statusMegabytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, field.size() + 1, field + ":") != 0) continue;
        return std::stod(line.substr(field.size() + 1)) / kilobytesPerMegabyte;
    }
    return 0.0;
}
