#pragma once
// The five text writers of the run. Each builds its fixed line list (ending with the sentinel)
// and writes it beside the executable; the *_lines functions give the list alone.

#include <filesystem>
#include <string>
#include <vector>

#include "ground/model.hpp"

namespace compattatore {

// The identity of the scenario these writers carry.
inline constexpr const char* scenario_line_name = "Torino_Piacenza";
inline constexpr const char* scenario_train_number = "2063";

std::vector<std::string> dati_linea_lines();
std::vector<std::string> dati_treno_lines();
std::vector<std::string> dati_note_lines();
std::vector<std::string> dati_rallentamenti_lines();
std::vector<std::string> dati_scheda_lines();

// Each writes its file into app_path under the name built from the model's identity and leaves
// the model's line counter at the sentinel's index. Throws file_error on failure.
void dati_linea(const std::filesystem::path& app_path, scenario_model& model);
void dati_treno(const std::filesystem::path& app_path, scenario_model& model);
void dati_note(const std::filesystem::path& app_path, scenario_model& model);
void dati_rallentamenti(const std::filesystem::path& app_path, scenario_model& model);
void dati_scheda(const std::filesystem::path& app_path, scenario_model& model);

}  // namespace compattatore
