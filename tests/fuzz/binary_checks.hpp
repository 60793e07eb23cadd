#pragma once
// Untrusted bytes through the readers of the simulator's files, inspect's listings and the two
// plots, and the invariants any outcome must keep. Shared by the fuzz harness and by the test
// that replays every input the harness ever broke.
//
// Input: the first byte selects what the rest is, by its value modulo 5:
//   0 a line profile, 1 a station table, 2 a route grid: decoded, then listed as text and JSON;
//   3 the track plan: a line profile [binary_separator a station table [binary_separator a
//     route grid]];
//   4 the route chart: a route grid [binary_separator a station table].

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "formats/binary_files.hpp"
#include "formats/binary_layout.hpp"
#include "ground/code_page_850.hpp"
#include "ground/model.hpp"
#include "toolkit/inspect_views.hpp"
#include "toolkit/plot.hpp"
#include "toolkit/scenario_files.hpp"
#include "toolkit/xml_check.hpp"

namespace compattatore::fuzzing {

inline constexpr std::string_view binary_separator = "~~~~";

// The longest text a picture may draw, in characters, and how large a picture may grow with its
// input: a fixed frame and a bounded amount per input byte.
inline constexpr std::size_t drawn_text_limit = 80;
inline constexpr std::size_t picture_frame_bytes = 256 * 1024;
inline constexpr std::size_t picture_bytes_per_input_byte = 64;

struct binary_outcome {
    std::string result = "ok";  // or the first refused file: "<kind>: byte <n>: <detail>"
    std::string broken;         // the first broken invariant, or empty

    void fail(std::string what) {
        if (broken.empty()) broken = std::move(what);
    }
};

// The bytes as the table they hold, or nothing when the reader refuses them. A table read must
// encode back to exactly its bytes; a refusal must point inside them.
template <class Table>
std::optional<Table> decode_checked(std::string_view kind, std::string_view bytes,
                                    Table (*decode)(std::string_view),
                                    std::string (*encode)(const Table&), binary_outcome& o) {
    try {
        Table t = decode(bytes);
        if (encode(t) != bytes) o.fail(std::string(kind) + " does not encode back to its bytes");
        return t;
    } catch (const binary_layout::decode_error& e) {
        if (e.offset() > bytes.size()) o.fail(std::string(kind) + " refused past its end");
        if (o.result == "ok") o.result = std::string(kind) + ": " + e.what();
        return std::nullopt;
    }
}

inline std::optional<line_profile_t> checked_profile(std::string_view b, binary_outcome& o) {
    return decode_checked<line_profile_t>("line profile", b, binary_layout::decode_line_profile,
                                          encode_line_profile, o);
}
inline std::optional<station_table_t> checked_table(std::string_view b, binary_outcome& o) {
    return decode_checked<station_table_t>("station table", b, binary_layout::decode_station_table,
                                           encode_station_table, o);
}
inline std::optional<route_grid_t> checked_grid(std::string_view b, binary_outcome& o) {
    return decode_checked<route_grid_t>("route grid", b, binary_layout::decode_route_grid,
                                        encode_route_grid, o);
}

// The members one view writes, as the JSON inspect prints; it must parse.
template <class Write>
std::optional<nlohmann::json> listed_json(Write write, binary_outcome& o) {
    std::ostringstream out;
    inspect::json_writer w(out);
    w.open_object();
    write(w);
    w.close();
    try {
        return nlohmann::json::parse(out.str());
    } catch (const nlohmann::json::exception& e) {
        o.fail(std::string("inspect JSON does not parse: ") + e.what());
        return std::nullopt;
    }
}

inline std::size_t count_of(std::string_view text, std::string_view what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

// Every station and board text is listed whole, and the JSON gives back every name.
inline void check_table_listing(const station_table_t& t, binary_outcome& o) {
    std::ostringstream text;
    inspect::print_station_table(t, text);
    const int boards = lowest_board_entry(t);
    for (int i = 1; i <= station_slot::first_board; ++i) {
        if (i < boards && !is_station_entry(t, i)) continue;
        // Appended piece by piece: a literal added to a string trips a false GCC 12 warning.
        std::string quoted(1, '"');
        quoted.append(cp850_to_utf8(t[static_cast<std::size_t>(i)].name)).append(1, '"');
        if (text.str().find(quoted) == std::string::npos) {
            o.fail("the listing cuts the name of entry " + std::to_string(i));
        }
    }
    const auto j = listed_json([&](inspect::json_writer& w) { write_station_table_json(t, w); }, o);
    if (!j) return;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if ((*j)["entries"][i]["name"] != cp850_to_utf8(t[i].name)) {
            o.fail("the JSON changes the name of entry " + std::to_string(i));
        }
    }
}

// One listing line per object, and the JSON counts every cell.
inline void check_grid_listing(const route_grid_t& g, binary_outcome& o) {
    std::ostringstream text;
    inspect::print_route_grid(g, nullptr, text);
    const auto objects =
        std::count_if(g.begin(), g.end(), [](const route_cell& c) { return c.kind != 0; });
    if (count_of(text.str(), "\n  cell ") != static_cast<std::size_t>(objects)) {
        o.fail("the listing does not show every object on a line of its own");
    }
    const auto j =
        listed_json([&](inspect::json_writer& w) { write_route_grid_json(g, nullptr, w); }, o);
    if (j && (*j)["cells"] != g.size()) o.fail("the JSON miscounts the cells");
}

// Every point selected is one whole line of the listing, however long its numbers.
inline void check_profile_listing(const line_profile_t& p, binary_outcome& o) {
    const point_selection every_third{0, std::nullopt, 3};
    std::ostringstream text;
    inspect::print_line_profile(p, every_third, text);
    const std::string listing = text.str();
    const std::size_t head = listing.find("point         x              y\n");
    const std::size_t selected = (p.points() + 2) / 3;
    if (head == std::string::npos ||
        count_of(std::string_view(listing).substr(head), "\n") != selected + 1) {
        o.fail("the point listing does not give each point one line");
    }
    const auto j = listed_json(
        [&](inspect::json_writer& w) { write_line_profile_json(p, every_third, w); }, o);
    if (j && ((*j)["points"] != p.points() || (*j)["selected"].size() != selected)) {
        o.fail("the JSON miscounts the points");
    }
}

// Characters of XML character data: an entity or a UTF-8 sequence is one.
inline std::size_t drawn_characters(std::string_view data) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] == '&') {
            i = std::min(data.find(';', i), data.size());
        } else if ((static_cast<unsigned char>(data[i]) & 0xC0) == 0x80) {
            continue;
        }
        ++n;
    }
    return n;
}

inline void check_picture(const std::string& svg, std::size_t input_bytes, binary_outcome& o) {
    if (const std::string fault = testing::xml_fault(svg); !fault.empty()) {
        o.fail("the picture is not well-formed: " + fault);
    }
    if (svg.size() > picture_frame_bytes + picture_bytes_per_input_byte * input_bytes) {
        o.fail("a picture of " + std::to_string(svg.size()) + " bytes from " +
               std::to_string(input_bytes) + " bytes of files");
    }
    for (auto at = svg.find("<text"); at != std::string::npos; at = svg.find("<text", at + 1)) {
        const std::size_t open_end = svg.find('>', at);
        if (open_end == std::string::npos || svg[open_end - 1] == '/') continue;
        const std::size_t close = svg.find("</text>", open_end);
        if (close == std::string::npos) continue;
        const auto data = std::string_view(svg).substr(open_end + 1, close - open_end - 1);
        if (drawn_characters(data) > drawn_text_limit) {
            o.fail("a text of " + std::to_string(drawn_characters(data)) + " characters drawn");
        }
    }
}

inline std::vector<std::string_view> split_files(std::string_view data, std::size_t most) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < most) {
        const std::size_t at = data.find(binary_separator);
        if (at == std::string_view::npos) break;
        parts.push_back(data.substr(0, at));
        data.remove_prefix(at + binary_separator.size());
    }
    parts.push_back(data);
    return parts;
}

inline void check_plan(std::string_view data, binary_outcome& o) {
    const std::vector<std::string_view> files = split_files(data, 3);
    const auto profile = checked_profile(files[0], o);
    const auto table =
        files.size() > 1 ? checked_table(files[1], o) : std::optional<station_table_t>();
    const auto grid = files.size() > 2 ? checked_grid(files[2], o) : std::optional<route_grid_t>();
    if (o.result != "ok") return;
    check_picture(plan_svg(*profile, table ? &*table : nullptr, grid ? &*grid : nullptr),
                  data.size(), o);
}

inline void check_route_chart(std::string_view data, binary_outcome& o) {
    const std::vector<std::string_view> files = split_files(data, 2);
    const auto grid = checked_grid(files[0], o);
    const auto table =
        files.size() > 1 ? checked_table(files[1], o) : std::optional<station_table_t>();
    if (o.result != "ok") return;
    check_picture(route_svg(*grid, table ? &*table : nullptr), data.size(), o);
}

// Anything thrown other than a reader's refusal escapes: no other exception may leave a reader,
// a listing or a plot.
inline binary_outcome check_binary_input(std::string_view data) {
    binary_outcome o;
    if (data.empty()) return o;
    const auto use = static_cast<std::uint8_t>(data.front()) % 5;
    data.remove_prefix(1);
    switch (use) {
        case 0:
            if (const auto p = checked_profile(data, o)) check_profile_listing(*p, o);
            break;
        case 1:
            if (const auto t = checked_table(data, o)) check_table_listing(*t, o);
            break;
        case 2:
            if (const auto g = checked_grid(data, o)) check_grid_listing(*g, o);
            break;
        case 3:
            check_plan(data, o);
            break;
        default:
            check_route_chart(data, o);
            break;
    }
    return o;
}

}  // namespace compattatore::fuzzing
