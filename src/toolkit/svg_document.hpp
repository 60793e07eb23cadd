#pragma once
// SVG markup built element by element. Every attribute value and every text goes through
// xml_escape here, so no drawing code can forget it; names and board texts from the simulator's
// files are code page 850 and become UTF-8 first.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace compattatore {

// A name or board text as the simulator's files carry it.
struct file_text {
    std::string_view cp850;
};

// Longest text drawn, in characters: a longer one keeps its first 79 and ends in an ellipsis, so
// the names of a file can make a picture no larger than this for each label.
inline constexpr std::size_t max_label_characters = 80;

// A file's text in UTF-8 as far as a label can show it: one character past the cap, so a text
// that is cut still shows it. Converting no more keeps a long name repeated on many labels cheap.
std::string drawable_text(file_text t);

// Coordinates and sizes are written with one decimal: "12.0".
std::string svg_number(double v);

class svg_element {
  public:
    explicit svg_element(std::string_view name);
    svg_element& attr(std::string_view name, std::string_view value);
    svg_element& attr(std::string_view name, double value);  // as svg_number
    // The element's character data (UTF-8, or a file's text), cut to max_label_characters;
    // without it the element is empty.
    svg_element& text(std::string_view utf8);
    svg_element& text(file_text t);

  private:
    friend class svg_document;
    std::string name_;
    std::string start_;  // "<name" and the attributes
    std::optional<std::string> content_;
};

svg_element svg_line(double x1, double y1, double x2, double y2);
svg_element svg_rect(double x, double y, double width, double height);  // at least 0.5 wide
svg_element svg_circle(double cx, double cy, double r);
svg_element svg_text(double x, double y);

// Path data: absolute moves and lines, relative pieces as written.
class path_data {
  public:
    path_data& move_to(double x, double y);
    path_data& line_to(double x, double y);
    path_data& relative(std::string_view commands);  // e.g. "l-5 10 h10"
    path_data& close();
    const std::string& str() const { return d_; }

  private:
    void command(char c, double x, double y);
    std::string d_;
};
svg_element svg_path(const path_data& d);

// A whole picture: declaration, the root with its size and font, a white page under the rest.
class svg_document {
  public:
    svg_document(double width, double height);
    svg_document& add(const svg_element& e);
    std::string finish() &&;

  private:
    std::string out_;
};

}  // namespace compattatore
