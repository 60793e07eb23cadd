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

    // The whole run: identity, waiting window, the five text sources, then route finishing. The
    // run holds its folder throughout, so a second run there waits for this one to end. On any
    // failure the description texts this run wrote are removed.
    void Form_Load();

    // Route finishing: compile the two descriptions, finish the grid, write the binary files.
    // j non-zero builds and writes the line profile. After Form_Load wrote the description texts
    // a missing one is a file failure; called on its own, a missing text is the compiler's case.
    void memorizza_percorso(std::int32_t& j);

    scenario_model& model() { return model_; }
    const scenario_model& model() const { return model_; }
    const std::filesystem::path& app_path() const { return app_path_; }

  private:
    std::filesystem::path app_path_;
    window_platform& platform_;
    scenario_model model_;
    // Which scratch description texts this run wrote and has not yet seen removed.
    bool line_text_written_ = false;
    bool train_text_written_ = false;

    void write_sources();
    void remove_written_texts() noexcept;
};

}  // namespace compattatore
