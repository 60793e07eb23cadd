#pragma once
// HTML markup built element by element, as svg_document builds SVG: every attribute value and
// every text is escaped here. A page's script and style are the program's own files, taken as
// they are; data goes in as JSON inside a script element, written so that nothing in it can end
// that element early.

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace compattatore {

class html_document {
  public:
    // Opens an element; attributes follow with attr until the next call that writes content.
    html_document& open(std::string_view name);
    html_document& attr(std::string_view name, std::string_view value);
    html_document& text(std::string_view utf8);
    html_document& close();
    // An element with no content and no closing tag (meta, input, br).
    html_document& empty(std::string_view name);

    // <script type="application/json" id="..."> with the JSON text; every '<', '>' and '&' is
    // written as a \u escape, which JSON reads back as the same character.
    html_document& json_script(std::string_view id, const nlohmann::json& data);
    // <script> or <style> holding the program's own text. Throws std::logic_error when the text
    // holds its element's end tag, which would cut it short.
    html_document& trusted_element(std::string_view name, std::string_view content);

    std::string finish() &&;

  private:
    void end_start_tag();
    std::string out_;
    std::vector<std::string> open_;
    bool in_start_tag_ = false;
};

// JSON text safe inside a script element (see json_script).
std::string script_safe_json(const nlohmann::json& data);

}  // namespace compattatore
