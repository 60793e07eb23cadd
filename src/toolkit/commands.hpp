#pragma once
// The toolkit's commands, callable without a command line: each writes what a person reads to out
// (summaries, listings, JSON) and err (diagnostics, failures) and returns the exit status.

#include <cstddef>
#include <filesystem>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "toolkit/check_author.hpp"

namespace compattatore {

namespace toolkit_status {
inline constexpr int ok = 0;
inline constexpr int errors = 1;  // the descriptions have errors
inline constexpr int usage = 2;   // usage, unreadable input, an output that cannot be written
}  // namespace toolkit_status

// How compile and check show the problems they find.
struct report_options {
    bool color = false;  // ANSI colours on the diagnostics (resolved from --color)
    std::optional<std::size_t> max_errors;  // stop showing diagnostics after this many errors
    input_encoding encoding = input_encoding::cp850;
};

// An author's two descriptions. A name left out is taken from the file names when they follow
// <line>_linea.txt and <line>_<train>-.txt.
struct author_files {
    std::filesystem::path line_file;
    std::filesystem::path train_file;
    std::optional<std::string> line_name;
    std::optional<std::string> train_number;
};

struct compile_options : author_files {
    std::filesystem::path output = ".";
    bool no_profile = false;
    bool force = false;
    bool json = false;
    report_options report;
};
int compile_command(const compile_options& o, std::ostream& out, std::ostream& err);

enum class report_format { text, json, sarif };
struct check_request : author_files {
    bool strict = false;  // warnings count as errors
    report_format format = report_format::text;
    report_options report;
};
// Every problem of both descriptions; writes no file.
int check_command(const check_request& o, std::ostream& out, std::ostream& err);

struct sources_options {
    std::filesystem::path output = ".";
    bool all = false;    // also the notes, the slowdown order and the timetable card
    bool force = false;  // replace descriptions already there
};
int sources_command(const sources_options& o, std::ostream& out, std::ostream& err);

// Which profile points to list: every step-th point from first to last (inclusive).
struct point_selection {
    std::size_t first = 0;
    std::optional<std::size_t> last;
    std::size_t step = 1;
};
// "N" (every N-th point), "A:B" (points A to B) or "A:B:N"; nullopt when it is none of these.
std::optional<point_selection> parse_point_selection(const std::string& text);

struct inspect_options {
    std::vector<std::filesystem::path> files;
    bool json = false;
    std::optional<point_selection> points;
};
int inspect_command(const inspect_options& o, std::ostream& out, std::ostream& err);

struct plot_options {
    std::optional<std::filesystem::path> profile;  // <line>_linea.dat: draw the track plan
    std::optional<std::filesystem::path> route;    // <line>_<train>.dat: draw the route chart
    std::optional<std::filesystem::path> sim;      // labels: stations and board texts
    std::optional<std::filesystem::path> dat;      // for the plan: where the boards stand
    std::filesystem::path output;
};
int plot_command(const plot_options& o, std::ostream& out, std::ostream& err);

// Either the two descriptions (line, then train), compiled in memory, or compiled files: a route
// grid with, optionally, its station table and line profile.
struct view_options {
    std::vector<std::filesystem::path> inputs;
    std::string line_name;         // for descriptions; empty: from the line file's name
    std::string train_number;      // for descriptions; empty: from the train file's name
    std::filesystem::path output;  // - for standard output
};
int view_command(const view_options& o, std::ostream& out, std::ostream& err);

// The language server: messages from in, replies to out, its log to err.
int lsp_command(std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace compattatore
