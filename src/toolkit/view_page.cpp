#include "toolkit/view_page.hpp"

#include <view_assets.hpp>

#include "toolkit/html_document.hpp"

namespace compattatore {

namespace {

using json = nlohmann::json;

std::string page_title(const json& header) {
    const std::string line = header.value("line", "");
    const std::string train = header.value("train", "");
    if (line.empty()) return "Route viewer";
    return "Route viewer: " + line + (train.empty() ? "" : ", train " + train);
}

// Nothing may be fetched: no script, style, image, frame or connection from anywhere.
constexpr std::string_view content_policy =
    "default-src 'none'; script-src 'unsafe-inline'; style-src 'unsafe-inline'; img-src data:; "
    "base-uri 'none'; form-action 'none'";

void write_head(html_document& h, const json& data) {
    h.open("head");
    h.empty("meta").attr("charset", "utf-8");
    h.empty("meta").attr("http-equiv", "Content-Security-Policy").attr("content", content_policy);
    h.empty("meta").attr("name", "viewport").attr("content", "width=device-width, initial-scale=1");
    h.open("title").text(page_title(data["header"])).close();
    h.trusted_element("style", view_assets::style);
    h.close();
}

void write_controls(html_document& h, const json& data) {
    h.open("form").attr("id", "range").attr("autocomplete", "off");
    h.open("label").text("km ").close();
    h.empty("input").attr("id", "km-from").attr("size", "8").attr("aria-label", "from km");
    h.open("label").text(" to ").close();
    h.empty("input").attr("id", "km-to").attr("size", "8").attr("aria-label", "to km");
    h.open("select").attr("id", "reckoning").attr("aria-label", "reckoning");
    h.open("option").attr("value", "railway").text("railway km").close();
    h.open("option").attr("value", "route").text("route position km").close();
    h.close();
    h.open("button").attr("type", "submit").text("Zoom").close();
    h.open("button").attr("type", "button").attr("id", "whole").text("Whole line").close();
    h.empty("input")
        .attr("id", "jump")
        .attr("list", "station-names")
        .attr("placeholder", "station or km")
        .attr("aria-label", "jump to a station or km");
    h.open("button").attr("type", "button").attr("id", "go").text("Go").close();
    h.open("datalist").attr("id", "station-names");
    for (const json& s : data["stations"]) {
        h.empty("option").attr("value", s["name"].get<std::string>());
    }
    h.close().close();
}

void write_header(html_document& h, const json& data) {
    h.open("header");
    h.open("h1").text(page_title(data["header"])).close();
    h.open("p").attr("class", "source").text(data["header"].value("source", "")).close();
    write_controls(h, data);
    h.close();
}

void write_station_list(html_document& h, const json& data) {
    h.open("h2").text("Stations").close();
    h.open("ul").attr("id", "stations");
    for (const json& s : data["stations"]) {
        h.open("li").attr("data-position", std::to_string(s["position"].get<std::int64_t>()));
        if (s.contains("source")) h.attr("title", "from " + s["source"].get<std::string>());
        h.text(s["name"].get<std::string>()).close();
    }
    h.close();
}

void write_diagnostic_list(html_document& h, const json& data) {
    const json& list = data["diagnostics"];
    h.open("h2").text("Diagnostics").close();
    h.open("ul").attr("id", "diagnostics");
    if (list.empty()) h.open("li").attr("class", "none").text("none").close();
    for (std::size_t i = 0; i < list.size(); ++i) {
        const json& d = list[i];
        h.open("li")
            .attr("class", d["level"].get<std::string>())
            .attr("data-index", std::to_string(i));
        h.text(d["text"].get<std::string>()).close();
    }
    h.close();
}

}  // namespace

std::string view_page(const json& data) {
    html_document h;
    h.open("html").attr("lang", "en");
    write_head(h, data);
    h.open("body");
    write_header(h, data);
    h.open("main");
    h.open("aside");
    write_station_list(h, data);
    write_diagnostic_list(h, data);
    h.close();
    h.open("section").attr("id", "views");
    h.open("canvas").attr("id", "plan").close();
    h.open("canvas").attr("id", "bands").close();
    h.close().close();
    h.open("div").attr("id", "tip").attr("hidden", "").close();
    h.json_script("view-data", data);
    h.trusted_element("script", view_assets::script);
    return std::move(h).finish();
}

}  // namespace compattatore
