#include "toolkit/compile_names.hpp"

#include <optional>
#include <stdexcept>

#include "ground/code_page_850.hpp"
#include "ground/file_names.hpp"
#include "ground/scenario_names.hpp"
#include "toolkit/json_text.hpp"

namespace compattatore {

namespace {

// A name as typed, for a message that must stay one line: control characters as \xNN, and a
// very long name cut at a character boundary.
std::string typed(std::string_view utf8) {
    constexpr std::size_t shown = 60;
    std::string_view part = utf8;
    if (part.size() > shown) {
        std::size_t cut = shown;
        while (cut > 0 && (static_cast<unsigned char>(part[cut]) & 0xC0) == 0x80) --cut;
        part = part.substr(0, cut);
    }
    std::string out = "\"";
    for (const char ch : part) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c != 0x7F) {
            out += ch;
            continue;
        }
        out += "\\x" + hex_digits(std::string_view(&ch, 1));
    }
    if (part.size() == utf8.size()) return out + "\"";
    return out + "...\" (" + std::to_string(utf8.size()) + " bytes)";
}

// The name in code page 850, or nullopt with problem set.
std::optional<std::string> cp850_name(std::string_view option, std::string_view utf8,
                                      std::string& problem) {
    const std::string shown = std::string(option) + " " + typed(utf8);
    if (!is_utf8(utf8)) {
        problem = shown + " cannot name the files: it is not UTF-8";
        return std::nullopt;
    }
    std::string name;
    try {
        name = utf8_to_cp850(utf8);
    } catch (const std::invalid_argument&) {
        problem = shown + " cannot name the files: it holds a character code page 850 lacks";
        return std::nullopt;
    }
    if (const auto why = name_problem(name)) {
        problem = shown + " cannot name the files: " + *why;
        return std::nullopt;
    }
    return name;
}

}  // namespace

std::vector<std::string> output_names(const scenario_model& m) {
    std::vector<std::string> names;
    if (m.profile_option != 0) names.push_back(file_name::line_profile(m));
    names.push_back(file_name::station_table(m));
    names.push_back(file_name::route_grid(m));
    return names;
}

author_identity read_identity(std::string_view line_utf8, std::string_view train_utf8,
                              bool profile) {
    author_identity id;
    const auto line = cp850_name("--line", line_utf8, id.problem);
    if (!line) return id;
    const auto train = cp850_name("--train", train_utf8, id.problem);
    if (!train) return id;
    scenario_model m;
    m.line_name = *line;
    m.train_number = *train;
    m.profile_option = profile ? 1 : 0;
    if (const auto why = file_names_problem(output_names(m))) {
        id.problem = "--line and --train cannot name the files: " + *why;
        return id;
    }
    id.line_name = *line;
    id.train_number = *train;
    return id;
}

}  // namespace compattatore
