#pragma once
// The byte layout of the simulator's files, declared once. A record is a table of its fields in
// file order; each field's width follows from its member type (uint8_t: 1 byte, int16_t: 2,
// int32_t: 4, std::string: a 16-bit length and then the bytes). The writers and the readers both
// walk these tables, so the two can never disagree about where a field lies.
//
// Every integer is little-endian two's complement whatever the host; bytes are put and taken one
// by one, never by copying a struct.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>

#include "ground/model.hpp"
#include "ground/tagged_value.hpp"
#include "ground/units.hpp"

namespace compattatore::binary_layout {

// The member types a record may store, and so the only widths a file knows.
template <class T>
concept stored_field = std::is_same_v<T, std::uint8_t> || std::is_same_v<T, std::int16_t> ||
    std::is_same_v<T, std::int32_t> || std::is_same_v<T, std::string>;

// Bytes a field takes before its variable part (a text's length prefix; nothing else varies).
template <stored_field T>
inline constexpr std::size_t fixed_width = std::is_same_v<T, std::string> ? 2 : sizeof(T);

// Longest text a record can carry.
inline constexpr std::size_t max_text_length = max_name_length;

template <class Record, stored_field Member>
struct field {
    using member_type = Member;
    std::string_view name;
    Member Record::*member;
};
template <class Record, class Member>
field(const char*, Member Record::*) -> field<Record, Member>;

// Station table record. The file order is not the struct's declaration order: kind, the three
// positions and param_a come first, then the name, then the five 16-bit groups, the four bytes
// and the timetable time.
inline constexpr auto station_entry_fields = std::tuple{
    field{"kind", &station_entry::kind},
    field{"area_start", &station_entry::area_start},
    field{"area_end", &station_entry::area_end},
    field{"position", &station_entry::position},
    field{"param_a", &station_entry::param_a},
    field{"name", &station_entry::name},
    field{"group_a1", &station_entry::group_a1},
    field{"group_a2", &station_entry::group_a2},
    field{"group_b1", &station_entry::group_b1},
    field{"group_b2", &station_entry::group_b2},
    field{"group_b3", &station_entry::group_b3},
    field{"group_a3", &station_entry::group_a3},
    field{"param_c", &station_entry::param_c},
    field{"end_extension", &station_entry::end_extension},
    field{"param_b", &station_entry::param_b},
    field{"timetable_time", &station_entry::timetable_time},
};

// Route grid record: 15 bytes, no gap after kind.
inline constexpr auto route_cell_fields = std::tuple{
    field{"kind", &route_cell::kind},
    field{"value_a", &route_cell::value_a},
    field{"value_b", &route_cell::value_b},
    field{"value_c", &route_cell::value_c},
    field{"value_d", &route_cell::value_d},
    field{"signal_delay", &route_cell::signal_delay},
    field{"approach_mark", &route_cell::approach_mark},
    field{"mountain_type", &route_cell::mountain_type},
    field{"speed_limit", &route_cell::speed_limit},
    field{"gradient", &route_cell::gradient},
    field{"adhesion", &route_cell::adhesion},
};

template <class Fields, class F>
constexpr void for_each_field(const Fields& fields, F&& f) {
    std::apply([&](const auto&... each) { (f(each), ...); }, fields);
}

// The name a table gives one of its members, so readers of a record name its fields as the
// layout does. Empty when the table does not hold the member.
template <class Fields, class Record, class Member>
constexpr std::string_view name_of(const Fields& fields, Member Record::*member) {
    std::string_view found;
    for_each_field(fields, [&](const auto& each) {
        using each_t = std::remove_cvref_t<decltype(each)>;
        if constexpr (std::is_same_v<each_t, field<Record, Member>>) {
            if (each.member == member) found = each.name;
        }
    });
    return found;
}

// Bytes of a record whose texts are all empty.
template <class Fields>
constexpr std::size_t fixed_size(const Fields& fields) {
    std::size_t size = 0;
    for_each_field(fields, [&](const auto& each) {
        size += fixed_width<typename std::remove_cvref_t<decltype(each)>::member_type>;
    });
    return size;
}

static_assert(fixed_size(station_entry_fields) == 34);
static_assert(fixed_size(route_cell_fields) == 15);

// Puts little-endian fields into a buffer sized exactly beforehand: the profile runs to a million
// points per coordinate, so its bytes are written in place rather than grown one by one.
class byte_sink {
  public:
    explicit byte_sink(std::span<char> out) : next_(out.data()), end_(out.data() + out.size()) {}

    // Whether the bytes put so far fill the buffer exactly.
    bool full() const { return next_ == end_; }

    void put(std::monostate) {}
    void put(std::uint8_t v) { put_le<1>(v); }
    void put(std::int16_t v) { put_le<2>(static_cast<std::uint16_t>(v)); }
    void put(std::int32_t v) { put_le<4>(static_cast<std::uint32_t>(v)); }
    void put(double v) { put_le<8>(std::bit_cast<std::uint64_t>(v)); }
    void put(const std::string& text) {
        if (text.size() > max_text_length) {
            throw std::length_error("a text of " + std::to_string(text.size()) +
                                    " bytes does not fit its 16-bit length");
        }
        put_le<2>(text.size());
        std::copy(text.begin(), text.end(), room(text.size()));
    }
    void put(const tagged_value& v);

    template <class Record, class Fields>
    void put_record(const Record& r, const Fields& fields) {
        for_each_field(fields, [&](const auto& each) { put(r.*(each.member)); });
    }

  private:
    char* room(std::size_t bytes) {
        if (static_cast<std::size_t>(end_ - next_) < bytes) {
            throw std::logic_error("an encoder sized its buffer too small");
        }
        return std::exchange(next_, next_ + bytes);
    }
    // The width is a constant so the bytes are stored without a loop.
    template <std::size_t bytes>
    void put_le(std::uint64_t v) {
        char* p = room(bytes);
        for (std::size_t i = 0; i < bytes; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    char* next_;
    char* end_;
};

// Bytes that do not form the table they should: truncated, trailing or with an unknown tag.
class decode_error : public std::runtime_error {
  public:
    decode_error(std::size_t offset, const std::string& detail)
        : std::runtime_error("byte " + std::to_string(offset) + ": " + detail),
          offset_(offset),
          detail_(detail) {}
    std::size_t offset() const { return offset_; }
    const std::string& detail() const { return detail_; }

  private:
    std::size_t offset_;
    std::string detail_;
};

// Takes little-endian fields from a byte string, failing with the offset of the field that is
// cut short.
class byte_source {
  public:
    explicit byte_source(std::string_view bytes) : bytes_(bytes) {}

    std::size_t offset() const { return pos_; }
    bool at_end() const { return pos_ == bytes_.size(); }

    void get(std::monostate&, std::string_view) {}
    void get(std::uint8_t& v, std::string_view what) {
        v = static_cast<std::uint8_t>(take(1, what));
    }
    void get(std::int16_t& v, std::string_view what) {
        v = static_cast<std::int16_t>(static_cast<std::uint16_t>(take(2, what)));
    }
    void get(std::int32_t& v, std::string_view what) {
        v = static_cast<std::int32_t>(static_cast<std::uint32_t>(take(4, what)));
    }
    void get(double& v, std::string_view what) { v = std::bit_cast<double>(take(8, what)); }
    void get(std::string& text, std::string_view what) {
        const std::size_t at = pos_;
        const std::size_t length = static_cast<std::size_t>(take(2, what));
        if (length > max_text_length) {
            throw decode_error(at, std::string(what) + " of " + std::to_string(length) +
                                       " bytes, longer than the " +
                                       std::to_string(max_text_length) + " a text may have");
        }
        need(length, what);
        text.assign(bytes_.substr(pos_, length));
        pos_ += length;
    }
    // Fails at the tag's offset on a number no tag has.
    void get(tagged_value& v);
    std::uint64_t take(std::size_t bytes, std::string_view what) {
        need(bytes, what);
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < bytes; ++i) {
            v |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes_[pos_ + i]))
                 << (8 * i);
        }
        pos_ += bytes;
        return v;
    }

    // A field cut short is reported with the record and the field it belongs to.
    template <class Record, class Fields>
    void get_record(Record& r, const Fields& fields, std::string_view record, std::size_t index) {
        try {
            for_each_field(fields, [&](const auto& each) { get(r.*(each.member), each.name); });
        } catch (const decode_error& e) {
            throw decode_error(
                e.offset(), std::string(record) + " " + std::to_string(index) + ": " + e.detail());
        }
    }

  private:
    void need(std::size_t bytes, std::string_view what) const {
        if (bytes_.size() - pos_ < bytes) {
            throw decode_error(pos_, "truncated " + std::string(what) + ": " +
                                         std::to_string(bytes) + " bytes needed, " +
                                         std::to_string(bytes_.size() - pos_) + " left");
        }
    }
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

// Tagged values: a 16-bit tag, then the value in the width of its type (nothing when empty).
constexpr std::size_t tagged_width(const tagged_value& v) {
    return 2 + v.visit([](auto value) -> std::size_t {
        if constexpr (std::is_same_v<decltype(value), std::monostate>) {
            return 0;
        } else {
            return sizeof value;
        }
    });
}

inline void byte_sink::put(const tagged_value& v) {
    put(static_cast<std::int16_t>(v.type()));
    v.visit([this](auto value) { put(value); });
}

inline void byte_source::get(tagged_value& v) {
    const std::size_t at = pos_;
    const auto number = static_cast<std::uint16_t>(take(2, "tag"));
    const auto tag = tagged_value::tag_of(number);
    if (!tag) throw decode_error(at, "unknown tag " + std::to_string(number));
    v = tagged_value::zero_of(*tag).visit([&](auto value) {
        get(value, tag_name(*tag));
        return tagged_value::of(value);
    });
}

// The largest tables the files can hold are those of the longest line, 1,000,000 m, whose route
// runs on 7,000 m past its end: a profile point per metre of route and a grid cell per 50 m. A
// file larger than that is refused before it is decoded, so a crafted file cannot make a reader
// hold more than the compiler ever writes.
inline constexpr std::size_t max_route_m = 1'000'000 + 7'000;
inline constexpr std::size_t max_profile_points = max_route_m + 1;
inline constexpr std::size_t max_route_cells = max_route_m / cell_length_m + 1;
static_assert(max_profile_points == 1'007'001 && max_route_cells == 20'141);

// File sizes that follow: every profile value a double, every name as long as a name may be.
inline constexpr std::size_t max_line_profile_bytes =
    2 * max_profile_points * tagged_width(tagged_value::of_double(0.0));
inline constexpr std::size_t max_station_table_bytes =
    station_slot::count * (fixed_size(station_entry_fields) + max_text_length);
inline constexpr std::size_t max_route_grid_bytes = max_route_cells * fixed_size(route_cell_fields);

// Readers of the three files; each throws decode_error on bytes that are not exactly one table.
// The profile file carries no size, so its point count follows from its length.
line_profile_t decode_line_profile(std::string_view bytes);
station_table_t decode_station_table(std::string_view bytes);
route_grid_t decode_route_grid(std::string_view bytes);

// The readers' first check, for a caller that knows a file's size before reading it: throws the
// decode_error the reader would give for a file of this many bytes that is larger than the file
// can be.
void check_line_profile_size(std::size_t bytes);
void check_station_table_size(std::size_t bytes);
void check_route_grid_size(std::size_t bytes);

}  // namespace compattatore::binary_layout
