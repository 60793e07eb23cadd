// The five text writers as the run calls them: each writes its line list under the name built
// from the scenario identity.

#include "sources/writers.hpp"

#include "ground/file_names.hpp"
#include "sources/line_list.hpp"

namespace compattatore {

namespace {

// The line counter is left where the writer's list put it: at the sentinel's index.
void write_source(const std::filesystem::path& file, const std::vector<std::string>& lines,
                  scenario_model& model) {
    model.line_counter = write_line_list(file, lines);
}

}  // namespace

void dati_linea(const std::filesystem::path& app_path, scenario_model& model) {
    write_source(file_name::path_in(app_path, file_name::line_description(model)),
                 dati_linea_lines(), model);
}

void dati_treno(const std::filesystem::path& app_path, scenario_model& model) {
    write_source(file_name::path_in(app_path, file_name::train_description(model)),
                 dati_treno_lines(), model);
}

void dati_note(const std::filesystem::path& app_path, scenario_model& model) {
    write_source(file_name::path_in(app_path, file_name::notes(model)), dati_note_lines(), model);
}

void dati_rallentamenti(const std::filesystem::path& app_path, scenario_model& model) {
    write_source(file_name::path_in(app_path, file_name::slowdown_order(model)),
                 dati_rallentamenti_lines(), model);
}

void dati_scheda(const std::filesystem::path& app_path, scenario_model& model) {
    write_source(file_name::path_in(app_path, file_name::timetable_card(model)),
                 dati_scheda_lines(), model);
}

}  // namespace compattatore
