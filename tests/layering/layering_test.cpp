#include "layering/layering.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.hpp"

namespace compattatore::layering {
namespace {

using testing::spit;
using testing::temp_dir;

// A small layering of its own, so the cases do not move when the project's table does:
// base at the bottom, two peers on it, top on both.
const room_table& toy_table() {
    static const room_table table =
        parse_room_table("base= left=base right=base top=left,right,base");
    return table;
}

std::string described(const std::vector<violation>& found) {
    std::string text;
    for (const auto& v : found) text += describe(v) + "\n";
    return text;
}

TEST(RoomTable, ReadsEachRoomAndTheRoomsItMayUse) {
    const auto table =
        parse_room_table("ground= sources=ground pipeline=compiler,finishing,ground");
    const room_table expected{
        {"ground", {}}, {"sources", {"ground"}}, {"pipeline", {"compiler", "finishing", "ground"}}};
    EXPECT_EQ(table, expected);
    EXPECT_THROW(parse_room_table("ground= sources"), std::invalid_argument);
    EXPECT_THROW(parse_room_table("=ground"), std::invalid_argument);
}

TEST(RoomTable, FaultsAreUnknownRoomsAndCycles) {
    struct table_case {
        const char* table;
        std::vector<std::string> faults;
    };
    const table_case cases[] = {
        {"base= left=base right=base top=left,right,base", {}},
        {"base= left=base,ghost", {"left uses ghost, not a room"}},
        {"base=left left=base", {"cycle: base -> left -> base"}},
        {"a=b b=c c=a d=a", {"cycle: a -> b -> c -> a"}},
        {"a=a", {"cycle: a -> a"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(table_faults(parse_room_table(c.table)), c.faults) << c.table;
    }
}

TEST(Includes, FindsEachDirectiveWithItsLine) {
    struct text_case {
        const char* text;
        std::vector<include_directive> includes;
    };
    const text_case cases[] = {
        {"#include \"base/a.hpp\"\n", {{1, "base/a.hpp", true}}},
        {"// header\n\n#include <vector>\n#include \"left/b.hpp\"  // why\n",
         {{3, "vector", false}, {4, "left/b.hpp", true}}},
        {"  #  include   \"right/c.hpp\"\r\n#include\"top/d.hpp\"",
         {{1, "right/c.hpp", true}, {2, "top/d.hpp", true}}},
        {"#ifdef X\n#include <CLI/CLI.hpp>\n#endif\n", {{2, "CLI/CLI.hpp", false}}},
        // Not directives: a comment, a string, another directive, an unfinished name.
        {"// #include \"top/d.hpp\"\nauto s = \"#include \\\"top/d.hpp\\\"\";\n"
         "#include_next <x.h>\n#define include \"top/d.hpp\"\n#include \"top/d.hpp\n",
         {}},
    };
    for (const auto& c : cases) {
        const auto found = includes_of(c.text);
        ASSERT_EQ(found.size(), c.includes.size()) << c.text;
        for (std::size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].line, c.includes[i].line) << c.text;
            EXPECT_EQ(found[i].path, c.includes[i].path) << c.text;
            EXPECT_EQ(found[i].quoted, c.includes[i].quoted) << c.text;
        }
    }
}

TEST(Includes, EachRoomMayNameItselfAndTheRoomsBelowItOnly) {
    struct include_case {
        const char* room;
        const char* include;  // the directive's line
        const char* reason;   // empty when allowed
    };
    const include_case cases[] = {
        {"base", "#include \"base/a.hpp\"", ""},
        {"left", "#include \"base/a.hpp\"", ""},
        {"top", "#include \"left/b.hpp\"", ""},
        {"top", "#include <vector>", ""},
        {"left", "#include <CLI/CLI.hpp>", ""},
        {"base", "#include \"left/b.hpp\"", "base may not use left (it may use no other room)"},
        {"left", "#include \"right/c.hpp\"", "left may not use right (it may use base)"},
        {"left", "#include \"top/d.hpp\"", "left may not use top (it may use base)"},
        {"left", "#include <right/c.hpp>", "left may not use right (it may use base)"},
        {"top", "#include \"support/x.hpp\"", "'support' is not a room"},
        {"top", "#include \"d.hpp\"", "names no room (write the room's folder first)"},
        {"left", "#include \"base/../right/c.hpp\"", "climbs out of its room with '..'"},
        {"left", "#include \"left/../../x.hpp\"", "climbs out of its room with '..'"},
    };
    for (const auto& c : cases) {
        const std::string text = std::string("// a file\n") + c.include + "\n";
        const auto found = check_text(toy_table(), c.room, "src/x.cpp", text);
        if (*c.reason == '\0') {
            EXPECT_TRUE(found.empty()) << c.room << ": " << described(found);
            continue;
        }
        ASSERT_EQ(found.size(), 1u) << c.room << ": " << c.include;
        EXPECT_EQ(found[0].file, "src/x.cpp");
        EXPECT_EQ(found[0].line, 2);
        EXPECT_EQ("#include " + found[0].include, c.include);
        EXPECT_EQ(found[0].reason, c.reason) << c.room << ": " << c.include;
    }
    EXPECT_THROW(check_text(toy_table(), "ghost", "src/x.cpp", ""), std::invalid_argument);
}

TEST(Tree, ReportsFileLineAndIncludeOfEachFault) {
    const temp_dir root;
    for (const char* folder : {"src/base", "src/left/deep", "src/right", "src/extra"}) {
        std::filesystem::create_directories(root / folder);
    }
    spit(root / "src/base/a.hpp", "#pragma once\n#include <vector>\n");
    spit(root / "src/left/b.cpp", "#include \"left/b.hpp\"\n\n#include \"right/c.hpp\"\n");
    spit(root / "src/left/b.hpp", "#include \"base/a.hpp\"\n");
    spit(root / "src/left/deep/e.hpp", "#include \"top/d.hpp\"\n");
    spit(root / "src/left/notes.txt", "#include \"top/d.hpp\"\n");  // not C++: not read
    spit(root / "src/right/c.hpp", "#include \"base/a.hpp\"\n#include \"left/b.hpp\"\n");
    spit(root / "src/extra/f.cpp", "#include \"top/d.hpp\"\n");
    spit(root / "src/stray.cpp", "");

    const auto found = check_tree(toy_table(), root.path());
    EXPECT_EQ(
        described(found),
        "src/extra: a folder that is not a room of the table\n"
        "src/left/b.cpp:3: #include \"right/c.hpp\": left may not use right (it may use base)\n"
        "src/left/deep/e.hpp:1: #include \"top/d.hpp\": left may not use top (it may use base)\n"
        "src/right/c.hpp:2: #include \"left/b.hpp\": right may not use left (it may use base)\n"
        "src/stray.cpp: a file outside every room\n"
        "src/top: a room of the table with no folder\n");
}

// The project's own table, the one its libraries link by (see the top CMakeLists.txt).
TEST(Project, TableOnlyPointsDown) {
    const auto table = parse_room_table(COMPATTATORE_ROOM_TABLE);
    EXPECT_FALSE(table.empty());
    EXPECT_EQ(table_faults(table), std::vector<std::string>{});
}

TEST(Project, EveryIncludeUnderSrcIsAllowed) {
    const auto table = parse_room_table(COMPATTATORE_ROOM_TABLE);
    const auto found = check_tree(table, COMPATTATORE_SOURCE_DIR);
    EXPECT_TRUE(found.empty()) << described(found);
}

}  // namespace
}  // namespace compattatore::layering
