// Every input that ever broke a fuzz harness, replayed through the same compile and the same
// invariants in the ordinary build, so a relapse fails the plain and the sanitized test runs.
// Each input is also pinned to the result code it compiles to, in the table below: a new input
// under tests/fuzz/regressions/<harness>/ needs its row there.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_checks.hpp"
#include "ground/result_codes.hpp"
#include "support/temp_dir.hpp"

namespace compattatore {
namespace {

namespace fs = std::filesystem;

struct pinned_input {
    std::string_view harness;  // its folder: line, train or compile
    std::string_view file;
    std::int32_t code;  // what the compile ends with
};

// Names no simulator file can carry stop the compile at the failure exit.
constexpr pinned_input pinned_inputs[] = {
    {"line", "overlong-board-text", result::compiler_failure},
    {"train", "overlong-station-name", result::compiler_failure},
    {"compile", "overlong-names-both-texts", result::compiler_failure},
};

fs::path folder_of(std::string_view harness) {
    return fs::path(COMPATTATORE_SOURCE_DIR) / "tests/fuzz/regressions" / harness;
}

std::vector<fs::path> inputs_in(std::string_view harness) {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(folder_of(harness))) {
        if (e.is_regular_file() && e.path().filename().string().front() != '.') {
            files.push_back(e.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

const pinned_input* pin_of(std::string_view harness, const fs::path& file) {
    const std::string name = file.filename().string();
    const auto it =
        std::find_if(std::begin(pinned_inputs), std::end(pinned_inputs),
                     [&](const pinned_input& p) { return p.harness == harness && p.file == name; });
    return it == std::end(pinned_inputs) ? nullptr : it;
}

// What each harness does with its input.
fuzzing::compile_input as_input(std::string_view harness, const std::string& bytes) {
    fuzzing::compile_input in;
    if (harness == "line") {
        in.line = bytes;
        in.train = std::string(fuzzing::fixed_train_text);
    } else if (harness == "train") {
        in.line = std::string(fuzzing::fixed_line_text);
        in.train = bytes;
    } else {
        in = fuzzing::split_compile_input(bytes);
    }
    return in;
}

class FuzzRegressions : public ::testing::TestWithParam<std::string> {};

TEST_P(FuzzRegressions, EveryInputKeepsTheInvariantsAndItsPinnedCode) {
    const std::string harness = GetParam();
    const std::vector<fs::path> files = inputs_in(harness);
    if (files.empty()) GTEST_SKIP() << "no " << harness << " input has broken a harness yet";
    for (const fs::path& f : files) {
        SCOPED_TRACE(f.filename().string());
        std::int32_t code = -1;
        EXPECT_EQ(fuzzing::compile_and_check(as_input(harness, testing::slurp(f)),
                                             harness == "compile", &code),
                  "");
        const pinned_input* pin = pin_of(harness, f);
        if (pin == nullptr) {
            ADD_FAILURE() << "no pinned result code for this input";
        } else {
            EXPECT_EQ(code, pin->code);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Harnesses, FuzzRegressions, ::testing::Values("line", "train", "compile"));

// A pin whose input is gone would keep nothing.
TEST(FuzzRegressionPins, EveryPinnedInputExists) {
    for (const pinned_input& p : pinned_inputs) {
        EXPECT_TRUE(fs::is_regular_file(folder_of(p.harness) / p.file))
            << p.harness << "/" << p.file;
    }
}

}  // namespace
}  // namespace compattatore
