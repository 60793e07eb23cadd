#pragma once
// Text as the editor and as the compiler see it. The editor sends UTF-8 and counts columns in
// UTF-16 code units (or UTF-8 bytes when both sides agree); the compiler reads code page 850,
// one byte per character, and counts columns in bytes. Lines end as the readers end them: CR LF,
// a lone LF or a lone CR.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace compattatore::lsp {

enum class position_encoding { utf16, utf8 };

// Views the text it was made from, which must outlive it.
class line_index {
  public:
    explicit line_index(std::string_view utf8);
    std::size_t count() const { return starts_.size(); }
    // Line i (0-based) without its line end; empty past the last line.
    std::string_view line(std::size_t i) const;
    // Characters (code points) from the line's start to an editor column, and back. Both clamp
    // to the line's end.
    std::size_t characters(std::size_t line, std::size_t column, position_encoding e) const;
    std::size_t column(std::size_t line, std::size_t characters, position_encoding e) const;
    // Code units of the line in the encoding: the column just past its end.
    std::size_t end_column(std::size_t line, position_encoding e) const;

  private:
    std::string_view text_;
    std::vector<std::size_t> starts_;
    std::vector<std::size_t> ends_;  // before the line end
};

// The text without the blanks and tabs around it.
inline std::string_view trim_blanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// The text in code page 850, one byte per character; a character the page lacks becomes '?' so
// the columns still match the editor's characters.
std::string to_code_page(std::string_view utf8);

// file: URIs and paths. nullopt for any other scheme.
std::optional<std::filesystem::path> uri_path(std::string_view uri);
std::string path_uri(const std::filesystem::path& path);

}  // namespace compattatore::lsp
