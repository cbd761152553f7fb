#include "gcl/rtl/Maths.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

#include "gcl/rtl/DateTime.h"

namespace gcl {

namespace {

// SplitMix64: small, fast and uniform enough for identifiers and shuffles.
uint64_t GRandomState = 0x9E3779B97F4A7C15ull;
bool GRandomized = false;

uint64_t NextRandom() {
    uint64_t z = (GRandomState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

template <class T>
T Saturate(double v) {
    if (std::isnan(v)) return 0;
    if (v <= static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
    // The maximum of int64_t is not a double; 2^63 and above saturate.
    if (v >= -static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::max();
    if (v > static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
    return static_cast<T>(v);
}

} // namespace

void Randomize() {
    if (GRandomized) return;
    GRandomized = true;
    double now = Clock->Now();
    uint64_t bits;
    std::memcpy(&bits, &now, sizeof bits);
    GRandomState = bits;
    NextRandom();
}

int Random(int n) {
    if (n <= 0) return 0;
    return static_cast<int>(((NextRandom() >> 32) * static_cast<uint64_t>(n)) >> 32);
}

double RandomFloat() { return static_cast<double>(NextRandom() >> 11) * (1.0 / 9007199254740992.0); }

int Round(double value) {
    if (std::isnan(value)) return 0;
    double f = std::floor(value);
    double diff = value - f;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(f, 2.0) != 0)) f += 1;
    return Saturate<int>(f);
}

int64_t Trunc(double value) { return Saturate<int64_t>(std::trunc(value)); }

int Floor(double value) { return Saturate<int>(std::floor(value)); }

int Ceil(double value) { return Saturate<int>(std::ceil(value)); }

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    int64_t product = static_cast<int64_t>(a) * b;
    bool negative = (product < 0) != (c < 0);
    uint64_t p = product < 0 ? 0 - static_cast<uint64_t>(product) : static_cast<uint64_t>(product);
    uint64_t d = c < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(c)) : static_cast<uint64_t>(c);
    uint64_t q = (p + d / 2) / d;
    if (q > static_cast<uint64_t>(INT_MAX)) return -1;
    return negative ? -static_cast<int>(q) : static_cast<int>(q);
}

int Mod(int a, int n) {
    if (n == 0) return 0;
    int64_t m = n < 0 ? -static_cast<int64_t>(n) : n;
    int64_t r = static_cast<int64_t>(a) % m;
    return static_cast<int>(r < 0 ? r + m : r);
}

} // namespace gcl
