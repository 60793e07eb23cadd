#include "app/form1.hpp"

#include <string>

#include "compiler/description_files.hpp"
#include "formats/binary_files.hpp"
#include "ground/file_names.hpp"
#include "pipeline/scenario_pipeline.hpp"
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

    std::int32_t j = 1;  // the run always builds and writes the line profile
    memorizza_percorso(j);
}

void Form1::memorizza_percorso(std::int32_t& j) {
    scratch_description_files files(app_path_ / file_name::line_description(model_),
                                    app_path_ / file_name::train_description(model_));
    const pipeline_outcome outcome = compile_scenario(model_, j, files);
    if (!outcome.finished) {
        throw nothing_to_finish("the line description gave no route grid (result code " +
                                std::to_string(model_.result_code) +
                                "); no simulator file written");
    }
    // errore ends the process: a closing check that stopped the run leaves no binary file.
    if (outcome.closing_code != 0) platform_.errore(std::to_string(outcome.closing_code));
    write_binary_files(app_path_, model_);
}

}  // namespace compattatore
