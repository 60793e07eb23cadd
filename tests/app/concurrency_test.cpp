// Several runs started at once in one folder: each holds the folder for its whole run, so the
// others wait, and every one of them ends as a run alone would, with the same six files.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/run_at_once.hpp"
#include "support/run_program.hpp"
#include "support/temp_dir.hpp"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using testing::run_files;
using testing::slurp;
using testing::temp_dir;

std::map<std::string, std::string> folder_contents(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (name != "compattatore") files[name] = slurp(e.path());
    }
    return files;
}

// Starts count copies of exe at once (each from its own folder: exe's).
std::vector<int> run_at_once(const fs::path& exe, int count) {
    return testing::run_at_once(
        exe.parent_path(), exe,
        std::vector<std::vector<std::string>>(static_cast<std::size_t>(count)));
}

TEST(ConcurrentRuns, EveryRunEndsWellAndTheFilesAreThoseOfASingleRun) {
    temp_dir alone;
    fs::copy_file(COMPATTATORE_EXE, alone / "compattatore");
    ASSERT_EQ(run_at_once(alone / "compattatore", 1), std::vector<int>{0});
    const auto expected = folder_contents(alone.path());
    ASSERT_EQ(expected.size(), 6u);

    temp_dir shared;
    fs::copy_file(COMPATTATORE_EXE, shared / "compattatore");
    for (int round = 0; round < 24; ++round) {
        const int count = 2 + round % 3;
        SCOPED_TRACE("round " + std::to_string(round) + ", " + std::to_string(count) + " runs");
        const std::vector<int> statuses = run_at_once(shared / "compattatore", count);
        EXPECT_EQ(statuses, std::vector<int>(static_cast<std::size_t>(count), 0));
        // The six files and nothing else: no scratch text, no temporary file.
        const auto got = folder_contents(shared.path());
        EXPECT_EQ(got.size(), expected.size());
        for (const auto& [name, bytes] : expected) {
            const auto it = got.find(name);
            ASSERT_NE(it, got.end()) << name;
            EXPECT_TRUE(it->second == bytes) << name << " differs from a single run's";
        }
        if (::testing::Test::HasFailure()) break;
    }
}

}  // namespace
}  // namespace compattatore
