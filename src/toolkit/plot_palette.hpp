#pragma once
// Every colour the pictures use, named by what it marks. Where a legend explains a colour, the
// meaning is the legend's text.

#include <cstddef>
#include <string_view>

namespace compattatore {

enum class ink {
    paper,
    track,
    axis,
    caption,
    kilometre_post,
    kilometre_label,
    kilometre_grid,
    band_fill,
    band_frame,
    zero_line,
    station,
    station_area,
    direction_board,
    gradient,
    speed_limit,
    adhesion,
    signal,
    caution,
    code_270,
    other_code,
    code_off,
    speed_board,
    mountain,
    slowdown,
    slowdown_mark,
    slowdown_label,
    code_180,
    run_on,
    stop,
};

struct ink_use {
    ink name;
    std::string_view colour;
    std::string_view meaning;
};

inline constexpr ink_use palette[] = {
    {ink::paper, "white", "the page, and the inside of station circles"},
    {ink::track, "#1f3b73", "the track on the plan and its first point"},
    {ink::axis, "#222", "axes, the scale bar, station labels and stops"},
    {ink::caption, "#555", "subtitles, captions and the charts' scale labels"},
    {ink::kilometre_post, "#999", "route kilometres"},
    {ink::kilometre_label, "#888", "the numbers at the kilometre posts"},
    {ink::kilometre_grid, "#e3e3e3", "the kilometre lines across the bands"},
    {ink::band_fill, "#fafafa", "the ground of a band"},
    {ink::band_frame, "#ccc", "the frame of a band"},
    {ink::zero_line, "#999", "the zero line of a step chart"},
    {ink::station, "#c0392b", "station"},
    {ink::station_area, "#f5b7b1", "station area"},
    {ink::direction_board, "#8e44ad", "direction board"},
    {ink::gradient, "#7d5a2b", "the gradient chart"},
    {ink::speed_limit, "#1f6fb2", "the speed limit chart"},
    {ink::adhesion, "#2e8b57", "the adhesion chart"},
    {ink::signal, "#333", "signal"},
    {ink::caution, "#e67e22", "delayed signal"},
    {ink::code_270, "#27ae60", "code 270"},
    {ink::other_code, "#7f8c8d", "other code"},
    {ink::code_off, "#2c3e50", "code-off point"},
    {ink::speed_board, "#00838f", "speed board"},
    {ink::mountain, "#a0522d", "mountain"},
    {ink::slowdown, "#f7c35f", "slowdown"},
    {ink::slowdown_mark, "#9a7d0a", "slowdown warning, pre-warning"},
    {ink::slowdown_label, "#7d6608", "a slowdown's speed"},
    {ink::code_180, "#d81b60", "code 180"},
    {ink::run_on, "#9aa3ad", "run-on past the line's end"},
    {ink::stop, "#222", "stop position"},
};

constexpr bool palette_in_order() {
    for (std::size_t i = 0; i < std::size(palette); ++i) {
        if (palette[i].name != static_cast<ink>(i)) return false;
    }
    return true;
}
static_assert(palette_in_order() && std::size(palette) == static_cast<std::size_t>(ink::stop) + 1,
              "the palette lists every ink once, in the order of the enum");

constexpr std::string_view colour(ink i) {
    return palette[static_cast<std::size_t>(i)].colour;
}
constexpr std::string_view meaning(ink i) {
    return palette[static_cast<std::size_t>(i)].meaning;
}

}  // namespace compattatore
