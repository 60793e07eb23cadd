#include "toolkit/lsp_protocol.hpp"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>

#include "ground/keyword_match.hpp"
#include "toolkit/lsp_text.hpp"

namespace compattatore::lsp {

namespace {

constexpr std::string_view length_name = "content-length:";

// The announced length, when the value is a plain decimal number that fits.
std::optional<std::size_t> parse_length(std::string_view value) {
    value = trim_blanks(value);
    if (value.empty() || !std::ranges::all_of(value, [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::size_t n = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec != std::errc{} || end != value.data() + value.size()) return std::nullopt;
    return n;
}

bool looks_like_header(std::string_view line) {
    const std::size_t colon = line.find(':');
    return colon != std::string_view::npos && colon > 0 &&
           line.substr(0, colon).find_first_of(" \t{}\"") == std::string_view::npos;
}

}  // namespace

bool message_reader::read_header_line(std::string& line, bool& overlong) {
    line.clear();
    overlong = false;
    for (;;) {
        const int c = in_.get();
        if (c == std::char_traits<char>::eof()) return false;
        if (c == '\n') break;
        if (line.size() < limits_.header_line) {
            line.push_back(static_cast<char>(c));
        } else {
            overlong = true;  // the rest of the line is dropped unread into memory
        }
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

read_result message_reader::next() {
    std::optional<std::size_t> length;
    std::string problem;
    bool any_line = false;
    std::string line;
    for (;;) {
        bool overlong = false;
        if (!read_header_line(line, overlong)) return {};
        if (line.empty()) {
            if (!any_line) continue;  // a stray blank line between messages
            break;
        }
        any_line = true;
        if (overlong) {
            problem = "a header line longer than " + std::to_string(limits_.header_line) + " bytes";
            continue;
        }
        // A header glued to the bytes of a broken message still starts the next one.
        const std::size_t at = folded(line).find(length_name);
        if (at == std::string::npos) {
            if (!looks_like_header(line)) problem = "a header line that is not 'Name: value'";
            continue;
        }
        if (at > 0) problem = "bytes before a Content-Length header";
        length = parse_length(std::string_view(line).substr(at + length_name.size()));
        if (!length) problem = "a Content-Length that is not a number";
    }
    if (!length) {
        return {read_status::malformed, "",
                problem.empty() ? "a header block without Content-Length" : problem};
    }
    if (*length > limits_.body) {
        in_.ignore(static_cast<std::streamsize>(*length));
        return {read_status::too_large, "",
                "a message of " + std::to_string(*length) + " bytes, over the limit of " +
                    std::to_string(limits_.body)};
    }
    read_result r{read_status::message, std::string(*length, '\0'), problem};
    in_.read(r.body.data(), static_cast<std::streamsize>(*length));
    if (static_cast<std::size_t>(in_.gcount()) != *length) return {};
    return r;
}

void write_message(std::ostream& out, const nlohmann::json& message) {
    // Invalid UTF-8 in a text is replaced, not thrown: a reply always goes out.
    const std::string body = message.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    out << "Content-Length: " << body.size() << "\r\n\r\n" << body;
    out.flush();
}

nlohmann::json response(const nlohmann::json& id, nlohmann::json result) {
    return {{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}};
}

nlohmann::json error_response(const nlohmann::json& id, int code, const std::string& message) {
    return {{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}};
}

nlohmann::json notification(const std::string& method, nlohmann::json params) {
    return {{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
}

}  // namespace compattatore::lsp
