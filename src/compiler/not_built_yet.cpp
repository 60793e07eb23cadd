// Placeholder until the compiler is built: compiling fails plainly.
#include <stdexcept>

#include "compiler/memorizza_dati.hpp"

namespace compattatore {
void memorizza_dati(scenario_model&, description_files&, compile_report*) {
    throw std::logic_error("the scenario compiler is not built yet");
}
}  // namespace compattatore
