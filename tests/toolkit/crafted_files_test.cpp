// Files made to hurt inspect and plot: larger than the format allows, the largest it allows, long
// names and extreme numbers. Each is refused in one line or shown whole, in memory that stays a
// small multiple of the file, and no picture draws a label longer than its cap.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <cfloat>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "compiler/description_fixture.hpp"
#include "formats/binary_files.hpp"
#include "support/temp_dir.hpp"
#include "toolkit/command_calls.hpp"
#include "toolkit/commands.hpp"
#include "toolkit/plot.hpp"
#include "xml_check.hpp"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using testing::inspect;
using testing::plot;
using testing::printed;
using testing::spit;
using testing::temp_dir;

// printf's text, however long.
std::string printed_double(const char* format, double v) {
    std::vector<char> text(512);
    std::snprintf(text.data(), text.size(), format, v);
    return text.data();
}

// ---- files larger than the format allows --------------------------------------------------

TEST(CraftedFiles, LargerThanTheFormatAllowsIsOneLineAndStatusTwoWithoutReadingIt) {
    temp_dir dir;
    struct {
        const char* file;
        std::uintmax_t size;
        std::string says;
    } cases[] = {
        {"Big.dat", 20141 * 15 + 15,
         "corrupt route grid at byte 302115: 302130 bytes, more than a route grid can have: "
         "20141 cells, 302115 bytes"},
        {"Big_linea.dat", 20140021,
         "corrupt line profile at byte 20140020: 20140021 bytes, more than a line profile can "
         "have: 1007001 points per coordinate, every value a double, 20140020 bytes"},
        {"Big.sim", 2853688,
         "corrupt station table at byte 2853687: 2853688 bytes, more than a station table can "
         "have: 87 entries, every name 32767 bytes long, 2853687 bytes"},
        // Sparse: reading it would take 64 GiB.
        {"Huge.dat", std::uintmax_t{1} << 36,
         "corrupt route grid at byte 302115: 68719476736 bytes, more than a route grid"},
    };
    for (const auto& c : cases) {
        const fs::path path = dir / c.file;
        std::ofstream{path};
        fs::resize_file(path, c.size);
        const std::string line = "compattatore: " + path.string() + ": " + c.says;
        for (const bool as_json : {false, true}) {
            const printed p = inspect({path}, as_json);
            EXPECT_EQ(p.status, 2) << c.file;
            EXPECT_EQ(p.out, "") << c.file;
            EXPECT_EQ(p.err.rfind(line, 0), 0u) << p.err;
            EXPECT_EQ(std::count(p.err.begin(), p.err.end(), '\n'), 1) << p.err;
        }
        plot_options o;
        o.output = dir / "picture.svg";
        if (std::string(c.file).ends_with("_linea.dat")) {
            o.profile = path;
        } else if (std::string(c.file).ends_with(".sim")) {
            o.route = dir / "missing.dat";  // the table is loaded first
            o.sim = path;
        } else {
            o.route = path;
        }
        const printed p = plot(o);
        EXPECT_EQ(p.status, 2) << c.file;
        EXPECT_EQ(p.err.rfind(line, 0), 0u) << p.err;
        EXPECT_FALSE(fs::exists(o.output));
    }
}

// ---- texts printed whole ------------------------------------------------------------------

TEST(CraftedFiles, LongNamesAndExtremeNumbersArePrintedWhole) {
    temp_dir dir;
    station_table_t table{};
    table[1].kind = 1;
    table[1].position = 1200;
    table[1].name = std::string(300, 'N') + "END";
    table[2].kind = 1;
    table[2].name = std::string("NUL\0NAME", 8);            // a NUL byte, where %s would stop
    table[80].name = std::string(40000 / 2, 'b') + "LAST";  // a board text
    spit(dir / "Long.sim", encode_station_table(table));

    line_profile_t profile;
    profile.dimension(2);
    profile.x(2) = tagged_value::of_double(1e300);
    profile.y(2) = tagged_value::of_double(-DBL_MAX);
    profile.x(0) = profile.y(0) = tagged_value::of_int16(0);
    spit(dir / "Far_linea.dat", encode_line_profile(profile));

    const printed p =
        inspect({dir / "Long.sim", dir / "Far_linea.dat"}, false, point_selection{2, 2, 1});
    ASSERT_EQ(p.status, 0) << p.err;
    const std::string far_x = printed_double("%.3f", 1e300);
    const std::string far_y = printed_double("%.3f", -DBL_MAX);
    ASSERT_GT(far_y.size(), 300u);
    for (const std::string& whole : {
             "   1  \"" + table[1].name + "\" kind   1  at    1200 m",
             "   2  \"" + table[2].name + "\"" + std::string(14, ' ') + " kind   1  at       0 m",
             "  80  \"" + table[80].name + "\"\n",
             "extent: x 0.000 to " + far_x + " m, y " + far_y + " to 0.000 m\n",
             "first computed point 2: (" + far_x + ", " + far_y + ")\n",
             "      2  " + far_x + "  " + far_y + "\n",
         }) {
        EXPECT_NE(p.out.find(whole), std::string::npos) << whole.substr(0, 60);
    }
}

// ---- labels -------------------------------------------------------------------------------

// The text of every <text> element, as XML character data.
std::vector<std::string> drawn_texts(const std::string& svg) {
    std::vector<std::string> texts;
    for (auto at = svg.find("<text"); at != std::string::npos; at = svg.find("<text", at + 1)) {
        const std::size_t start = svg.find('>', at) + 1;
        texts.push_back(svg.substr(start, svg.find("</text>", start) - start));
    }
    return texts;
}

bool drawn(const std::string& svg, const std::string& text) {
    const auto texts = drawn_texts(svg);
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(CraftedFiles, LabelsAreCutAtEightyCharacters) {
    const auto c = testing::compile(testing::description_pair{});
    const line_profile_t& profile = c->model.line_profile;
    route_grid_t grid = c->model.route_grid;
    constexpr int boards = 150;
    for (int cell = 20; cell < 20 + boards; ++cell) {
        grid[static_cast<std::size_t>(cell)].kind = cell_kind::direction_board;
        grid[static_cast<std::size_t>(cell)].value_a = 80;
    }
    const auto named = [&](const std::string& station, const std::string& board) {
        station_table_t t = c->model.station_table;
        t[1].name = station;
        t[80].name = board;
        return t;
    };
    const std::string eighty(80, 'n'), cut = std::string(79, 'n') + "\xE2\x80\xA6";
    const station_table_t fits = named(eighty, eighty);
    const station_table_t longer = named(eighty + "n", eighty + "n");
    const station_table_t longest = named(std::string(0x7FFF, 'n'), std::string(0x7FFF, 'n'));
    // \x85 is a-grave in the code page: two bytes in UTF-8, one character.
    const station_table_t accented_80 = named(std::string(80, '\x85'), "B");
    const station_table_t accented_81 = named(std::string(81, '\x85'), "B");

    const std::string plan_fits = plan_svg(profile, &fits, &grid);
    const std::string plan_longest = plan_svg(profile, &longest, &grid);
    EXPECT_TRUE(drawn(plan_fits, eighty));
    for (const station_table_t* t : {&longer, &longest}) {
        const std::string plan = plan_svg(profile, t, &grid);
        const std::string chart = route_svg(grid, t);
        EXPECT_EQ(testing::xml_fault(plan), "");
        EXPECT_TRUE(drawn(plan, cut));
        EXPECT_FALSE(drawn(plan, eighty));
        // The chart's upright names are cut further, to the height of their band.
        const auto texts = drawn_texts(chart);
        EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const std::string& text) {
            return text.starts_with("nnnnnnnnnn") && text.ends_with("\xE2\x80\xA6") &&
                   text.size() < 40;
        }));
    }
    // Every label cut to 79 characters and the ellipsis: two bytes more than 80 'n' each. Labels
    // that would cover one another are left out, so only some of the boards' are drawn.
    const auto texts = drawn_texts(plan_fits);
    const auto labels = static_cast<std::size_t>(std::count(texts.begin(), texts.end(), eighty));
    EXPECT_GE(labels, std::size_t{1});
    EXPECT_EQ(plan_longest.size(), plan_fits.size() + 2 * labels);

    const std::string grave = "\xC3\xA0";
    std::string grave_80, grave_cut;
    for (int i = 0; i < 80; ++i) grave_80 += grave;
    for (int i = 0; i < 79; ++i) grave_cut += grave;
    grave_cut += "\xE2\x80\xA6";
    EXPECT_TRUE(drawn(plan_svg(profile, &accented_80, &grid), grave_80));
    EXPECT_TRUE(drawn(plan_svg(profile, &accented_81, &grid), grave_cut));
}

TEST(CraftedFiles, LongTitlesAreCutLikeEveryLabel) {
    const auto c = testing::compile(testing::description_pair{});
    station_table_t t = c->model.station_table;
    t[station_slot::line_header].name = std::string(0x7FFF, 'L');
    const std::string chart = route_svg(c->model.route_grid, &t);
    const std::string plan = plan_svg(c->model.line_profile, &t, nullptr);
    EXPECT_TRUE(drawn(chart, "Route chart: " + std::string(66, 'L') + "\xE2\x80\xA6"));
    EXPECT_TRUE(drawn(plan, "Track plan: " + std::string(67, 'L') + "\xE2\x80\xA6"));
}

// ---- slowdowns ----------------------------------------------------------------------------

TEST(CraftedFiles, SlowdownRunsFromItsStartToTheFirstEndAfterIt) {
    route_grid_t grid(30);
    for (const int start : {2, 5, 10, 20}) grid[start].kind = cell_kind::slowdown_start;
    for (const int end : {8, 12}) grid[end].kind = cell_kind::slowdown_end;
    const std::string svg = route_svg(grid, nullptr);
    std::vector<std::string> rects;
    for (auto at = svg.find("<rect"); at != std::string::npos; at = svg.find("<rect", at + 1)) {
        const std::string rect = svg.substr(at, svg.find('>', at) - at);
        if (rect.find("fill-opacity=\"0.6\"") != std::string::npos) rects.push_back(rect);
    }
    // 30 cells over 1370 px from x 200; a slowdown without an end runs to the grid's end.
    const auto x = [](int cell) { return printed_double("%.1f", 200 + cell * 1370.0 / 30); };
    const auto width = [](int cells) { return printed_double("%.1f", cells * 1370.0 / 30); };
    const std::pair<int, int> spans[] = {{2, 9}, {5, 9}, {10, 13}, {20, 30}};
    ASSERT_EQ(rects.size(), std::size(spans));
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const auto [from, to] = spans[i];
        EXPECT_NE(rects[i].find("x=\"" + x(from) + "\""), std::string::npos) << rects[i];
        EXPECT_NE(rects[i].find("width=\"" + width(to - from) + "\""), std::string::npos)
            << rects[i];
    }
}

// ---- memory -------------------------------------------------------------------------------

#if defined(__SANITIZE_ADDRESS__)
#define COMPATTATORE_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define COMPATTATORE_UNDER_ASAN 1
#endif
#endif

// Output that is counted and dropped, so a listing's own size costs the test nothing.
struct dropped_output : std::streambuf {
    int_type overflow(int_type c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

std::size_t address_space_now() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    statm >> pages;
    return pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// f's status in a child whose address space may grow by at most budget bytes; 4 when it runs
// out of memory.
int status_within(std::size_t budget, const std::function<int()>& f) {
    const pid_t pid = fork();
    if (pid == 0) {
        const rlimit limit{address_space_now() + budget, address_space_now() + budget};
        int status = 5;
        if (setrlimit(RLIMIT_AS, &limit) == 0) {
            try {
                status = f();
            } catch (...) {
                status = 4;
            }
        }
        _exit(status);
    }
    int raw = 0;
    waitpid(pid, &raw, 0);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

std::string double_bytes(std::size_t values) {
    std::string one = {5, 0};
    const auto bits = std::bit_cast<std::uint64_t>(-4321.125);
    for (int i = 0; i < 8; ++i) one.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
    std::string out;
    out.reserve(values * one.size());
    for (std::size_t i = 0; i < values; ++i) out += one;
    return out;
}

// The largest grid, every cell an object and every per-cell field changing at every cell.
route_grid_t busiest_grid() {
    route_grid_t g(20141);
    for (std::size_t i = 0; i < g.size(); ++i) {
        const auto n = static_cast<int>(i);
        g[i] = {static_cast<std::uint8_t>(1 + n % 14),
                static_cast<std::int16_t>(n % 87),
                static_cast<std::int16_t>(-n),
                7,
                8,
                static_cast<std::uint8_t>(n),
                static_cast<std::uint8_t>(n % 3),
                static_cast<std::uint8_t>(n % 2),
                static_cast<std::uint8_t>(n % 40),
                static_cast<std::uint8_t>(n % 200),
                static_cast<std::uint8_t>(n % 100)};
    }
    return g;
}

TEST(CraftedFiles, MemoryStaysWithinFourTimesTheFilesPlus16MB) {
#ifdef COMPATTATORE_UNDER_ASAN
    GTEST_SKIP() << "the sanitizer's shadow memory has no address-space limit to run under";
#endif
    temp_dir dir;
    spit(dir / "Most_linea.dat", double_bytes(2 * 1007001));
    station_table_t table{};
    for (std::size_t i = 1; i < table.size(); ++i) {
        table[i].kind = 1;
        table[i].position = static_cast<std::int32_t>(1000 * i);
        table[i].name = std::string(0x7FFF, static_cast<char>(0x80 + i % 128));
    }
    spit(dir / "Most.sim", encode_station_table(table));
    spit(dir / "Most.dat", encode_route_grid(busiest_grid()));
    const auto size_of = [&](const char* f) { return fs::file_size(dir / f); };

    dropped_output dropped;
    std::ostream out(&dropped);
    std::ostringstream err;
    const auto inspected = [&](std::vector<fs::path> files, bool as_json,
                               std::optional<point_selection> points) {
        return [=, &out, &err] { return inspect_command({files, as_json, points}, out, err); };
    };
    const auto plotted = [&](plot_options o) {
        o.output = dir / "picture.svg";
        return [=, &out, &err] { return plot_command(o, out, err); };
    };
    plot_options plan, chart;
    plan.profile = dir / "Most_linea.dat";
    plan.sim = dir / "Most.sim";
    plan.dat = dir / "Most.dat";
    chart.route = dir / "Most.dat";
    chart.sim = dir / "Most.sim";
    const struct {
        const char* name;
        std::uintmax_t file_bytes;
        std::function<int()> run;
    } cases[] = {
        {"profile, every point in JSON", size_of("Most_linea.dat"),
         inspected({dir / "Most_linea.dat"}, true, point_selection{})},
        {"station table in JSON", size_of("Most.sim"), inspected({dir / "Most.sim"}, true, {})},
        {"grid named by the table in JSON", size_of("Most.dat") + size_of("Most.sim"),
         inspected({dir / "Most.sim", dir / "Most.dat"}, true, {})},
        {"grid as text", size_of("Most.dat"), inspected({dir / "Most.dat"}, false, {})},
        {"labelled plan", size_of("Most_linea.dat") + size_of("Most.sim") + size_of("Most.dat"),
         plotted(plan)},
        {"named route chart", size_of("Most.dat") + size_of("Most.sim"), plotted(chart)},
    };
    for (const auto& c : cases) {
        const std::size_t budget = 4 * c.file_bytes + (std::size_t{16} << 20);
        EXPECT_EQ(status_within(budget, c.run), 0) << c.name << ": more than " << budget;
    }
}

}  // namespace
}  // namespace compattatore
