// Every input that ever broke the language server's harness, and the sessions its corpus starts
// from, replayed in the ordinary build: replies stay framed JSON-RPC and each input keeps its
// pinned exit status. A new input under tests/fuzz/regressions/lsp/ needs its row below.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "fuzz/lsp_checks.hpp"
#include "support/temp_dir.hpp"

namespace compattatore {
namespace {

namespace fs = std::filesystem;

struct pinned_session {
    const char* file;
    int status;
};

// Made by hand for the faults the reader guards against: a body over the limit, headers that are
// not headers, requests on documents never opened and an id that is an object.
constexpr pinned_session pinned_sessions[] = {
    {"body-over-the-limit", 0},
    {"malformed-headers-then-session", 0},
    {"change-to-a-document-never-opened", 1},
};

int status_of(const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out, log;
    return lsp::serve(in, out, log, fuzzing::fuzz_lsp_limits());
}

TEST(LspFuzzRegressions, EveryPinnedInputKeepsTheInvariantsAndItsStatus) {
    const fs::path folder = fs::path(COMPATTATORE_SOURCE_DIR) / "tests/fuzz/regressions/lsp";
    std::size_t found = 0;
    for (const auto& e : fs::directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        SCOPED_TRACE(name);
        const pinned_session* pin = nullptr;
        for (const pinned_session& p : pinned_sessions) {
            if (name == p.file) pin = &p;
        }
        ASSERT_NE(pin, nullptr) << "no pinned status for this input";
        ++found;
        const std::string input = testing::slurp(e.path());
        EXPECT_EQ(fuzzing::check_lsp_session(input), "");
        EXPECT_EQ(status_of(input), pin->status);
    }
    EXPECT_EQ(found, std::size(pinned_sessions)) << "a pinned input is missing";
}

TEST(LspFuzzRegressions, TheSeedSessionsRunToACleanExit) {
    for (const auto& [name, session] : fuzzing::lsp_seed_sessions()) {
        SCOPED_TRACE(name);
        EXPECT_EQ(fuzzing::check_lsp_session(session), "");
        EXPECT_EQ(status_of(session), 0);
    }
}

}  // namespace
}  // namespace compattatore
