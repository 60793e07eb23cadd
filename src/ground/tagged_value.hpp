#pragma once
// A value that carries its own type, as the line profile stores it: empty, 16-bit integer,
// 32-bit integer or double. The type travels into the profile file as a 16-bit tag, so an
// element must keep the type it was given.

#include <cstdint>
#include <optional>
#include <string_view>
#include <variant>

namespace compattatore {

class tagged_value {
  public:
    // The tag numbers are the ones written to disk.
    enum class tag : std::uint16_t { empty = 0, int16 = 2, int32 = 3, float64 = 5 };

    constexpr tagged_value() = default;
    static constexpr tagged_value of_int16(std::int16_t v) { return {tag::int16, v}; }
    static constexpr tagged_value of_int32(std::int32_t v) { return {tag::int32, v}; }
    static constexpr tagged_value of_double(double v) { return {tag::float64, v}; }
    // The value of the type visit hands out, so code generic over the types can build one back.
    static constexpr tagged_value of(std::monostate) { return {}; }
    static constexpr tagged_value of(std::int16_t v) { return of_int16(v); }
    static constexpr tagged_value of(std::int32_t v) { return of_int32(v); }
    static constexpr tagged_value of(double v) { return of_double(v); }

    // The tag a number read from a file stands for; nothing for a number no tag has.
    static constexpr std::optional<tag> tag_of(std::uint16_t number) {
        for (const tag t : {tag::empty, tag::int16, tag::int32, tag::float64}) {
            if (static_cast<std::uint16_t>(t) == number) return t;
        }
        return std::nullopt;
    }
    // A zero of the tag's type: visiting it tells a reader which type the tag's value has.
    static constexpr tagged_value zero_of(tag t) {
        return t == tag::float64 ? tagged_value(t, 0.0) : tagged_value(t, std::int32_t{0});
    }

    constexpr tag type() const { return type_; }
    constexpr bool is_empty() const { return type_ == tag::empty; }
    constexpr std::int16_t as_int16() const { return static_cast<std::int16_t>(int_); }
    constexpr std::int32_t as_int32() const { return int_; }
    constexpr double as_double() const { return type_ == tag::float64 ? real_ : int_; }

    // Calls f with the value in the C++ type its tag names: std::monostate for an empty value,
    // std::int16_t, std::int32_t or double. The one place that switches on the tag.
    template <class F>
    constexpr decltype(auto) visit(F&& f) const {
        switch (type_) {
            case tag::int16:
                return f(as_int16());
            case tag::int32:
                return f(as_int32());
            case tag::float64:
                return f(real_);
            case tag::empty:
                break;
        }
        return f(std::monostate{});
    }

    friend constexpr bool operator==(const tagged_value&, const tagged_value&) = default;

  private:
    constexpr tagged_value(tag t, std::int32_t v) : type_(t), int_(v) {}
    constexpr tagged_value(tag t, double v) : type_(t), real_(v) {}

    tag type_ = tag::empty;
    std::int32_t int_ = 0;  // int16 and int32 values
    double real_ = 0.0;     // float64 values
};

// What a tag is called where people read it.
constexpr std::string_view tag_name(tagged_value::tag t) {
    switch (t) {
        case tagged_value::tag::int16:
            return "int16";
        case tagged_value::tag::int32:
            return "int32";
        case tagged_value::tag::float64:
            return "double";
        case tagged_value::tag::empty:
            break;
    }
    return "empty";
}

}  // namespace compattatore
