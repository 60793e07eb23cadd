#include "compiler/text_cursor.hpp"

#include <charconv>

#include "ground/rounding.hpp"

namespace compattatore {

void text_cursor::start_read() {
    if (at_end()) throw description_error("the description ends inside a record", here());
}

void text_cursor::skip_blanks() {
    while (pos_ < text_.size() && is_blank(text_[pos_])) ++pos_;
}

void text_cursor::consume_line_end() {
    if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
    ++line_;
    line_start_ = pos_;
}

void text_cursor::consume_comma_or_line_end() {
    if (pos_ >= text_.size()) return;
    if (text_[pos_] == ',') {
        ++pos_;
    } else if (is_line_end(text_[pos_])) {
        consume_line_end();
    }
}

std::string_view text_cursor::read_field() {
    start_read();
    skip_blanks();
    last_start_ = here();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != ',' && !is_line_end(text_[pos_])) ++pos_;
    const std::string_view field = text_.substr(start, pos_ - start);
    consume_comma_or_line_end();
    return field;
}

std::string_view text_cursor::read_line_text() {
    start_read();
    skip_blanks();
    last_start_ = here();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !is_line_end(text_[pos_])) ++pos_;
    const std::string_view field = text_.substr(start, pos_ - start);
    consume_comma_or_line_end();
    return field;
}

void text_cursor::skip_separators() {
    while (pos_ < text_.size()) {
        if (is_blank(text_[pos_])) {
            ++pos_;
        } else if (is_line_end(text_[pos_])) {
            consume_line_end();
        } else {
            break;
        }
    }
}

void text_cursor::skip_past_line(std::int32_t line) {
    while (pos_ < text_.size() && line_ <= line) {
        if (is_line_end(text_[pos_])) {
            consume_line_end();
        } else {
            ++pos_;
        }
    }
}

std::string_view text_cursor::read_text_item() {
    skip_separators();
    start_read();
    last_start_ = here();
    std::string_view item;
    if (text_[pos_] == '"') {
        const std::size_t start = ++pos_;
        // A quoted item may run over line ends; keep the line count right.
        while (pos_ < text_.size() && text_[pos_] != '"') {
            if (is_line_end(text_[pos_])) {
                consume_line_end();
            } else {
                ++pos_;
            }
        }
        item = text_.substr(start, pos_ - start);
        if (pos_ < text_.size()) ++pos_;  // the closing quote
        skip_blanks();
    } else {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != ',' && !is_line_end(text_[pos_])) ++pos_;
        item = text_.substr(start, pos_ - start);
    }
    consume_comma_or_line_end();
    skip_separators();
    return item;
}

std::string_view text_cursor::read_number_item() {
    skip_separators();
    start_read();
    last_start_ = here();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != ',' && !is_blank(text_[pos_]) &&
           !is_line_end(text_[pos_])) {
        ++pos_;
    }
    const std::string_view item = text_.substr(start, pos_ - start);
    skip_blanks();
    consume_comma_or_line_end();
    skip_separators();
    return item;
}

std::int64_t parse_whole_number(std::string_view text, text_location where) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    if (digits.empty() || digits.front() < '0' || digits.front() > '9') {
        throw description_error("a value is not a whole number", where);
    }
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) throw value_overflow("number too large");
    if (ec != std::errc{} || end != text.data() + text.size()) {
        throw description_error("a value is not a whole number", where);
    }
    return value;
}

}  // namespace compattatore
