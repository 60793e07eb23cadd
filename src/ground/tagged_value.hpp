#pragma once
// A value that carries its own type, as the line profile stores it: empty, 16-bit integer,
// 32-bit integer or double. The type travels into the profile file as a 16-bit tag, so an
// element must keep the type it was given.

#include <cstdint>

namespace compattatore {

class tagged_value {
public:
    // The tag numbers are the ones written to disk.
    enum class tag : std::uint16_t { empty = 0, int16 = 2, int32 = 3, float64 = 5 };

    constexpr tagged_value() = default;
    static constexpr tagged_value of_int16(std::int16_t v) { return {tag::int16, v}; }
    static constexpr tagged_value of_int32(std::int32_t v) { return {tag::int32, v}; }
    static constexpr tagged_value of_double(double v) { return {tag::float64, v}; }

    constexpr tag type() const { return type_; }
    constexpr bool is_empty() const { return type_ == tag::empty; }
    constexpr std::int16_t as_int16() const { return static_cast<std::int16_t>(int_); }
    constexpr std::int32_t as_int32() const { return int_; }
    constexpr double as_double() const { return type_ == tag::float64 ? real_ : int_; }

    friend constexpr bool operator==(const tagged_value&, const tagged_value&) = default;

private:
    constexpr tagged_value(tag t, std::int32_t v) : type_(t), int_(v) {}
    constexpr tagged_value(tag t, double v) : type_(t), real_(v) {}

    tag type_ = tag::empty;
    std::int32_t int_ = 0;  // int16 and int32 values
    double real_ = 0.0;     // float64 values
};

}  // namespace compattatore
