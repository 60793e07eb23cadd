// Every input that ever broke the binary-file harness, replayed through the same readers,
// listings and plots in the ordinary build, so a relapse fails the plain and the sanitized test
// runs. Each input is pinned to what the readers make of it, in the table below: a new input
// under tests/fuzz/regressions/binary/ needs its row there.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/binary_checks.hpp"
#include "support/temp_dir.hpp"

namespace compattatore {
namespace {

namespace fs = std::filesystem;

struct pinned_input {
    std::string_view file;
    std::string_view result;  // "ok", or the refusal: "<kind>: byte <n>: <detail>"
};

// The first inputs are the faults these checks were written for, made by hand: a name no file
// can carry back, names and numbers the listings cut, labels hundreds of kilobytes long.
constexpr pinned_input pinned_inputs[] = {
    {"overlong-station-name",
     "station table: byte 48: station entry 1: name of 40000 bytes, longer than the 32767 a text "
     "may have"},
    {"long-station-name-listed", "ok"},
    {"extreme-coordinates", "ok"},
    {"long-board-text-labels", "ok"},
    {"long-names-route-chart", "ok"},
    // Found by the fuzzer: the station listing stopped at a NUL byte in a name.
    {"nul-bytes-in-station-name", "ok"},
};

fs::path folder() {
    return fs::path(COMPATTATORE_SOURCE_DIR) / "tests/fuzz/regressions/binary";
}

std::vector<fs::path> inputs() {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(folder())) {
        if (e.is_regular_file() && e.path().filename().string().front() != '.') {
            files.push_back(e.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

const pinned_input* pin_of(const fs::path& file) {
    const std::string name = file.filename().string();
    const auto it = std::find_if(std::begin(pinned_inputs), std::end(pinned_inputs),
                                 [&](const pinned_input& p) { return p.file == name; });
    return it == std::end(pinned_inputs) ? nullptr : it;
}

TEST(BinaryFuzzRegressions, EveryInputKeepsTheInvariantsAndItsPinnedResult) {
    const std::vector<fs::path> files = inputs();
    if (files.empty()) GTEST_SKIP() << "no input has broken the binary-file harness yet";
    for (const fs::path& f : files) {
        SCOPED_TRACE(f.filename().string());
        const fuzzing::binary_outcome o = fuzzing::check_binary_input(testing::slurp(f));
        EXPECT_EQ(o.broken, "");
        const pinned_input* pin = pin_of(f);
        if (pin == nullptr) {
            ADD_FAILURE() << "no pinned result for this input";
        } else {
            EXPECT_EQ(o.result, pin->result);
        }
    }
}

// A pin whose input is gone would keep nothing.
TEST(BinaryFuzzRegressions, EveryPinnedInputExists) {
    for (const pinned_input& p : pinned_inputs) {
        EXPECT_TRUE(fs::is_regular_file(folder() / p.file)) << p.file;
    }
}

}  // namespace
}  // namespace compattatore
