// check's SARIF on hand-made diagnostics with everything a checker can give (extents, help, notes
// in the other file, problems with no place, paths that need escaping), validated against the
// SARIF 2.1.0 schema; and paths as URI references.

#include "toolkit/check_formats.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/run_program.hpp"
#include "support/temp_dir.hpp"

namespace compattatore {
namespace {

using nlohmann::json;

author_check hand_made() {
    author_check k;
    diagnostic typo;
    typo.level = severity::warning;
    typo.where = {
        description_kind::train,
        53,
        1,
    };
    typo.length = 7;
    typo.kind = "keyword-typo";
    typo.message = "field \"stazine\" matches no record and is dropped";
    typo.help = "did you mean `stazione`?";
    diagnostic taken;
    taken.where = {description_kind::train, 74, 10};
    taken.length = 4;
    taken.code = 16;
    taken.kind = "cell-taken";
    taken.notes.push_back({{description_kind::line, 12, 1},
                           17,
                           "the cell holds the board from "
                           "line 12 of SAN NICOL\x95"});
    taken.notes.push_back({{description_kind::train, 40, 1}, 0, "and this one"});
    diagnostic missing;
    missing.where = {description_kind::line, 0, 0};
    missing.code = 101;
    k.diagnostics = {typo, taken, missing, typo};
    return k;
}

const check_subject subject{{"/tmp/my d\xc3\xaer/L_linea.txt", "T 1-.txt"}, input_encoding::cp850};

TEST(CheckSarif, RulesResultsRegionsAndRelatedLocations) {
    const json j = check_sarif(hand_made(), subject);
    EXPECT_EQ(j["version"], "2.1.0");
    const json& run = j["runs"][0];
    EXPECT_EQ(run["columnKind"], "unicodeCodePoints");
    EXPECT_EQ(run["defaultEncoding"], "ibm850");
    const json& rules = run["tool"]["driver"]["rules"];
    ASSERT_EQ(rules.size(), 3u);  // one per kind, the repeated typo sharing its rule
    EXPECT_EQ(rules[0]["id"], "keyword-typo");
    EXPECT_EQ(rules[1]["id"], "cell-taken");
    EXPECT_EQ(rules[1]["shortDescription"]["text"], "signal on a cell that is not free");
    EXPECT_EQ(rules[1]["properties"]["resultCode"], "R16");
    EXPECT_EQ(rules[2]["id"], "code-101");
    const json& results = run["results"];
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[3]["ruleIndex"], 0);
    EXPECT_EQ(results[0]["level"], "warning");
    EXPECT_EQ(results[0]["message"]["text"],
              "field \"stazine\" matches no record and is dropped; help: did you mean "
              "`stazione`?");
    EXPECT_EQ(results[1]["locations"][0]["physicalLocation"], json::parse(R"({
        "artifactLocation": {"uri": "T%201-.txt"},
        "region": {"startLine": 74, "startColumn": 10, "endColumn": 14}})"));
    EXPECT_EQ(results[1]["relatedLocations"], json::parse(R"([
        {"id": 0, "physicalLocation": {
            "artifactLocation": {"uri": "file:///tmp/my%20d%c3%aer/L_linea.txt"},
            "region": {"startLine": 12, "startColumn": 1, "endColumn": 18}},
         "message": {"text": "the cell holds the board from line 12 of SAN NICOL\u00f2"}},
        {"id": 1, "physicalLocation": {
            "artifactLocation": {"uri": "T%201-.txt"},
            "region": {"startLine": 40, "startColumn": 1}},
         "message": {"text": "and this one"}}])"));
    EXPECT_EQ(
        results[2]["locations"][0]["physicalLocation"],
        json::parse(R"({"artifactLocation": {"uri": "file:///tmp/my%20d%c3%aer/L_linea.txt"}})"));
    EXPECT_EQ(results[2]["message"]["text"], "line description file missing [R101]");
}

TEST(CheckSarif, HandMadeDocumentsAreValidSarif) {
    testing::temp_dir dir;
    author_check empty;
    testing::spit(dir / "full.sarif", check_sarif(hand_made(), subject).dump());
    testing::spit(dir / "empty.sarif", check_sarif(empty, subject).dump());
    const std::string tests = std::string(COMPATTATORE_SOURCE_DIR) + "/tests/toolkit/";
    const testing::outcome o =
        testing::run_in(dir.path(), "/usr/bin/python3",
                        "'" + tests + "sarif_valid.py' --schema '" + tests +
                            "data/sarif-2.1.0-rtm.5.json' --file full.sarif --file empty.sarif");
    EXPECT_EQ(o.status, 0) << o.out << o.err;
    EXPECT_EQ(o.out, "full.sarif: 4 results, valid\nempty.sarif: 0 results, valid\n") << o.err;
}

TEST(PathUri, RelativeStaysRelativeAbsoluteIsAFileUriAndTheRestIsEscaped) {
    const struct {
        std::string path, uri;
    } cases[] = {
        {"Torino_Piacenza_linea.txt", "Torino_Piacenza_linea.txt"},
        {"dir/sub/a-b.c~", "dir/sub/a-b.c~"},
        {"/abs/x.txt", "file:///abs/x.txt"},
        {"a b#c?d%e", "a%20b%23c%3fd%25e"},
        {"Citt\x85.txt", "Citt%85.txt"},  // bytes that are not UTF-8 are escaped as they are
    };
    for (const auto& k : cases) EXPECT_EQ(path_uri(k.path), k.uri) << k.path;
}

TEST(CheckJson, CountsKindsAndCarriesTheEncoding) {
    const json j = check_json(hand_made(), {{"L.txt", "T.txt"}, input_encoding::utf8});
    EXPECT_EQ(j["schema"], check_json_schema);
    EXPECT_EQ(j["encoding"], "utf-8");
    EXPECT_EQ(j["errors"], 2);
    EXPECT_EQ(j["warnings"], 2);
    EXPECT_EQ(j["kinds"], json::parse(R"({"keyword-typo": 2, "cell-taken": 1, "code-101": 1})"));
    const json& taken = j["diagnostics"][1];
    EXPECT_EQ(taken["end_column"], 14);
    EXPECT_EQ(taken["notes"][0], json::parse(R"({"file": "L.txt", "line": 12, "column": 1,
        "length": 17, "end_column": 18,
        "message": "the cell holds the board from line 12 of SAN NICOL\u00f2"})"));
    EXPECT_EQ(j["diagnostics"][0]["help"], "did you mean `stazione`?");
    EXPECT_EQ(j["diagnostics"][2]["line"], 0);
    EXPECT_TRUE(j["diagnostics"][2]["end_column"].is_null());
}

}  // namespace
}  // namespace compattatore
