#pragma once
// File names of the run, all built from the scenario identity. Every file lives in the
// application path.

#include <string>

#include "ground/model.hpp"

namespace compattatore::file_name {

inline std::string train_prefix(const scenario_model& m) {
    return m.line_name + "_" + m.train_number;
}

inline std::string line_description(const scenario_model& m) {
    return m.line_name + "_linea.txt";
}
inline std::string train_description(const scenario_model& m) {
    return train_prefix(m) + "-.txt";
}
inline std::string notes(const scenario_model& m) {
    return train_prefix(m) + "_note.txt";
}
inline std::string slowdown_order(const scenario_model& m) {
    return train_prefix(m) + "_rallentamenti.txt";
}
inline std::string timetable_card(const scenario_model& m) {
    return train_prefix(m) + "_scheda_treno.txt";
}
inline std::string line_profile(const scenario_model& m) {
    return m.line_name + "_linea.dat";
}
inline std::string station_table(const scenario_model& m) {
    return train_prefix(m) + ".sim";
}
inline std::string route_grid(const scenario_model& m) {
    return train_prefix(m) + ".dat";
}

}  // namespace compattatore::file_name
