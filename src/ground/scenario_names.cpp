#include "ground/scenario_names.hpp"

#include "ground/code_page_850.hpp"

namespace compattatore {

namespace {

bool is_control(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// A name as messages show it: in UTF-8, and a very long one cut (its length is the point).
std::string in_quotes(std::string_view cp850) {
    constexpr std::size_t shown = 60;
    std::string out(1, '"');
    out += cp850_to_utf8(cp850.substr(0, shown));
    if (cp850.size() <= shown) return out + '"';
    return out + "...\" (" + std::to_string(cp850.size()) + " bytes)";
}

std::string folded(std::string_view name) {
    std::string out(name);
    for (char& c : out) c = static_cast<char>(cp850_lower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

std::optional<std::string> name_problem(std::string_view name) {
    if (name.empty()) return "it is empty";
    if (name == "." || name == "..") return "it is \".\" or \"..\"";
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '/' || c == '\\') return "it holds a path separator ('/' or '\\')";
        if (is_control(c)) return "it holds a control character";
        if (std::string_view("<>:\"|?*").find(ch) != std::string_view::npos) {
            return "it holds a character Windows refuses in file names (< > : \" | ? *)";
        }
    }
    return std::nullopt;
}

std::optional<std::string> file_names_problem(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        if (name.size() > longest_file_name) {
            return "the file name " + in_quotes(name) + " is longer than " +
                   std::to_string(longest_file_name) + " bytes";
        }
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        for (std::size_t k = i + 1; k < names.size(); ++k) {
            if (names[i] == names[k])
                return "two outputs would both be named " + in_quotes(names[i]);
            if (folded(names[i]) == folded(names[k])) {
                return "the outputs " + in_quotes(names[i]) + " and " + in_quotes(names[k]) +
                       " would be one file where case is ignored (Windows)";
            }
        }
    }
    return std::nullopt;
}

}  // namespace compattatore
