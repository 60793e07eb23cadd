// compattatore: with no arguments, compiles the fixed scenario and writes its files beside the
// executable; with arguments, runs one of the author's commands (compile, sources, inspect, plot).

#include <exception>
#include <string>

#include "run/console_platform.hpp"
#include "run/files.hpp"
#include "run/form1.hpp"
#include "toolkit/toolkit.hpp"

int main(int argc, char** argv) {
    using namespace compattatore;
    console_platform platform;
    // Arguments name one of the author's commands; without any the run is the fixed scenario.
    if (argc > 1) return run_toolkit(argc, argv);
    try {
        Form1 form(application_path(argv[0]), platform);
        form.Form_Load();
    } catch (const file_error& e) {
        platform.fail(e.what(), exit_status::file_failure);
    } catch (const std::exception& e) {
        platform.fail(e.what(), exit_status::failure);
    }
    return exit_status::ok;
}
