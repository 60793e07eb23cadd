// docs/format.md, written from the record table so the document cannot drift from the readers.

#include <string>

#include "ground/diagnostic_kinds.hpp"
#include "ground/record_schema.hpp"

namespace compattatore {

namespace {

std::string range_text(value_range r) {
    return std::to_string(r.min) + " to " + std::to_string(r.max);
}

std::string cell(std::string_view s) {
    return s.empty() ? std::string("-") : std::string(s);
}

std::string allowed_text(const field_schema& f) {
    if (f.kind == value_kind::text) return "up to " + std::to_string(f.allowed.max) + " bytes";
    std::string s = range_text(f.allowed);
    if (f.kind == value_kind::wraps) s += ", low bits kept beyond";
    if (f.multiple_of != 0) s += "; a multiple of " + std::to_string(f.multiple_of);
    return s;
}

std::string plausible_text(const field_schema& f) {
    return f.kind == value_kind::text ? std::string("-") : range_text(f.plausible);
}

const char* const introduction =
    "# Description formats\n\n"
    "Generated from the record table in `src/ground/record_schema.cpp`; do not edit by hand.\n"
    "Regenerate with `COMPATTATORE_REGENERATE_DOCS=1 build/default/tests/test_ground\n"
    "--gtest_filter='FormatDocument.*'`; the test fails while this file differs from the table.\n\n"
    "## Both texts\n\n"
    "- Code page 850, one byte a character; lines end in CR LF, LF or CR. A text that is UTF-8\n"
    "  shows other characters in the simulator (`check --input-encoding utf-8` converts it).\n"
    "- A record is a keyword followed by its values, separated by commas. Everything before the\n"
    "  first field holding `[generale]` is passed over.\n"
    "- A keyword field names a record when it contains the record's words (case ignored unless\n"
    "  said); a field that names nothing is dropped with the rest of its line.\n"
    "- A keyword field holding a hyphen is passed over, up to 2 in a row (10 in the line\n"
    "  description's general section): lines of dashes may separate records.\n"
    "- Numbers are whole decimal numbers with an optional leading minus.\n"
    "- The last field of a text is never read: end each text with `[fine]`.\n\n"
    "## Line description (`<line>_linea.txt`)\n\n"
    "Values are split at commas only. The general section ends at the first bracketed field\n"
    "that does not begin with a hyphen; its records are read only there, the others only after "
    "it.\n\n";

const char* const train_introduction =
    "## Train description (`<line>_<train>-.txt`)\n\n"
    "Values are split at commas; numbers also at blanks (so `orologio, 11 49 0` reads three\n"
    "values, and `90 800` reads two). A name in double quotes may hold commas. Records may stand "
    "in any order after `[generale]`; profiles and placements go in file order.\n\n";

void add_record(std::string& out, const record_schema& r) {
    out += "### " + std::string(r.name) + ": `" + r.keyword->written + "`\n\n";
    std::string meaning(r.meaning);
    if (!meaning.empty() && meaning[0] >= 'a' && meaning[0] <= 'z') meaning[0] -= 32;
    out += meaning + ". Written under `" + std::string(r.section) + "`. ";
    out += "Recognised by the words `" + std::string(r.keyword->words[0]) + "`";
    if (!r.keyword->words[1].empty()) out += " and `" + std::string(r.keyword->words[1]) + "`";
    out += r.keyword->any_case ? " in any case.\n\n" : ", exact case.\n\n";
    out += "| # | field | unit | allowed | plausible | meaning |\n";
    out += "|---|---|---|---|---|---|\n";
    for (std::size_t i = 0; i < r.fields.size(); ++i) {
        const field_schema& f = r.fields[i];
        out += "| " + std::to_string(i + 1) + " | " + std::string(f.name) + " | " + cell(f.unit) +
               " | " + allowed_text(f) + " | " + plausible_text(f) + " | " +
               std::string(f.meaning) + " |\n";
    }
    out += "\n";
}

void add_kinds(std::string& out) {
    out += "## Problem kinds reported by `check`\n\n";
    out += "| kind | meaning |\n|---|---|\n";
    for (const diagnostic_kind_info& k : diagnostic_kinds) {
        out += "| `" + std::string(k.name) + "` | " + std::string(k.meaning) + " |\n";
    }
}

}  // namespace

std::string format_document() {
    std::string out = introduction;
    bool train_started = false;
    for (const record_schema& r : all_records()) {
        if (r.file == description_kind::train && !train_started) {
            out += train_introduction;
            train_started = true;
        }
        add_record(out, r);
    }
    out +=
        "Positions are route metres; the grid has one cell every 50 m and a position goes to\n"
        "the nearest cell, a half to the even one. Values beyond the plausible range are\n"
        "accepted and warned about.\n\n";
    add_kinds(out);
    return out;
}

}  // namespace compattatore
