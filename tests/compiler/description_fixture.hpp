#pragma once
// A minimal pair of descriptions that compiles cleanly, which each test changes in a few lines.
// Line: 3000 m, so the route extent is 10000 m and the last cell 200.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "compiler/compile_report.hpp"
#include "compiler/description_files.hpp"
#include "compiler/memorizza_dati.hpp"
#include "ground/model.hpp"

namespace compattatore::testing {

struct description_pair {
    std::vector<std::string> general{
        "lunghezza percorso,    3000",
        "progressiva chilometrica uno,    0,    0,    0",
        "sfondo uno,    1",
        "ripetizione segnali 9 codici,    0,    3000",
    };
    std::vector<std::string> line_records{
        "pendenza,  0,   1",
        "pendenza,  1000,   -2",
    };
    std::vector<std::string> train_general{
        "numero vetture,    8",
        "percentuale massa frenata,    125",
        "sabbia,    120",
        "orologio,    11              49            0 ",
    };
    std::vector<std::string> train_records{
        "aderenza,       0,    75",
        "velocita,   0,    30",
        "velocita,    1150,   110",
        "stazione,       0,  8,  700,  1, 1, 1,  4,1,0,  2,1,1,    1,  11,48, 0, ORIGINE",
    };
    std::string eol = "\r\n";

    std::string line_text() const {
        std::string t = "[generale]" + eol;
        for (const auto& l : general) t += l + eol;
        t += "[pendenze]" + eol;
        for (const auto& l : line_records) t += l + eol;
        return t + "[fine]" + eol;
    }
    std::string train_text() const {
        std::string t = "[generale]" + eol;
        for (const auto& l : train_general) t += l + eol;
        t += "[stazioni]" + eol;
        for (const auto& l : train_records) t += l + eol;
        return t + "[fine]" + eol;
    }
};

// One compile of two texts held in memory.
struct compiled {
    compiled(std::optional<std::string> line, std::optional<std::string> train,
             std::int32_t profile_option = 1)
        : files(std::move(line), std::move(train)) {
        model.line_name = "Linea";
        model.train_number = "99";
        model.profile_option = profile_option;
        model.error_position = -12345;  // shows whether a code set it
        memorizza_dati(model, files, &report);
    }
    explicit compiled(const description_pair& d, std::int32_t profile_option = 1)
        : compiled(d.line_text(), d.train_text(), profile_option) {}

    const route_cell& cell(std::size_t i) const { return model.route_grid.at(i); }
    const station_entry& entry(std::size_t i) const { return model.station_table.at(i); }

    scenario_model model;
    borrowed_description_files files;
    compile_report report;
};

inline std::unique_ptr<compiled> compile(const description_pair& d, std::int32_t profile = 1) {
    return std::make_unique<compiled>(d, profile);
}

inline constexpr std::int32_t untouched_position = -12345;
inline constexpr std::int32_t fixture_last_cell = 200;

}  // namespace compattatore::testing
