// The command line of the author's toolkit.

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <iostream>
#include <string_view>
#include <system_error>

#include "ground/terminal_colour.hpp"
#include "toolkit/author_report.hpp"
#include "toolkit/cli_paths.hpp"
#include "toolkit/commands.hpp"
#include "toolkit/standard_output.hpp"
#include "toolkit/toolkit.hpp"

namespace compattatore {

namespace {

constexpr std::string_view command_names[] = {"compile", "check", "sources", "inspect",
                                              "plot",    "view",  "lsp"};

bool is_command(std::string_view a) {
    for (std::string_view c : command_names) {
        if (a == c) return true;
    }
    return false;
}

bool known_first_argument(std::string_view a) {
    return a.starts_with("-") || is_command(a);  // --help and friends
}

// A usage error as one line, with where to look on the same line; command is empty when the
// error is not in one.
int usage_line(std::string what, std::string_view command) {
    for (char& c : what) {
        if (c == '\n') c = ' ';
    }
    while (!what.empty() && what.back() == ' ') what.pop_back();
    std::string help = "compattatore ";
    if (!command.empty()) help.append(command).append(" ");
    std::cerr << "compattatore: " << what << "; run '" << help << "--help' for the options\n";
    return toolkit_status::usage;
}

// The options compile and check share, as typed.
struct report_flags {
    std::string color = "auto";
    std::size_t max_errors = 0;
    std::string encoding = "cp850";
};

void add_author_files(CLI::App* cmd, author_files& o) {
    cmd->add_option("LINE_FILE", o.line_file, "Line description (<line>_linea.txt)")->required();
    cmd->add_option("TRAIN_FILE", o.train_file, "Train description (<line>_<train>-.txt)")
        ->required();
    cmd->add_option("--line", o.line_name,
                    "Line name: names the output files; taken from LINE_FILE when left out");
    cmd->add_option("--train", o.train_number,
                    "Train number: names the output files; taken from TRAIN_FILE when left out");
}

void add_report_flags(CLI::App* cmd, report_flags& f) {
    cmd->add_option("--color", f.color,
                    "Colour the diagnostics: auto (a terminal, no NO_COLOR), "
                    "always or never")
        ->check(CLI::IsMember({"auto", "always", "never"}))
        ->capture_default_str();
    cmd->add_option("--max-errors", f.max_errors,
                    "Stop showing diagnostics after N errors (0: show all)");
    cmd->add_option("--input-encoding", f.encoding,
                    "Encoding of the texts: cp850 (what the simulator reads) or utf-8 (converted; "
                    "a character code page 850 lacks is an error)")
        ->check(CLI::IsMember({"cp850", "utf-8"}))
        ->capture_default_str();
}

report_options resolve(const report_flags& f) {
    report_options r;
    const color_mode mode = f.color == "always"  ? color_mode::always
                            : f.color == "never" ? color_mode::never
                                                 : color_mode::automatic;
    // Asked for the terminal even when colour is forced: a Windows console shows it only once
    // its virtual-terminal mode is on.
    const bool terminal = mode != color_mode::never && enable_colour(2);
    r.color = wants_color(mode, terminal, std::getenv("NO_COLOR"));
    if (f.max_errors > 0) r.max_errors = f.max_errors;
    r.encoding = f.encoding == "utf-8" ? input_encoding::utf8 : input_encoding::cp850;
    return r;
}

CLI::App* add_check(CLI::App& app, check_request& o, report_flags& f, std::string& format,
                    bool& json) {
    CLI::App* check_cmd = app.add_subcommand(
        "check",
        "Report every problem of your line and train descriptions in one run, each where it is, "
        "with the source line; writes no file.\n"
        "Exit status: 0 clean (warnings allowed), 1 errors (or warnings with --strict), 2 usage or "
        "file errors.");
    add_author_files(check_cmd, o);
    add_report_flags(check_cmd, f);
    check_cmd->add_flag("--strict", o.strict, "Warnings are errors: exit status 1");
    CLI::Option* as_json =
        check_cmd->add_flag("--json", json, "Report as one JSON object on standard output");
    check_cmd->add_option("--format", format, "Report format: text, json or sarif (SARIF 2.1.0)")
        ->check(CLI::IsMember({"text", "json", "sarif"}))
        ->capture_default_str()
        ->excludes(as_json);
    return check_cmd;
}

CLI::App* add_compile(CLI::App& app, compile_options& o, report_flags& f) {
    CLI::App* compile_cmd = app.add_subcommand(
        "compile",
        "Compile your own line and train descriptions into the simulator's files, reporting every "
        "problem as FILE:LINE:COLUMN diagnostics. Your files are never changed or deleted.\n"
        "--line and --train are names, not paths: typed in UTF-8, stored in code page 850.\n"
        "--json: a path or file name that is not UTF-8 shows U+FFFD for each such byte, and its "
        "exact bytes in hexadecimal follow as \"<key>_bytes\".\n"
        "Exit status: 0 clean (warnings allowed), 1 errors, 2 usage or file errors (also when "
        "standard output cannot be written).");
    add_author_files(compile_cmd, o);
    add_report_flags(compile_cmd, f);
    compile_cmd->add_option("--output,-o", o.output, "Folder for the binary files")
        ->capture_default_str();
    compile_cmd->add_flag("--no-profile", o.no_profile,
                          "Do not build or write the line profile (<line>_linea.dat)");
    compile_cmd->add_flag("--force", o.force,
                          "Write the files even with errors, as the default run would");
    compile_cmd->add_flag("--json", o.json, "Report as one JSON object on standard output");
    return compile_cmd;
}

CLI::App* add_sources(CLI::App& app, sources_options& o) {
    CLI::App* sources_cmd = app.add_subcommand(
        "sources", "Write the built-in scenario's line and train descriptions, to start from");
    sources_cmd->add_option("--output,-o", o.output, "Folder to write into")->capture_default_str();
    sources_cmd->add_flag("--all", o.all,
                          "Also the notes, the slowdown order and the timetable card");
    sources_cmd->add_flag("--force", o.force, "Replace descriptions already in the folder");
    return sources_cmd;
}

CLI::App* add_inspect(CLI::App& app, inspect_options& o, std::string& points) {
    CLI::App* inspect_cmd = app.add_subcommand(
        "inspect",
        "Show the simulator's files readably: FILE_linea.dat (line profile), FILE.sim (station "
        "table), FILE.dat (route grid). Give the .sim with the .dat to name stations and boards.");
    inspect_cmd->add_option("FILE", o.files, "Files to show")->required();
    inspect_cmd->add_flag("--json", o.json, "Show as one JSON object");
    inspect_cmd->add_option("--points", points,
                            "Profile points to list: N (every N-th), A:B (A to B) or A:B:N");
    return inspect_cmd;
}

CLI::App* add_plot(CLI::App& app, plot_options& o) {
    CLI::App* plot_cmd = app.add_subcommand(
        "plot",
        "Draw an SVG picture: the track plan from a line profile (--profile, with --sim and --dat "
        "to label stations and direction boards) or the route chart from a route grid (--route, "
        "with --sim to name stations).");
    plot_cmd->add_option("--profile", o.profile, "Line profile <line>_linea.dat: track plan");
    plot_cmd->add_option("--route", o.route, "Route grid <line>_<train>.dat: route chart");
    plot_cmd->add_option("--sim", o.sim, "Station table <line>_<train>.sim: labels");
    plot_cmd->add_option("--dat", o.dat, "Route grid for the plan's direction boards");
    plot_cmd->add_option("--output,-o", o.output, "SVG file to write; - for standard output")
        ->required();
    return plot_cmd;
}

CLI::App* add_view(CLI::App& app, view_options& o) {
    CLI::App* view_cmd = app.add_subcommand(
        "view",
        "Write the route viewer: one self-contained HTML page of the scenario (plan, bands along "
        "the railway kilometres, stations, objects, diagnostics) that opens in any browser and "
        "fetches nothing. From the two descriptions (LINE TRAIN, compiled in memory; exit 1 when "
        "they have errors) or from compiled files (FILE.dat [FILE.sim] [FILE_linea.dat]).");
    view_cmd->add_option("FILE", o.inputs, "Two descriptions, or compiled files")->required();
    view_cmd->add_option("--line", o.line_name, "Line name; default from <line>_linea.txt");
    view_cmd->add_option("--train", o.train_number,
                         "Train number; default from <line>_<train>-.txt");
    view_cmd->add_option("--output,-o", o.output, "HTML file to write; - for standard output")
        ->required();
    return view_cmd;
}

CLI::App* add_lsp(CLI::App& app) {
    return app.add_subcommand(
        "lsp",
        "Serve an editor as a language server over standard input and output: the problems of "
        "the line and train descriptions as you type, the meaning of the field under the cursor, "
        "the records of a section offered as you write, and an outline. Exit status: 0 after the "
        "editor's shutdown and exit, 1 when the input ends without them.");
}

int run_inspect(inspect_options o, const std::string& points, std::ostream& out) {
    if (!points.empty()) {
        o.points = parse_point_selection(points);
        if (!o.points) {
            return usage_line("--points takes N, A:B or A:B:N, not '" + points + "'", "inspect");
        }
    }
    return inspect_command(o, out, std::cerr);
}

// Every command's options, filled by the parse.
struct command_line {
    compile_options compile;
    report_flags compile_flags, check_flags;
    check_request check;
    std::string check_format = "text";
    bool check_json = false;
    sources_options sources;
    inspect_options inspect;
    std::string points;
    plot_options plot;
    view_options view;
    CLI::App* compile_cmd = nullptr;
    CLI::App* check_cmd = nullptr;
    CLI::App* sources_cmd = nullptr;
    CLI::App* inspect_cmd = nullptr;
    CLI::App* plot_cmd = nullptr;
    CLI::App* view_cmd = nullptr;
    CLI::App* lsp_cmd = nullptr;
};

void add_commands(CLI::App& app, command_line& c) {
    c.compile_cmd = add_compile(app, c.compile, c.compile_flags);
    c.check_cmd = add_check(app, c.check, c.check_flags, c.check_format, c.check_json);
    c.sources_cmd = add_sources(app, c.sources);
    c.inspect_cmd = add_inspect(app, c.inspect, c.points);
    c.plot_cmd = add_plot(app, c.plot);
    c.view_cmd = add_view(app, c.view);
    c.lsp_cmd = add_lsp(app);
}

int dispatch(command_line& c, std::ostream& out) {
    if (*c.compile_cmd) {
        c.compile.report = resolve(c.compile_flags);
        return compile_command(c.compile, out, std::cerr);
    }
    if (*c.check_cmd) {
        c.check.report = resolve(c.check_flags);
        c.check.format = c.check_json || c.check_format == "json" ? report_format::json
                         : c.check_format == "sarif"              ? report_format::sarif
                                                                  : report_format::text;
        return check_command(c.check, out, std::cerr);
    }
    if (*c.sources_cmd) return sources_command(c.sources, out, std::cerr);
    if (*c.inspect_cmd) return run_inspect(c.inspect, c.points, out);
    if (*c.plot_cmd) return plot_command(c.plot, out, std::cerr);
    if (*c.view_cmd) return view_command(c.view, out, std::cerr);
    if (*c.lsp_cmd) return lsp_command(std::cin, out, std::cerr);
    return toolkit_status::usage;
}

int run_command(int argc, char** argv, std::ostream& out) {
    // Anything but a command is most likely the default run started with a stray argument.
    if (argc > 1 && !known_first_argument(argv[1])) {
        std::cerr << "compattatore: unknown command '" << argv[1]
                  << "'; with no arguments the program compiles its built-in scenario, or run "
                     "'compattatore --help' for the author's commands\n";
        return toolkit_status::usage;
    }

    CLI::App app{
        "compattatore: scenario compiler for a train-driving simulator.\n"
        "Without arguments it compiles the built-in scenario and writes its files beside the "
        "executable.\nWith a command it works on an author's own files."};
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "Show the help of every command");
    app.set_version_flag("--version", "compattatore " COMPATTATORE_VERSION);
    command_line c;
    add_commands(app, c);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // --help and --help-all print the help; anything else is a usage error.
        if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
            app.exit(e, out, std::cerr);
            return toolkit_status::ok;
        }
        return usage_line(e.what(), argc > 1 && is_command(argv[1]) ? argv[1] : "");
    }
    return dispatch(c, out);
}

}  // namespace

int run_toolkit(int argc, char** argv) {
    // What a command printed must reach standard output: a failed write there fails the command
    // like any other write, with one line on stderr.
    standard_output buffer;
    std::ostream out(&buffer);
    const int status = run_command(argc, argv, out);
    out.flush();
    if (buffer.error() == 0) return status;
    std::cerr << "compattatore: cannot write standard output: "
              << std::generic_category().message(buffer.error()) << "\n";
    return toolkit_status::usage;
}

}  // namespace compattatore
