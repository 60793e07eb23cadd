// The authors' guide is a session anyone can repeat: every command in its console blocks runs,
// in order, in one empty folder, and prints what the guide says it prints.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_program.hpp"
#include "support/temp_dir.hpp"

namespace compattatore {
namespace {

using testing::slurp;
using testing::spit;
using testing::temp_dir;

struct doc_command {
    int line;  // in the document, for the failure message
    std::string command;
    std::vector<std::string> expected;  // "..." stands for any number of lines
};

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

// The commands of the ```console blocks: a line "$ command", then what it prints.
std::vector<doc_command> console_commands(const std::string& markdown) {
    std::vector<doc_command> commands;
    bool in_block = false;
    int number = 0;
    for (const std::string& l : lines_of(markdown)) {
        ++number;
        if (!in_block) {
            in_block = l.starts_with("```console");
        } else if (l.starts_with("```")) {
            in_block = false;
        } else if (l.starts_with("$ ")) {
            commands.push_back({number, l.substr(2), {}});
        } else if (!commands.empty()) {
            commands.back().expected.push_back(l);
        }
    }
    return commands;
}

bool is_gap(const std::string& l) {
    return l.find_first_not_of(' ') != std::string::npos &&
           l.substr(l.find_first_not_of(' ')) == "...";
}

// Whether the lines printed match the lines expected, a gap line matching any run of lines.
bool matches(const std::vector<std::string>& got, std::size_t g,
             const std::vector<std::string>& want, std::size_t w) {
    if (w == want.size()) return g == got.size();
    if (is_gap(want[w])) {
        for (std::size_t skip = g; skip <= got.size(); ++skip) {
            if (matches(got, skip, want, w + 1)) return true;
        }
        return false;
    }
    return g < got.size() && got[g] == want[w] && matches(got, g + 1, want, w + 1);
}

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out.append(l).append("\n");
    return out;
}

TEST(AuthorsGuide, EveryCommandPrintsWhatTheGuideShows) {
    const std::string doc = slurp(std::string(COMPATTATORE_SOURCE_DIR) + "/docs/authors.md");
    const std::vector<doc_command> commands = console_commands(doc);
    ASSERT_FALSE(commands.empty()) << "no console blocks in docs/authors.md";
    temp_dir folder, scripts;
    for (const doc_command& c : commands) {
        // The guide's commands name the program as an author types it.
        std::string script = "compattatore() { '";
        script.append(COMPATTATORE_EXE).append("' \"$@\"; }\n{ ");
        script.append(c.command).append("\n} 2>&1\n");
        spit(scripts / "step.sh", script);
        const testing::outcome o =
            testing::run_in(folder.path(), "/bin/sh", (scripts / "step.sh").string());
        const std::vector<std::string> got = lines_of(o.out);
        EXPECT_TRUE(matches(got, 0, c.expected, 0))
            << "docs/authors.md:" << c.line << ": $ " << c.command << "\nexpected:\n"
            << joined(c.expected) << "printed:\n"
            << o.out;
    }
}

TEST(AuthorsGuide, GapsMatchAnyRunOfLinesAndNothingElseDiffers) {
    const std::vector<std::string> got = {"a", "b", "c", "d"};
    const struct {
        std::vector<std::string> want;
        bool matches;
    } cases[] = {
        {{"a", "b", "c", "d"}, true},
        {{"a", "...", "d"}, true},
        {{"...", "d"}, true},
        {{"a", "  ...", "b", "c", "d"}, true},
        {{"a", "...", "c"}, false},
        {{"a", "b", "c"}, false},
        {{"a", "b", "c", "d", "e"}, false},
        {{"a", "...", "x", "..."}, false},
    };
    for (const auto& k : cases) EXPECT_EQ(matches(got, 0, k.want, 0), k.matches) << joined(k.want);
}

}  // namespace
}  // namespace compattatore
