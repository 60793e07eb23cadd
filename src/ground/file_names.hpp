#pragma once
// File names of the run, all built from the scenario identity. Every file lives in the
// application path.

#include <filesystem>
#include <string>

#include "ground/model.hpp"
#ifdef _WIN32
#include "ground/code_page_850.hpp"
#include "ground/utf8_path.hpp"
#endif

namespace compattatore::file_name {

// The path of the file called name (code page 850 bytes, as the simulator's files hold the
// names) in folder. Windows names files in UTF-16, so there the name is the characters the bytes
// stand for; elsewhere a file name is bytes and takes them as they are.
inline std::filesystem::path path_in(const std::filesystem::path& folder, const std::string& name) {
#ifdef _WIN32
    return folder / path_from_utf8(cp850_to_utf8(name));
#else
    return folder / name;
#endif
}

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
