// Every input that ever broke a fuzz harness, replayed through the same compile and the same
// invariants in the ordinary build, so a relapse fails the plain and the sanitized test runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/fuzz_checks.hpp"
#include "support/temp_dir.hpp"

namespace compattatore {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputs_in(const std::string& kind) {
    std::vector<fs::path> files;
    const fs::path dir = fs::path(COMPATTATORE_SOURCE_DIR) / "tests/fuzz/regressions" / kind;
    for (const auto& e : fs::directory_iterator(dir)) {
        if (e.is_regular_file() && e.path().filename().string().front() != '.') {
            files.push_back(e.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// What each harness does with its input.
fuzzing::compile_input as_input(const std::string& kind, const std::string& bytes) {
    fuzzing::compile_input in;
    if (kind == "line") {
        in.line = bytes;
        in.train = std::string(fuzzing::fixed_train_text);
    } else if (kind == "train") {
        in.line = std::string(fuzzing::fixed_line_text);
        in.train = bytes;
    } else {
        in = fuzzing::split_compile_input(bytes);
    }
    return in;
}

class FuzzRegressions : public ::testing::TestWithParam<std::string> {};

TEST_P(FuzzRegressions, EveryInputKeepsTheInvariants) {
    const std::string kind = GetParam();
    const std::vector<fs::path> files = inputs_in(kind);
    if (files.empty()) GTEST_SKIP() << "no " << kind << " input has broken a harness yet";
    for (const fs::path& f : files) {
        SCOPED_TRACE(f.filename().string());
        EXPECT_EQ(fuzzing::compile_and_check(as_input(kind, testing::slurp(f)), kind == "compile"),
                  "");
    }
}

INSTANTIATE_TEST_SUITE_P(Harnesses, FuzzRegressions, ::testing::Values("line", "train", "compile"));

}  // namespace
}  // namespace compattatore
