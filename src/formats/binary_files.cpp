#include "formats/binary_files.hpp"

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "formats/binary_layout.hpp"
#include "ground/file_names.hpp"
#include "ground/files.hpp"
#include "ground/huge_page_allocator.hpp"

namespace compattatore {

using namespace binary_layout;

namespace {

// A table's bytes: sized first, then each item put in table order by put(sink, item, index).
template <class Buffer, class Items, class Put>
Buffer encode_table(const Items& items, std::size_t size, Put put) {
    Buffer out(size, '\0');
    byte_sink sink(std::span<char>(out.data(), out.size()));
    // A range loop: the bytes written could alias the table's own size, so an indexed loop would
    // read it again after every value.
    std::size_t index = 0;
    for (const auto& item : items) put(sink, item, index++);
    if (!sink.full()) throw std::logic_error("an encoder sized its buffer too large");
    return out;
}

template <class Buffer>
Buffer encode_line_profile_as(const line_profile_t& profile) {
    const auto& values = profile.storage();
    std::size_t size = 0;
    for (const auto& v : values) size += tagged_width(v);
    return encode_table<Buffer>(
        values, size, [](byte_sink& sink, const tagged_value& v, std::size_t) { sink.put(v); });
}

}  // namespace

std::string encode_line_profile(const line_profile_t& profile) {
    return encode_line_profile_as<std::string>(profile);
}

std::string encode_station_table(const station_table_t& table) {
    std::size_t size = table.size() * fixed_size(station_entry_fields);
    for (const auto& e : table) size += e.name.size();
    return encode_table<std::string>(
        table, size, [](byte_sink& sink, const station_entry& e, std::size_t i) {
            try {
                sink.put_record(e, station_entry_fields);
            } catch (const std::length_error& error) {
                throw std::length_error("station table entry " + std::to_string(i) + ": " +
                                        error.what());
            }
        });
}

std::string encode_route_grid(const route_grid_t& grid) {
    return encode_table<std::string>(grid, grid.size() * fixed_size(route_cell_fields),
                                     [](byte_sink& sink, const route_cell& cell, std::size_t) {
                                         sink.put_record(cell, route_cell_fields);
                                     });
}

void write_binary_files(const std::filesystem::path& app_path, const scenario_model& m) {
    // Everything is encoded before the first file is touched, so a table that cannot be encoded
    // leaves the files of an earlier run as they were.
    const bool with_profile = m.profile_option != 0;
    // The profile file is megabytes: its buffer gets the large-table allocator.
    using profile_bytes = std::vector<char, huge_page_allocator<char>>;
    const profile_bytes profile =
        with_profile ? encode_line_profile_as<profile_bytes>(m.line_profile) : profile_bytes();
    const std::string stations = encode_station_table(m.station_table);
    const std::string grid = encode_route_grid(m.route_grid);

    if (with_profile) {
        replace_file(file_name::path_in(app_path, file_name::line_profile(m)),
                     std::string_view(profile.data(), profile.size()));
    }
    replace_file(file_name::path_in(app_path, file_name::station_table(m)), stations);
    replace_file(file_name::path_in(app_path, file_name::route_grid(m)), grid);
}

namespace binary_layout {

namespace {

void refuse_larger_than(std::size_t bytes, std::size_t most, const std::string& what_fits) {
    if (bytes > most) {
        throw decode_error(most, std::to_string(bytes) + " bytes, more than " + what_fits + ", " +
                                     std::to_string(most) + " bytes");
    }
}

// Calls f(index, value) for each tagged value in file order and returns how many there are.
template <class F>
std::size_t for_each_profile_value(std::string_view bytes, F&& f) {
    byte_source in(bytes);
    std::size_t count = 0;
    while (!in.at_end()) {
        const std::size_t at = in.offset();
        if (count == 2 * max_profile_points) {
            throw decode_error(at, "more values than a line profile can have: " +
                                       std::to_string(max_profile_points) +
                                       " points per coordinate, " +
                                       std::to_string(2 * max_profile_points) + " values");
        }
        tagged_value v;
        in.get(v);
        f(count++, v);
    }
    return count;
}

}  // namespace

void check_line_profile_size(std::size_t bytes) {
    refuse_larger_than(bytes, max_line_profile_bytes,
                       "a line profile can have: " + std::to_string(max_profile_points) +
                           " points per coordinate, every value a double");
}

void check_station_table_size(std::size_t bytes) {
    refuse_larger_than(bytes, max_station_table_bytes,
                       "a station table can have: " + std::to_string(station_slot::count) +
                           " entries, every name " + std::to_string(max_text_length) +
                           " bytes long");
}

void check_route_grid_size(std::size_t bytes) {
    refuse_larger_than(bytes, max_route_grid_bytes,
                       "a route grid can have: " + std::to_string(max_route_cells) + " cells");
}

line_profile_t decode_line_profile(std::string_view bytes) {
    check_line_profile_size(bytes.size());
    // Counted first, so the profile is dimensioned once and filled in place: the values are
    // never held twice.
    const std::size_t values = for_each_profile_value(bytes, [](std::size_t, tagged_value) {});
    line_profile_t profile;
    if (values == 0) return profile;
    if (values % 2 != 0) {
        throw decode_error(bytes.size(), "odd number of profile values (" + std::to_string(values) +
                                             "): x and y must have one value per point");
    }
    const std::size_t points = values / 2;
    profile.dimension(static_cast<std::int32_t>(points - 1));
    for_each_profile_value(bytes, [&](std::size_t i, tagged_value v) {
        (i < points ? profile.x(i) : profile.y(i - points)) = v;
    });
    return profile;
}

station_table_t decode_station_table(std::string_view bytes) {
    check_station_table_size(bytes.size());
    station_table_t table{};
    byte_source in(bytes);
    for (std::size_t i = 0; i < table.size(); ++i) {
        in.get_record(table[i], station_entry_fields, "station entry", i);
    }
    if (!in.at_end()) {
        throw decode_error(in.offset(), std::to_string(bytes.size() - in.offset()) +
                                            " bytes after the last station table entry");
    }
    return table;
}

route_grid_t decode_route_grid(std::string_view bytes) {
    check_route_grid_size(bytes.size());
    constexpr std::size_t cell_size = fixed_size(route_cell_fields);
    if (bytes.size() % cell_size != 0) {
        const std::size_t last_start = bytes.size() - bytes.size() % cell_size;
        throw decode_error(last_start, "truncated route cell " +
                                           std::to_string(last_start / cell_size) + ": " +
                                           std::to_string(bytes.size() - last_start) + " of " +
                                           std::to_string(cell_size) + " bytes");
    }
    route_grid_t grid(bytes.size() / cell_size);
    byte_source in(bytes);
    for (std::size_t i = 0; i < grid.size(); ++i) {
        in.get_record(grid[i], route_cell_fields, "route cell", i);
    }
    return grid;
}

}  // namespace binary_layout

}  // namespace compattatore
