#include "core/random.hpp"

#include <cstdint>

namespace {
// The additive feedback generator r[i] = r[i-3] + r[i-31] that glibc's rand() uses, seeded by
// the minimal standard generator and run past its first 310 draws.
constexpr int degree = 31;
constexpr int separation = 3;
constexpr int discarded = 10 * degree;
constexpr std::int32_t modulus = 2147483647;  // 2^31 - 1
constexpr std::int32_t multiplier = 16807;
constexpr std::int32_t quotient = 127773;  // modulus / multiplier, for Schrage's method
constexpr std::int32_t remainder = 2836;   // modulus % multiplier

struct Generator {
    std::uint32_t state[degree] = {};
    int front = separation;
    int rear = 0;

    explicit Generator(unsigned seed) { reseed(seed); }

    void reseed(unsigned seed) {
        std::int32_t word = static_cast<std::int32_t>(seed == 0 ? 1u : seed);
        state[0] = static_cast<std::uint32_t>(word);
        for (int i = 1; i < degree; ++i) {
            const std::int32_t high = word / quotient, low = word % quotient;
            word = multiplier * low - remainder * high;
            if (word < 0) word += modulus;
            state[i] = static_cast<std::uint32_t>(word);
        }
        front = separation;
        rear = 0;
        for (int i = 0; i < discarded; ++i) next();
    }

    int next() {
        state[front] += state[rear];
        const int result = static_cast<int>(state[front] >> 1);
        front = (front + 1) % degree;
        rear = (rear + 1) % degree;
        return result;
    }
};

Generator& generator() {
    static Generator shared(1);
    return shared;
}
}  // namespace

void seedRandom(unsigned seed) {
    generator().reseed(seed);
}

int randomNumber() {
    return generator().next();
}
