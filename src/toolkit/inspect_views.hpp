#pragma once
// What inspect shows of each of the simulator's files: the members of one JSON object and one
// text listing per kind of file. Fields are named as the byte layout names them. Both are written
// as they are made, so their memory does not grow with the file.

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <type_traits>

#include "formats/binary_layout.hpp"
#include "ground/code_page_850.hpp"
#include "ground/model.hpp"
#include "toolkit/commands.hpp"
#include "toolkit/inspect_json_writer.hpp"

namespace compattatore::inspect {

using json = nlohmann::ordered_json;

// Each writes its members into the file's object, which w has open.
void write_station_table_json(const station_table_t& t, json_writer& w);
void print_station_table(const station_table_t& t, std::ostream& out);

// names: the station table given with the grid, if any, to name stations and board texts.
void write_route_grid_json(const route_grid_t& g, const station_table_t* names, json_writer& w);
void print_route_grid(const route_grid_t& g, const station_table_t* names, std::ostream& out);

void write_line_profile_json(const line_profile_t& p, const std::optional<point_selection>& sel,
                             json_writer& w);
void print_line_profile(const line_profile_t& p, const std::optional<point_selection>& sel,
                        std::ostream& out);

// A stored field as JSON: numbers as they are, texts from the code page into UTF-8.
template <class Value>
json field_json(const Value& v) {
    if constexpr (std::is_same_v<Value, std::string>) {
        return cp850_to_utf8(v);
    } else {
        return v;
    }
}

// Whether two members of a record are the same one, whatever their types.
template <class A, class B>
constexpr bool same_member(A a, B b) {
    if constexpr (std::is_same_v<A, B>) {
        return a == b;
    } else {
        return false;
    }
}

}  // namespace compattatore::inspect
