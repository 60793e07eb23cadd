#include "toolkit/svg_document.hpp"

#include <algorithm>

#include "ground/code_page_850.hpp"
#include "toolkit/plot_palette.hpp"
#include "toolkit/printf_text.hpp"

namespace compattatore {

std::string svg_number(double v) {
    return printf_text("%.1f", v);
}

namespace {

std::string_view cut_label(std::string_view utf8) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const bool starts_character = (static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80;
        if (starts_character && ++characters == max_label_characters) {
            const std::string_view rest = utf8.substr(i + 1);
            const bool more = std::any_of(rest.begin(), rest.end(), [](char c) {
                return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
            });
            return more ? utf8.substr(0, i) : utf8;
        }
    }
    return utf8;
}

}  // namespace

svg_element::svg_element(std::string_view name) : name_(name), start_("<" + name_) {}

svg_element& svg_element::attr(std::string_view name, std::string_view value) {
    start_.append(" ").append(name).append("=\"").append(xml_escape(value)).append("\"");
    return *this;
}

svg_element& svg_element::attr(std::string_view name, double value) {
    return attr(name, svg_number(value));
}

svg_element& svg_element::text(std::string_view utf8) {
    const std::string_view kept = cut_label(utf8);
    content_ = xml_escape(kept);
    if (kept.size() < utf8.size()) content_->append("\xE2\x80\xA6");  // an ellipsis
    return *this;
}

std::string drawable_text(file_text t) {
    // Every code page byte is one character.
    return cp850_to_utf8(t.cp850.substr(0, max_label_characters + 1));
}

svg_element& svg_element::text(file_text t) {
    return text(drawable_text(t));
}

svg_element svg_line(double x1, double y1, double x2, double y2) {
    svg_element e("line");
    e.attr("x1", x1).attr("y1", y1).attr("x2", x2).attr("y2", y2);
    return e;
}

svg_element svg_rect(double x, double y, double width, double height) {
    svg_element e("rect");
    e.attr("x", x).attr("y", y).attr("width", std::max(width, 0.5)).attr("height", height);
    return e;
}

svg_element svg_circle(double cx, double cy, double r) {
    svg_element e("circle");
    e.attr("cx", cx).attr("cy", cy).attr("r", r);
    return e;
}

svg_element svg_text(double x, double y) {
    svg_element e("text");
    e.attr("x", x).attr("y", y);
    return e;
}

void path_data::command(char c, double x, double y) {
    if (!d_.empty()) d_ += ' ';
    d_.append(1, c).append(svg_number(x)).append(" ").append(svg_number(y));
}

path_data& path_data::move_to(double x, double y) {
    command('M', x, y);
    return *this;
}

path_data& path_data::line_to(double x, double y) {
    command('L', x, y);
    return *this;
}

path_data& path_data::relative(std::string_view commands) {
    d_.append(" ").append(commands);
    return *this;
}

path_data& path_data::close() {
    d_ += " Z";
    return *this;
}

svg_element svg_path(const path_data& d) {
    svg_element e("path");
    e.attr("d", d.str());
    return e;
}

svg_document::svg_document(double width, double height) {
    svg_element root("svg");
    root.attr("xmlns", "http://www.w3.org/2000/svg")
        .attr("width", width)
        .attr("height", height)
        .attr("viewBox", "0 0 " + svg_number(width) + " " + svg_number(height))
        .attr("font-family", "DejaVu Sans, Arial, sans-serif");
    out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + root.start_ + ">\n";
    svg_element page("rect");
    page.attr("x", "0").attr("y", "0").attr("width", width).attr("height", height);
    add(page.attr("fill", colour(ink::paper)));
}

svg_document& svg_document::add(const svg_element& e) {
    out_ += e.start_;
    if (e.content_) {
        out_.append(">").append(*e.content_).append("</").append(e.name_).append(">");
    } else {
        out_ += "/>";
    }
    out_ += '\n';
    return *this;
}

std::string svg_document::finish() && {
    return std::move(out_) + "</svg>\n";
}

}  // namespace compattatore
