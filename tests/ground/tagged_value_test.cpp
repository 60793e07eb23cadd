#include "ground/tagged_value.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <type_traits>
#include <variant>

namespace compattatore {
namespace {

using tag = tagged_value::tag;

// What a reader of the profile file relies on: the number on disk names the tag, a zero of that
// tag visits as the tag's C++ type, and a value of that type builds the same tag back.
struct tag_case {
    std::uint16_t number;
    std::optional<tag> tag_read;
    const char* name;
};

constexpr tag_case tag_cases[] = {
    {0, tag::empty, "empty"},    {2, tag::int16, "int16"},   {3, tag::int32, "int32"},
    {5, tag::float64, "double"}, {1, std::nullopt, ""},      {4, std::nullopt, ""},
    {6, std::nullopt, ""},       {0xFFFF, std::nullopt, ""},
};

TEST(TaggedValue, TagNumbersOnDiskMapToTheTagsAndBack) {
    for (const tag_case& c : tag_cases) {
        const std::optional<tag> t = tagged_value::tag_of(c.number);
        ASSERT_EQ(t, c.tag_read) << c.number;
        if (!t) continue;
        EXPECT_EQ(static_cast<std::uint16_t>(*t), c.number);
        EXPECT_EQ(tag_name(*t), c.name);
        const tagged_value zero = tagged_value::zero_of(*t);
        EXPECT_EQ(zero.type(), *t);
        EXPECT_EQ(zero.as_double(), 0.0);
        EXPECT_EQ(zero.visit([](auto v) { return tagged_value::of(v); }), zero) << c.name;
    }
}

TEST(TaggedValue, VisitHandsTheValueInItsOwnType) {
    const auto type_and_value = [](const tagged_value& v) {
        return v.visit([](auto x) -> std::pair<int, double> {
            using T = decltype(x);
            if constexpr (std::is_same_v<T, std::monostate>) return {0, 0.0};
            if constexpr (std::is_same_v<T, std::int16_t>) return {16, x};
            if constexpr (std::is_same_v<T, std::int32_t>) return {32, x};
            if constexpr (std::is_same_v<T, double>) return {64, x};
        });
    };
    EXPECT_EQ(type_and_value(tagged_value{}), std::make_pair(0, 0.0));
    EXPECT_EQ(type_and_value(tagged_value::of_int16(-7)), std::make_pair(16, -7.0));
    EXPECT_EQ(type_and_value(tagged_value::of_int32(70000)), std::make_pair(32, 70000.0));
    EXPECT_EQ(type_and_value(tagged_value::of_double(-0.25)), std::make_pair(64, -0.25));
    // Built back from the visited value, each keeps its type: an int16 never widens.
    for (const tagged_value v :
         {tagged_value::of_int16(-7), tagged_value::of_int32(-7), tagged_value::of_double(-7.0)}) {
        EXPECT_EQ(v.visit([](auto x) { return tagged_value::of(x); }), v);
    }
}

}  // namespace
}  // namespace compattatore
