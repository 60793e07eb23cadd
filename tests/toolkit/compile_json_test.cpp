// compile --json: the model's error position, each diagnostic's own, and text that is always
// valid JSON whatever bytes the descriptions and the paths hold.

#include "toolkit/compile_json.hpp"

#include <gtest/gtest.h>

#include <functional>

#include "compiler/description_fixture.hpp"
#include "toolkit/json_text.hpp"

namespace compattatore {
namespace {

using nlohmann::json;
using testing::description_pair;

author_compile compile_pair(const description_pair& d) {
    author_sources s;
    s.line_text = d.line_text();
    s.train_text = d.train_text();
    s.line_name = "Linea";
    s.train_number = "99";
    return compile_author_sources(std::move(s));
}

const diagnostic_files plain_names{"L.txt", "T.txt"};

// The document as a program reads it back.
json reread(const author_compile& c, const diagnostic_files& names = plain_names,
            const std::vector<written_file>& files = {}) {
    return json::parse(json_document(compile_json(c, c.report.diagnostics, names, files)));
}

// A line record beyond the grid leaves 15 at its position; the train text is read all the same.
void beyond_the_grid(description_pair& d) {
    d.line_records.push_back("pendenza, 9901, 0");
}

struct position_case {
    const char* name;
    std::function<void(description_pair&)> change;
    int code;
    json error_position;
    // Each diagnostic's code and own position (null: it has none).
    std::vector<std::pair<int, json>> diagnostics;
};

const position_case position_cases[] = {
    {"clean", [](description_pair&) {}, 0, nullptr, {}},
    {"code with a position",
     [](description_pair& d) { beyond_the_grid(d); },
     15,
     9901,
     {{15, 9901}}},
    // 24 sets no position: the model keeps the 15's, while the 24 itself has none.
    {"24 after 15",
     [](description_pair& d) {
         beyond_the_grid(d);
         d.train_records = {"stazione, 0, 12, 200, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X"};
     },
     24,
     9901,
     {{15, 9901}, {24, nullptr}}},
    {"25 after 15",
     [](description_pair& d) {
         beyond_the_grid(d);
         d.train_records.push_back("velocita, 100,  x5");
     },
     25,
     9901,
     {{15, 9901}, {25, nullptr}}},
    {"24 alone keeps the untouched position",
     [](description_pair& d) {
         d.train_records = {"stazione, 0, 12, 200, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X"};
     },
     24,
     0,
     {{24, nullptr}}},
};

void PrintTo(const position_case& k, std::ostream* os) {
    *os << k.name;
}

class ErrorPosition : public ::testing::TestWithParam<position_case> {};

TEST_P(ErrorPosition, IsTheModelsAndEachDiagnosticKeepsItsOwn) {
    const position_case& k = GetParam();
    description_pair d;
    k.change(d);
    const author_compile c = compile_pair(d);
    const json j = reread(c);
    EXPECT_EQ(j["result_code"], k.code);
    EXPECT_EQ(j["error_position"], k.error_position);
    if (k.code != 0) {
        EXPECT_EQ(j["error_position"], c.model.error_position);
    }
    std::vector<std::pair<int, json>> got;
    for (const json& e : j["diagnostics"]) {
        if (e["severity"] == "error") got.emplace_back(e["code"], e.value("position", json()));
    }
    EXPECT_EQ(got, k.diagnostics);
}

INSTANTIATE_TEST_SUITE_P(Codes, ErrorPosition, ::testing::ValuesIn(position_cases),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             for (char& c : n) {
                                 if (c == ' ') c = '_';
                             }
                             return n;
                         });

TEST(JsonText, DescriptionBytesAreCodePage850AndComeOutAsUtf8) {
    description_pair d;
    d.line_records.push_back("pend\x85nza, 100, 2");  // à in code page 850
    d.train_records.push_back("vettura\x8a, 9");      // è
    const json j = reread(compile_pair(d));
    ASSERT_EQ(j["diagnostics"].size(), 2u);
    EXPECT_EQ(j["diagnostics"][0]["message"],
              "field \"pend\xc3\xa0nza\" matches no record and is dropped");
    EXPECT_EQ(j["diagnostics"][1]["message"],
              "field \"vettura\xc3\xa8\" matches no record and is dropped");
}

TEST(JsonText, PathsThatAreNotUtf8ShowReplacementsAndGiveTheirBytes) {
    description_pair d;
    d.line_records.push_back("pendnza, 100, 2");
    const author_compile c = compile_pair(d);
    const diagnostic_files names{"dir\xff/L.txt", "T.txt"};
    const std::vector<written_file> files{
        {"Citt\x85_linea.dat", "out/Citt\x85_linea.dat", 7},
        {"plain.sim", "out/plain.sim", 8},
    };
    const json j = reread(c, names, files);
    const json& e = j["diagnostics"][0];
    EXPECT_EQ(e["file"], "dir\xef\xbf\xbd/L.txt");
    EXPECT_EQ(e["file_bytes"], "646972ff2f4c2e747874");
    const json& f = j["files"][0];
    EXPECT_EQ(f["name"], "Citt\xef\xbf\xbd_linea.dat");
    EXPECT_EQ(f["name_bytes"], "43697474855f6c696e65612e646174");
    EXPECT_EQ(f["path"], "out/Citt\xef\xbf\xbd_linea.dat");
    EXPECT_EQ(f["path_bytes"], "6f75742f43697474855f6c696e65612e646174");
    EXPECT_EQ(f["size"], 7);
    // UTF-8 values stand alone.
    EXPECT_EQ(j["files"][1], (json{{"name", "plain.sim"}, {"path", "out/plain.sim"}, {"size", 8}}));
}

TEST(JsonText, ADocumentNeverFailsOnBytes) {
    const struct {
        std::string bytes;
        bool utf8;
    } cases[] = {
        {"plain", true},
        {"Citt\xc3\xa0", true},
        {"\xf0\x9f\x9a\x86", true},  // a train, outside the page but UTF-8
        {"Citt\x85", false},
        {"\xc3", false},          // cut sequence
        {"\xc0\xaf", false},      // overlong '/'
        {"\xed\xa0\x80", false},  // a surrogate
        {std::string("a\0b", 3), true},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(is_utf8(k.bytes), k.utf8) << hex_digits(k.bytes);
        nlohmann::ordered_json j;
        j["raw"] = k.bytes;  // even a value never passed through put_bytes
        put_bytes(j, "value", k.bytes);
        const json back = json::parse(json_document(j));
        EXPECT_EQ(back.contains("value_bytes"), !k.utf8) << hex_digits(k.bytes);
        if (k.utf8) {
            EXPECT_EQ(back["value"], k.bytes);
        } else {
            EXPECT_EQ(back["value_bytes"], hex_digits(k.bytes));
        }
    }
}

}  // namespace
}  // namespace compattatore
