#pragma once
// Records are recognised by substring tests on their keyword, some exact, most ignoring case.
// Case is folded for ASCII letters only: the keywords are plain ASCII. The readers, the checker
// and the editor support all recognise a record through these tests.

#include <algorithm>
#include <string>
#include <string_view>

#include "ground/record_keywords.hpp"

namespace compattatore {

inline bool contains(std::string_view text, std::string_view word) {
    return text.find(word) != std::string_view::npos;
}

inline char fold_case(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// The text with its ASCII letters in lower case.
inline std::string folded(std::string_view text) {
    std::string out(text);
    std::ranges::transform(out, out.begin(), fold_case);
    return out;
}

// word must be lower case.
inline bool contains_any_case(std::string_view text, std::string_view word) {
    const auto it = std::search(text.begin(), text.end(), word.begin(), word.end(),
                                [](char a, char b) { return fold_case(a) == b; });
    return it != text.end() || word.empty();
}

// Whether the keyword field names the record.
inline bool names(const record_keyword& k, std::string_view field) {
    return std::ranges::all_of(k.words, [&](std::string_view w) {
        return k.any_case ? contains_any_case(field, w) : contains(field, w);
    });
}

}  // namespace compattatore
