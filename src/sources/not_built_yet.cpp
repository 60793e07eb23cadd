// Placeholder until the text writers are built: every writer fails plainly.
#include <stdexcept>

#include "sources/writers.hpp"

namespace compattatore {
namespace {
[[noreturn]] void missing() { throw std::logic_error("the text writers are not built yet"); }
}  // namespace
std::vector<std::string> dati_linea_lines() { missing(); }
std::vector<std::string> dati_treno_lines() { missing(); }
std::vector<std::string> dati_note_lines() { missing(); }
std::vector<std::string> dati_rallentamenti_lines() { missing(); }
std::vector<std::string> dati_scheda_lines() { missing(); }
void dati_linea(const std::filesystem::path&, scenario_model&) { missing(); }
void dati_treno(const std::filesystem::path&, scenario_model&) { missing(); }
void dati_note(const std::filesystem::path&, scenario_model&) { missing(); }
void dati_rallentamenti(const std::filesystem::path&, scenario_model&) { missing(); }
void dati_scheda(const std::filesystem::path&, scenario_model&) { missing(); }
}  // namespace compattatore
