#include "ground/record_schema.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace compattatore {
namespace {

using lk = description_kind;

// Every keyword the readers look for has its one record in the table.
TEST(RecordSchema, EveryKeywordHasOneRecord) {
    auto count_of = [](const record_keyword& k) {
        int n = 0;
        for (const record_schema& r : all_records()) {
            n += std::string_view(r.keyword->written) == k.written ? 1 : 0;
        }
        return n;
    };
    for (const record_keyword& k : line_keyword::all) EXPECT_EQ(count_of(k), 1) << k.written;
    for (const record_keyword& k : train_keyword::all) EXPECT_EQ(count_of(k), 1) << k.written;
    EXPECT_EQ(all_records().size(), std::size(line_keyword::all) + std::size(train_keyword::all));
}

struct named_case {
    lk file;
    std::string_view field;
    bool general;
    std::vector<std::string_view> records;
};

TEST(RecordSchema, RecordsNamedUseTheReadersSubstringRule) {
    const named_case cases[] = {
        {lk::train, "stazione", false, {"station"}},
        {lk::train, "  STAZIONE centrale", false, {"station"}},
        {lk::train, "[stazioni]", false, {}},
        {lk::train, "stazine", false, {}},
        {lk::train, "segnale rallentamento", false, {"signal", "slowdown"}},
        {lk::train, "massa frenata", false, {"braked mass"}},
        {lk::line, "progressiva chilometrica tre", true, {"kilometre progressive three"}},
        {lk::line, "progressiva chilometrica TRE", true, {}},  // the number words are exact case
        {lk::line, "Lunghezza Percorso", true, {"line length"}},
        {lk::line, "pendenza", true, {}},  // record keywords mean nothing in the general section
        {lk::line, "pendenza", false, {"gradient"}},
        {lk::line, "[pendenze]", false, {}},
        {lk::line, "indicatori_vmax", false, {"speed board"}},
        {lk::line, "cartello_indicatore", false, {"direction board"}},
        {lk::line, "curvas3", false, {"curve"}},
    };
    for (const named_case& c : cases) {
        std::vector<std::string_view> got;
        for (const record_schema* r : records_named(c.file, c.field, c.general)) {
            got.push_back(r->name);
        }
        EXPECT_EQ(got, c.records) << c.field;
    }
}

// The value counts the readers take after each keyword.
TEST(RecordSchema, ValueCountsAreTheReaders) {
    const std::pair<std::string_view, std::size_t> counts[] = {
        {"line length", 1},
        {"kilometre progressive one", 3},
        {"signal repetition", 2},
        {"gradient", 2},
        {"curve", 2},
        {"mountain", 3},
        {"speed board", 9},
        {"direction board", 2},
        {"clock", 3},
        {"speed limit", 2},
        {"adhesion", 2},
        {"signal", 11},
        {"slowdown", 6},
        {"code point", 2},
        {"station", 17},
    };
    for (const auto& [name, n] : counts) {
        const auto it = std::ranges::find(all_records(), name, &record_schema::name);
        ASSERT_NE(it, all_records().end()) << name;
        EXPECT_EQ(it->fields.size(), n) << name;
        EXPECT_EQ(field_of(*it, n), nullptr);
        EXPECT_NE(field_of(*it, n - 1), nullptr);
    }
}

struct column_case {
    lk file;
    std::string_view line;
    std::string_view under;                 // the text the column points into, found in line
    std::optional<std::string_view> field;  // nullopt: no field; "keyword": the keyword
    std::string_view extent;                // what the field covers
};

TEST(RecordSchema, FieldUnderColumn) {
    const std::string_view station =
        "stazione,   90800,  4,  600,  1, 0, 0,  4,1,0,  2,1,1,   80,  12,46, 0, ALESSANDRIA";
    const std::string_view clock = "orologio,    11              49            0 ";
    const std::string_view board = "cartello_indicatore,  13700,   (Bivio     )(per Savona)";
    const column_case cases[] = {
        {lk::train, station, "stazione", "keyword", "stazione"},
        {lk::train, station, "600", "length", "600"},
        {lk::train, station, "4,1,0", "group a1", "4"},
        {lk::train, station, "46", "minute", "46"},
        {lk::train, station, "ALESSANDRIA", "name", "ALESSANDRIA"},
        {lk::train, clock, "49", "minutes", "49"},
        {lk::train, "velocita,    1150,   110", "110", "speed", "110"},
        {lk::train, "stazine,   90800", "90800", std::nullopt, ""},
        {lk::line, board, "per Savona", "text", "(Bivio     )(per Savona)"},
        {lk::line, "pendenza,  34500,   -10", "-10", "gradient", "-10"},
        {lk::line, "indicatori_vmax,  1200,  100,  110", "110", "vbs", "110"},
    };
    for (const column_case& c : cases) {
        const auto at = c.line.find(c.under);
        ASSERT_NE(at, std::string_view::npos);
        const auto got = field_under_column(c.file, c.line, static_cast<std::int32_t>(at + 1));
        if (!c.field.has_value()) {
            EXPECT_FALSE(got.has_value()) << c.line;
            continue;
        }
        ASSERT_TRUE(got.has_value()) << c.line << " at " << c.under;
        const std::string_view name =
            got->value ? got->record->fields[*got->value].name : std::string_view("keyword");
        EXPECT_EQ(name, *c.field) << c.line;
        EXPECT_EQ(c.line.substr(static_cast<std::size_t>(got->column - 1),
                                static_cast<std::size_t>(got->length)),
                  c.extent)
            << c.line;
    }
    EXPECT_FALSE(field_under_column(lk::train, "velocita,    1150,   110", 200).has_value());
}

// Every plausible range lies inside what its field can hold.
TEST(RecordSchema, PlausibleWithinAllowed) {
    for (const record_schema& r : all_records()) {
        for (const field_schema& f : r.fields) {
            if (f.kind == value_kind::wraps) continue;  // a wrapped value is worth a warning too
            EXPECT_GE(f.plausible.min, f.allowed.min) << r.name << " " << f.name;
            EXPECT_LE(f.plausible.max, f.allowed.max) << r.name << " " << f.name;
        }
    }
}

TEST(FormatDocument, CommittedFileIsTheGeneratedOne) {
    const std::string path = std::string(COMPATTATORE_SOURCE_DIR) + "/docs/format.md";
    const std::string generated = format_document();
    if (std::getenv("COMPATTATORE_REGENERATE_DOCS") != nullptr) {
        std::ofstream(path, std::ios::binary) << generated;
    }
    std::ifstream in(path, std::ios::binary);
    std::stringstream committed;
    committed << in.rdbuf();
    EXPECT_EQ(committed.str(), generated) << "regenerate docs/format.md as its header says";
}

}  // namespace
}  // namespace compattatore
