#include "toolkit/inspect_json_writer.hpp"

#include <stdexcept>

namespace compattatore::inspect {

namespace {

constexpr int indent_step = 2;

// v as dump(2) writes it nested depth levels deep: its inner lines indented by the depth.
std::string nested_dump(const json_writer::json& v, std::size_t depth) {
    // Bytes that are not UTF-8 come out as U+FFFD instead of failing, as in every JSON we print.
    const std::string flat =
        v.dump(indent_step, ' ', false, json_writer::json::error_handler_t::replace);
    if (depth == 0 || flat.find('\n') == std::string::npos) return flat;
    const std::string indent(depth * indent_step, ' ');
    std::string out;
    out.reserve(flat.size());
    // Strings are written with their line ends escaped, so every raw line end is the layout's.
    for (const char c : flat) {
        out += c;
        if (c == '\n') out += indent;
    }
    return out;
}

}  // namespace

void json_writer::new_line_in(level& l) {
    out_ << (l.empty ? "\n" : ",\n") << std::string(open_.size() * indent_step, ' ');
    l.empty = false;
}

void json_writer::start_value() {
    if (after_key_) {
        after_key_ = false;
        return;
    }
    if (open_.empty()) return;
    if (open_.back().object) throw std::logic_error("a JSON member without its name");
    new_line_in(open_.back());
}

void json_writer::open(char bracket, bool object) {
    start_value();
    out_ << bracket;
    open_.push_back({object});
}

void json_writer::close() {
    if (open_.empty() || after_key_) throw std::logic_error("nothing open to close in the JSON");
    const level l = open_.back();
    open_.pop_back();
    if (!l.empty) out_ << '\n' << std::string(open_.size() * indent_step, ' ');
    out_ << (l.object ? '}' : ']');
}

void json_writer::key(std::string_view name) {
    if (open_.empty() || !open_.back().object || after_key_) {
        throw std::logic_error("a JSON member name outside an object");
    }
    new_line_in(open_.back());
    out_ << json(name).dump() << ": ";
    after_key_ = true;
}

void json_writer::value(const json& v) {
    start_value();
    out_ << nested_dump(v, open_.size());
}

}  // namespace compattatore::inspect
