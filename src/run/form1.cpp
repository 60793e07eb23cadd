#include "run/form1.hpp"

#include <string>

#include "compiler/description_files.hpp"
#include "compiler/memorizza_dati.hpp"
#include "output/binary_files.hpp"
#include "output/finishing.hpp"
#include "run/paths.hpp"
#include "sources/writers.hpp"

namespace compattatore {

void Form1::Form_Load() {
    model_.line_name = scenario_line_name;
    model_.train_number = scenario_train_number;
    platform_.show_waiting_window();

    // Notes before the slowdown order, the timetable card last.
    dati_linea(app_path_, model_);
    dati_treno(app_path_, model_);
    dati_note(app_path_, model_);
    dati_rallentamenti(app_path_, model_);
    dati_scheda(app_path_, model_);

    std::int32_t j = 1;
    memorizza_percorso(j);
}

void Form1::memorizza_percorso(std::int32_t& j) {
    model_.profile_option = j;
    model_.result_code = 0;
    model_.station_table = station_table_t{};

    scratch_description_files files(app_path_ / file_name::line_description(model_),
                                    app_path_ / file_name::train_description(model_));
    memorizza_dati(model_, files);

    // The closing stamps live in cell 1: a description that never dimensioned the grid leaves
    // nothing the simulator could load.
    if (model_.route_grid.size() < 2) {
        throw nothing_to_finish("the line description gave no route grid (result code " +
                                std::to_string(model_.result_code) +
                                "); no simulator file written");
    }
    cab_code_pass(model_);
    if (const std::int32_t stop = closing_checks(model_); stop != 0) {
        platform_.errore(std::to_string(stop));
    }
    write_binary_files(app_path_, model_);
}

}  // namespace compattatore
