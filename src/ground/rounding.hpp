#pragma once
// Real-to-integer conversions used by every placement rule: nearest value, halves to the even
// neighbour (round(2.5) = 2, round(3.5) = 4), as the simulator's own tools computed them.

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace compattatore {

// Thrown when a computed value does not fit the field it is stored in; the compiler turns it
// into its failure exit.
struct value_overflow : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Nearest integer, halves to even. std::nearbyint honours the current rounding mode, which this
// program never changes from the default round-to-nearest-even.
inline double round_half_even(double v) {
    return std::nearbyint(v);
}

template <class Int>
Int round_to(double v) {
    const double r = round_half_even(v);
    if (!(r >= static_cast<double>(std::numeric_limits<Int>::min()) &&
          r <= static_cast<double>(std::numeric_limits<Int>::max()))) {
        throw value_overflow("value does not fit its field");
    }
    return static_cast<Int>(r);
}

inline std::int32_t round32(double v) {
    return round_to<std::int32_t>(v);
}
inline std::int16_t round16(double v) {
    return round_to<std::int16_t>(v);
}
inline std::uint8_t round8u(double v) {
    return round_to<std::uint8_t>(v);
}

// Checked conversion of a whole number into a narrower field.
template <class Int, class From>
Int fit(From v) {
    if (v < static_cast<From>(std::numeric_limits<Int>::min()) ||
        v > static_cast<From>(std::numeric_limits<Int>::max())) {
        throw value_overflow("value does not fit its field");
    }
    return static_cast<Int>(v);
}

// Fields that keep only their low bits (gradient, adhesion, marks, stripes).
inline std::uint8_t low8(std::int64_t v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}
inline std::int16_t low16(std::int64_t v) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(v & 0xFFFF));
}

// 32-bit arithmetic that must not overflow silently.
inline std::int32_t add32(std::int64_t a, std::int64_t b) {
    return fit<std::int32_t>(a + b);
}
inline std::int32_t sub32(std::int64_t a, std::int64_t b) {
    return fit<std::int32_t>(a - b);
}
inline std::int32_t mul32(std::int64_t a, std::int64_t b) {
    return fit<std::int32_t>(a * b);
}

}  // namespace compattatore
