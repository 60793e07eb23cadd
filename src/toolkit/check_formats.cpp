#include "toolkit/check_formats.hpp"

#include <algorithm>

#include "ground/code_page_850.hpp"
#include "ground/result_codes.hpp"
#include "toolkit/author_report.hpp"
#include "toolkit/compile_json.hpp"
#include "toolkit/json_text.hpp"

namespace compattatore {

namespace {

using json = nlohmann::ordered_json;

const char* encoding_name(input_encoding e) {
    return e == input_encoding::utf8 ? "utf-8" : "cp850";
}

// A rule's description: the result code's meaning, or for a warning its first message.
std::string rule_text(const diagnostic& d) {
    if (d.level == severity::error) {
        const result_code_info* info = find_result_code(d.code);
        if (info != nullptr) return std::string(info->meaning);
    }
    return cp850_to_utf8(diagnostic_text(d));
}

json rules_of(const std::vector<diagnostic>& all, std::vector<std::string>& ids) {
    json rules = json::array();
    for (const diagnostic& d : all) {
        const std::string id = diagnostic_kind(d);
        if (std::ranges::find(ids, id) != ids.end()) continue;
        ids.push_back(id);
        json rule;
        rule["id"] = id;
        rule["shortDescription"] = {{"text", rule_text(d)}};
        rule["defaultConfiguration"] = {
            {"level", d.level == severity::error ? "error" : "warning"}};
        if (d.code != 0)
            rule["properties"] = {{"resultCode", std::string("R").append(std::to_string(d.code))}};
        rules.push_back(std::move(rule));
    }
    return rules;
}

json physical_location(const source_location& where, std::int32_t length,
                       const diagnostic_files& names) {
    json physical;
    physical["artifactLocation"] = {{"uri", path_uri(names.of(where.file))}};
    if (where.line > 0) {
        json region;
        region["startLine"] = where.line;
        region["startColumn"] = std::max(where.column, 1);
        if (length > 0) region["endColumn"] = std::max(where.column, 1) + length;
        physical["region"] = std::move(region);
    }
    return physical;
}

json result_of(const diagnostic& d, const std::vector<std::string>& ids,
               const diagnostic_files& names, const station_table_t& table) {
    json r;
    const std::string id = diagnostic_kind(d);
    r["ruleId"] = id;
    r["ruleIndex"] = std::ranges::find(ids, id) - ids.begin();
    r["level"] = d.level == severity::error ? "error" : "warning";
    std::string text = diagnostic_statement(d, table);
    if (!d.help.empty()) text.append("; help: ").append(cp850_to_utf8(d.help));
    r["message"] = {{"text", text}};
    r["locations"] =
        json::array({{{"physicalLocation", physical_location(d.where, d.length, names)}}});
    if (!d.notes.empty()) {
        json related = json::array();
        for (std::size_t i = 0; i < d.notes.size(); ++i) {
            const diagnostic_note& n = d.notes[i];
            related.push_back({{"id", i},
                               {"physicalLocation", physical_location(n.where, n.length, names)},
                               {"message", {{"text", cp850_to_utf8(n.message)}}}});
        }
        r["relatedLocations"] = std::move(related);
    }
    return r;
}

}  // namespace

std::string path_uri(const std::string& path) {
    constexpr std::string_view unreserved = "-._~/";
    std::string out = path.starts_with('/') ? "file://" : "";
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || unreserved.find(ch) != std::string_view::npos;
        if (plain) {
            out += ch;
        } else {
            out += '%';
            out += hex_digits(std::string_view(&ch, 1));
        }
    }
    return out;
}

json check_json(const author_check& k, const check_subject& subject) {
    const scenario_model& m = k.compile.model;
    json j;
    j["schema"] = check_json_schema;
    put_bytes(j, "line_file", subject.files.line);
    put_bytes(j, "train_file", subject.files.train);
    j["encoding"] = encoding_name(subject.encoding);
    const std::int32_t code =
        k.compile.closing_code != result::none ? k.compile.closing_code : m.result_code;
    j["result_code"] = code;
    j["errors"] = k.count(severity::error);
    j["warnings"] = k.count(severity::warning);
    json kinds = json::object();
    for (const auto& [kind, n] : kind_counts(k.diagnostics)) kinds[kind] = n;
    j["kinds"] = std::move(kinds);
    json diagnostics = json::array();
    for (const diagnostic& d : k.diagnostics) {
        diagnostics.push_back(diagnostic_json(d, subject.files, m.station_table));
    }
    j["diagnostics"] = std::move(diagnostics);
    return j;
}

json check_sarif(const author_check& k, const check_subject& subject) {
    std::vector<std::string> ids;
    json driver;
    driver["name"] = "compattatore";
    driver["rules"] = rules_of(k.diagnostics, ids);
    json results = json::array();
    for (const diagnostic& d : k.diagnostics) {
        results.push_back(result_of(d, ids, subject.files, k.compile.model.station_table));
    }
    json run;
    run["tool"] = {{"driver", std::move(driver)}};
    run["columnKind"] = "unicodeCodePoints";
    run["defaultEncoding"] = subject.encoding == input_encoding::utf8 ? "utf-8" : "ibm850";
    run["results"] = std::move(results);
    json j;
    j["$schema"] = "https://json.schemastore.org/sarif-2.1.0.json";
    j["version"] = "2.1.0";
    j["runs"] = json::array({std::move(run)});
    return j;
}

}  // namespace compattatore
