// Random numbers and the numeric rules shared by every part of the program:
// rounding is half to even everywhere, truncation goes toward zero.
#pragma once

#include <cstdint>

namespace gcl {

// Seeds the generator from the Clock service. Only the first call seeds;
// later calls leave the sequence alone. Before it the generator runs from a
// fixed seed.
void Randomize();
// Uniform integer in 0..N-1; 0 when N <= 0.
int Random(int n);
// Uniform double in [0, 1).
double RandomFloat();

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2). Results beyond the int range saturate; NaN gives 0.
int Round(double value);
// Toward zero, saturating at the int64_t range; NaN gives 0.
int64_t Trunc(double value);
// Toward minus / plus infinity, saturating at the int range; NaN gives 0.
int Floor(double value);
int Ceil(double value);
// A * B / C with a 64-bit intermediate, halves rounded away from zero, as
// Windows' MulDiv: -1 when C is 0 or the result does not fit (INT_MIN included).
int MulDiv(int a, int b, int c);
// A mod N in 0..|N|-1 (also for negative A); 0 when N is 0.
int Mod(int a, int n);

template <class T>
constexpr T Min(T a, T b) {
    return b < a ? b : a;
}

template <class T>
constexpr T Max(T a, T b) {
    return a < b ? b : a;
}

} // namespace gcl
