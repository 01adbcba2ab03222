#pragma once

#include <string>

// What the benchmark programs read of their own process.

// The monotonic clock in nanoseconds; comparable between processes on one machine.
long long monotonicNanoseconds();
// A field of /proc/self/status given in kB, such as "VmRSS" or "VmHWM", in MB.
double statusMegabytes(const std::string& field);
