#pragma once
// Form1 owns one run: the fixed scenario identity, the data model and the order of the steps.

#include <cstdint>
#include <filesystem>
#include <stdexcept>

#include "ground/model.hpp"
#include "platform/platform.hpp"

namespace compattatore {

// The compiler gave route finishing nothing to finish (no route grid was dimensioned), so no
// simulator file can be written.
struct nothing_to_finish : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Form1 {
public:
    Form1(std::filesystem::path app_path, window_platform& platform)
        : app_path_(std::move(app_path)), platform_(platform) {}

    // The whole run: identity, waiting window, the five text sources, then route finishing.
    void Form_Load();

    // Route finishing: compile the two descriptions, finish the grid, write the binary files.
    // j non-zero builds and writes the line profile.
    void memorizza_percorso(std::int32_t& j);

    scenario_model& model() { return model_; }
    const scenario_model& model() const { return model_; }
    const std::filesystem::path& app_path() const { return app_path_; }

private:
    std::filesystem::path app_path_;
    window_platform& platform_;
    scenario_model model_;
};

}  // namespace compattatore
