#pragma once
// Reading position over a whole description text held in memory. Both description formats are
// read through it: the line description field by field, the train description item by item. It
// keeps the 1-based line and column where every field or item starts, so a problem can be shown
// at its place in the text.
//
// Line ends: CR LF, a lone LF and a lone CR each end a line (texts edited on other systems keep
// working). Blanks are spaces and tabs.
//
// End of the text: at_end() is true only when every byte has been consumed. A field or item
// consumes the comma or line end that closes it, so after the last field of the text and its line
// end are read, the text is at its end. In the line format a trailing empty line is therefore one
// more (empty) field; in the train format blanks and line ends never form an item, so they are
// skipped eagerly after every item and at the start, and trailing ones count as the end.
// A read that starts at the end of the text throws description_error (reading past the end).

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

namespace compattatore {

struct text_location {
    std::int32_t line = 0;    // 1-based
    std::int32_t column = 0;  // 1-based, in bytes
};

// A description that cannot be read: it ends inside a record, a value is not a number, or a value
// does not fit its field.
class description_error : public std::runtime_error {
  public:
    description_error(const char* what, text_location where)
        : std::runtime_error(what), where_(where) {}
    text_location where() const { return where_; }

  private:
    text_location where_;
};

class text_cursor {
  public:
    explicit text_cursor(std::string_view text) : text_(text) {}

    bool at_end() const { return pos_ == text_.size(); }
    text_location here() const {
        return {line_, static_cast<std::int32_t>(pos_ - line_start_ + 1)};
    }
    // Where the field or item read last starts.
    text_location last_start() const { return last_start_; }

    // Line format. A field runs from the first non-blank to the next comma or line end; the
    // comma or line end is consumed with it. An empty line is an empty field.
    std::string_view read_field();
    // Line format. The rest of the line after leading blanks, commas included.
    std::string_view read_line_text();

    // Train format. A text item runs to the next comma or line end, or, when it begins with a
    // double quote, to the closing quote (the quotes are not part of it; without a closing quote
    // it runs to the end of the text).
    std::string_view read_text_item();
    // Train format. A numeric item runs to the next comma, blank or line end; blanks after it
    // and then one comma or line end are consumed with it.
    std::string_view read_number_item();
    // Train format: skip the blanks and line ends in front of the next item.
    void skip_separators();
    // Moves to the start of the line after `line`, unless the cursor already stands past it: a
    // checker goes on at the next record after one it could not read.
    void skip_past_line(std::int32_t line);

  private:
    static bool is_blank(char c) { return c == ' ' || c == '\t'; }
    static bool is_line_end(char c) { return c == '\r' || c == '\n'; }

    void start_read();
    void skip_blanks();
    void consume_line_end();           // at a CR or LF
    void consume_comma_or_line_end();  // when one stands at the cursor

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t line_start_ = 0;
    std::int32_t line_ = 1;
    text_location last_start_{1, 1};
};

// A whole decimal number: optional leading '-', digits, then nothing but blanks. Throws
// description_error when the text is not one (an empty text is not a number), value_overflow when
// it does not fit 64 bits; the caller narrows it to its field.
std::int64_t parse_whole_number(std::string_view text, text_location where);

}  // namespace compattatore
