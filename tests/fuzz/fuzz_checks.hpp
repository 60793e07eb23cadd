#pragma once
// One compile of untrusted description bytes and the invariants any outcome must keep. Shared by
// the fuzz harnesses and by the test that replays every input the fuzzers ever broke, so a
// relapse shows in the plain and the sanitized test runs alike.
//
// Input of the whole-compile harness: the first byte holds options (bit 0: profile option,
// bit 1: no line description, bit 2: no train description); the rest is the line description,
// then compile_separator, then the train description.

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "compiler/description_files.hpp"
#include "compiler/memorizza_dati.hpp"
#include "formats/binary_files.hpp"
#include "formats/binary_layout.hpp"
#include "ground/model.hpp"
#include "ground/result_codes.hpp"
#include "ground/rounding.hpp"
#include "ground/units.hpp"
#include "pipeline/scenario_pipeline.hpp"

namespace compattatore::fuzzing {

inline constexpr std::string_view compile_separator = "\n~~~~\n";

// Small texts that compile cleanly; each reader harness pairs its input with the other one.
inline constexpr std::string_view fixed_line_text =
    "[generale]\r\nlunghezza percorso,    3000\r\n"
    "progressiva chilometrica uno,    0,    0,    0\r\nsfondo uno,    1\r\n"
    "ripetizione segnali 9 codici,    0,    3000\r\n[pendenze]\r\npendenza,  0,   1\r\n"
    "pendenza,  1000,   -2\r\ncurvad4,  1700,  500\r\n[fine]\r\n";
inline constexpr std::string_view fixed_train_text =
    "[generale]\r\nnumero vetture,    8\r\npercentuale massa frenata,    125\r\n"
    "sabbia,    120\r\norologio,    11              49            0 \r\n[stazioni]\r\n"
    "aderenza,       0,    75\r\nvelocita,   0,    30\r\nvelocita,    1150,   110\r\n"
    "stazione,       0,  8,  700,  1, 1, 1,  4,1,0,  2,1,1,    1,  11,48, 0, ORIGINE\r\n"
    "segnale,   1800,   2, 4, 1,  1, 0,    2,  2,1,1, 110\r\n"
    "rallentamento,  2500,  60,  300,  0,  1,  60\r\n[fine]\r\n";

struct compile_input {
    std::optional<std::string> line;
    std::optional<std::string> train;
    std::int32_t profile_option = 1;
};

inline compile_input split_compile_input(std::string_view data) {
    compile_input in;
    if (data.empty()) return in;
    const auto options = static_cast<std::uint8_t>(data.front());
    data.remove_prefix(1);
    in.profile_option = options & 1;
    const std::size_t at = data.find(compile_separator);
    const std::string_view line = data.substr(0, at);
    const std::string_view train = at == std::string_view::npos
                                       ? std::string_view{}
                                       : data.substr(at + compile_separator.size());
    if ((options & 2) == 0) in.line = std::string(line);
    if ((options & 4) == 0) in.train = std::string(train);
    return in;
}

// The first broken invariant, or an empty text. Runs the compiler alone, or (finish) the whole
// compile of the pipeline: the compiler, then, when it gave a route grid, the cab-code pass and
// the closing checks; then the three encoders, all in memory. Anything thrown escapes: no
// exception may leave the compile for texts held in memory. result_code, when given, receives the
// code the compile ended with.
inline std::string compile_and_check(const compile_input& in, bool finish,
                                     std::int32_t* result_code = nullptr) {
    scenario_model m;
    m.line_name = "Linea";
    m.train_number = "99";
    borrowed_description_files files(in.line, in.train);
    std::optional<pipeline_outcome> outcome;
    if (finish) {
        outcome = compile_scenario(m, in.profile_option, files);
    } else {
        m.profile_option = in.profile_option;
        memorizza_dati(m, files);
    }
    if (result_code != nullptr) *result_code = m.result_code;

    const std::int32_t code = m.result_code;
    if (code != 0) {
        const result_code_info* info = find_result_code(code);
        if (info == nullptr || code >= result::stamp_slots_taken) {
            return "unknown result code " + std::to_string(code);
        }
    }
    // Every text handed over is discarded exactly once, whatever the outcome; none that was
    // missing.
    if (files.line_discards != (in.line ? 1 : 0)) {
        return "line text discarded " + std::to_string(files.line_discards) + " times";
    }
    if (files.train_discards != (in.train ? 1 : 0)) {
        return "train text discarded " + std::to_string(files.train_discards) + " times";
    }
    if (!in.line && code != result::line_file_missing)
        return "no line text but code " + std::to_string(code);

    const station_table_t& st = m.station_table;
    if (st[station_slot::line_header].name != "Linea" ||
        st[station_slot::train_header].name != "99") {
        return "identity overwritten";
    }
    for (const station_entry& e : st) {
        if (e.name.size() > binary_layout::max_text_length) return "name too long to be written";
    }

    if (m.route_grid.empty()) {
        if (m.line_profile.dimensioned()) return "profile without a grid";
        return {};
    }
    if (m.route_grid.size() != static_cast<std::size_t>(m.last_cell) + 1) {
        return "grid size " + std::to_string(m.route_grid.size()) + " but last cell " +
               std::to_string(m.last_cell);
    }
    if (m.last_cell != round32(in_cells(m.route_extent))) return "last cell disagrees with extent";
    if (m.route_extent < 7000 || m.route_extent > 1007000) return "route extent out of range";
    const bool profile = m.profile_option != 0;
    if (profile != m.line_profile.dimensioned()) return "profile dimensioned against the option";
    if (profile && m.line_profile.points() != static_cast<std::size_t>(m.route_extent) + 1) {
        return "profile points disagree with the route extent";
    }
    if (profile) {
        // Points 0 and 1 are integers or untouched, computed points a run of doubles from point 2
        // on; the last two points are written only by a curve that ends on them.
        const line_profile_t& lp = m.line_profile;
        const std::size_t n = lp.points();
        for (std::size_t p = 0; p < n; ++p) {
            for (const tagged_value* v : {&lp.x(p), &lp.y(p)}) {
                const auto t = v->type();
                const bool ok =
                    p < 2 ? t == tagged_value::tag::int16 || t == tagged_value::tag::empty
                          : t == tagged_value::tag::float64 || t == tagged_value::tag::empty;
                if (!ok) return "profile point " + std::to_string(p) + " has an unexpected type";
            }
        }
    }

    if (!outcome.has_value()) return {};
    if (!outcome->finished) return "a route grid that was not finished";
    const std::int32_t stop = outcome->closing_code;
    if (stop != 0 && stop != result::stamp_slots_taken && stop != result::checksum_slots_taken) {
        return "closing checks returned " + std::to_string(stop);
    }
    if (stop == 0 &&
        (m.route_grid[1].value_a != 5121 || st[station_slot::line_header].group_a1 != 610)) {
        return "stamps missing after clean closing checks";
    }

    // The encoders: exact sizes, and every byte reads back as the table it came from.
    const std::string grid = encode_route_grid(m.route_grid);
    if (grid.size() != 15 * m.route_grid.size()) return "route grid file has the wrong size";
    if (binary_layout::decode_route_grid(grid) != m.route_grid)
        return "route grid does not read back";

    const std::string stations = encode_station_table(st);
    std::size_t names = 0;
    for (const station_entry& e : st) names += e.name.size();
    if (stations.size() != 87 * 34 + names) return "station table file has the wrong size";
    if (binary_layout::decode_station_table(stations) != st)
        return "station table does not read back";

    if (profile) {
        // Read back in place: each value is its 16-bit tag and then exactly the bytes the tag
        // gives, in storage order, and nothing after the last one.
        const std::string bytes = encode_line_profile(m.line_profile);
        const auto take = [&](std::size_t& at, int width) -> std::optional<std::uint64_t> {
            if (bytes.size() - at < static_cast<std::size_t>(width)) return std::nullopt;
            std::uint64_t v = 0;
            for (int b = 0; b < width; ++b) {
                v |= std::uint64_t{static_cast<std::uint8_t>(bytes[at + b])} << (8 * b);
            }
            at += static_cast<std::size_t>(width);
            return v;
        };
        std::size_t at = 0;
        const auto& values = m.line_profile.storage();
        for (std::size_t i = 0; i < values.size(); ++i) {
            const tagged_value& v = values[i];
            const auto tag = take(at, 2);
            if (!tag || *tag != static_cast<std::uint16_t>(v.type())) {
                return "line profile value " + std::to_string(i) + " has the wrong tag";
            }
            std::optional<std::uint64_t> got;
            std::uint64_t want = 0;
            switch (v.type()) {
                case tagged_value::tag::empty:
                    got = 0;
                    break;
                case tagged_value::tag::int16:
                    got = take(at, 2);
                    want = static_cast<std::uint16_t>(v.as_int16());
                    break;
                case tagged_value::tag::int32:
                    got = take(at, 4);
                    want = static_cast<std::uint32_t>(v.as_int32());
                    break;
                case tagged_value::tag::float64:
                    got = take(at, 8);
                    want = std::bit_cast<std::uint64_t>(v.as_double());
                    break;
            }
            if (!got || *got != want) {
                return "line profile value " + std::to_string(i) + " does not read back";
            }
        }
        if (at != bytes.size()) return "line profile file has bytes after its last value";
    }
    return {};
}

}  // namespace compattatore::fuzzing
