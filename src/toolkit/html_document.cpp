#include "toolkit/html_document.hpp"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "ground/code_page_850.hpp"

namespace compattatore {

void html_document::end_start_tag() {
    if (in_start_tag_) out_ += '>';
    in_start_tag_ = false;
}

html_document& html_document::open(std::string_view name) {
    end_start_tag();
    out_.append("<").append(name);
    open_.emplace_back(name);
    in_start_tag_ = true;
    return *this;
}

html_document& html_document::empty(std::string_view name) {
    open(name);
    open_.pop_back();  // never closed
    return *this;
}

html_document& html_document::attr(std::string_view name, std::string_view value) {
    if (!in_start_tag_) throw std::logic_error("an attribute after an element's content");
    out_.append(" ").append(name).append("=\"").append(xml_escape(value)).append("\"");
    return *this;
}

html_document& html_document::text(std::string_view utf8) {
    end_start_tag();
    out_ += xml_escape(utf8);
    return *this;
}

html_document& html_document::close() {
    end_start_tag();
    if (open_.empty()) throw std::logic_error("closing an element that is not open");
    out_.append("</").append(open_.back()).append(">");
    open_.pop_back();
    return *this;
}

std::string script_safe_json(const nlohmann::json& data) {
    // Invalid UTF-8 in a name becomes U+FFFD instead of an exception.
    const std::string text = data.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        switch (c) {
            case '<':
                out += "\\u003c";
                break;
            case '>':
                out += "\\u003e";
                break;
            case '&':
                out += "\\u0026";
                break;
            default:
                out += c;
        }
    }
    return out;
}

html_document& html_document::json_script(std::string_view id, const nlohmann::json& data) {
    open("script").attr("type", "application/json").attr("id", id);
    end_start_tag();
    out_ += script_safe_json(data);
    return close();
}

namespace {

bool holds_end_tag(std::string_view content, std::string_view name) {
    std::string lower(content);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find("</" + std::string(name)) != std::string::npos;
}

}  // namespace

html_document& html_document::trusted_element(std::string_view name, std::string_view content) {
    if (holds_end_tag(content, name)) {
        throw std::logic_error("embedded text holds its own end tag </" + std::string(name));
    }
    open(name);
    end_start_tag();
    out_ += content;
    return close();
}

std::string html_document::finish() && {
    while (!open_.empty()) close();
    return "<!DOCTYPE html>\n" + std::move(out_) + "\n";
}

}  // namespace compattatore
