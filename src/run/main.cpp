// compattatore: with no arguments, compiles the fixed scenario and writes its files beside the
// executable.

#include <exception>
#include <string>

#include "run/files.hpp"
#include "run/form1.hpp"

// Windows shows the real window; elsewhere the console stands in for it.
#ifdef _WIN32
#include "run/win32_platform.hpp"
using run_platform = compattatore::win32_platform;
#else
#include "run/console_platform.hpp"
using run_platform = compattatore::console_platform;
#endif

int main(int argc, char** argv) {
    using namespace compattatore;
    run_platform platform;
    if (argc > 1) {
        platform.fail("takes no arguments", exit_status::usage);
    }
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
