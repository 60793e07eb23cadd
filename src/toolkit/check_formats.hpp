#pragma once
// check's machine-readable reports: its own JSON, and SARIF 2.1.0 for CI systems and
// code-scanning views.

#include <nlohmann/json.hpp>
#include <string>

#include "toolkit/check_author.hpp"
#include "toolkit/compile_diagnostics.hpp"

namespace compattatore {

// The version of check --json's layout: raised whenever a member changes meaning or goes away.
inline constexpr int check_json_schema = 1;

struct check_subject {
    diagnostic_files files;  // the paths as given
    input_encoding encoding = input_encoding::cp850;
};

// schema, files, encoding, result_code, errors, warnings, kinds (counts by kind) and every
// diagnostic as compile --json gives it.
nlohmann::ordered_json check_json(const author_check& k, const check_subject& subject);

// One run: the tool with a rule for each kind of problem found, a result for each diagnostic with
// its region (columns count characters: one byte is one character in code page 850) and the notes
// as related locations.
nlohmann::ordered_json check_sarif(const author_check& k, const check_subject& subject);

// A path as a URI reference: relative paths stay relative, absolute ones become file: URIs, and
// every byte but the unreserved ones and '/' is percent-encoded.
std::string path_uri(const std::string& path);

}  // namespace compattatore
