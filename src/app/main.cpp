// compattatore: with no arguments, compiles the fixed scenario and writes its files beside the
// executable; with arguments (console builds: every system's, and compattatore.com on Windows),
// runs one of the author's commands.

#include <csignal>
#include <exception>
#include <new>
#include <string>

#include "app/form1.hpp"
#include "ground/files.hpp"
#ifdef COMPATTATORE_TOOLKIT
#include "app/command_run.hpp"
#endif

// Windows shows the real window; elsewhere, and in the Windows console program, the console
// stands in for it.
#if defined(_WIN32) && !defined(COMPATTATORE_CONSOLE)
#include "platform/win32_platform.hpp"
using run_platform = compattatore::win32_platform;
#else
#include "platform/console_platform.hpp"
using run_platform = compattatore::console_platform;
#endif
#if defined(_WIN32) && defined(COMPATTATORE_CONSOLE)
#include "platform/win32_console.hpp"
#endif

int main(int argc, char** argv) {
    using namespace compattatore;
#if defined(_WIN32) && defined(COMPATTATORE_CONSOLE)
    console_session session;
    argc = session.argc();
    argv = session.argv();
#endif
#ifdef SIGXFSZ
    // Past a file-size limit a write must fail with EFBIG and be reported like a full disk,
    // not kill the process with a half-written temporary file.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    run_platform platform;
#ifdef COMPATTATORE_TOOLKIT
    // Arguments name one of the author's commands; without any the run is the fixed scenario.
    if (argc > 1) return run_toolkit_guarded(argc, argv);
#else
    if (argc > 1) {
        platform.fail("takes no arguments", exit_status::usage);
    }
#endif
    try {
        Form1 form(application_path(argv[0]), platform);
        form.Form_Load();
    } catch (const file_error& e) {
        platform.fail(e.what(), exit_status::file_failure);
    } catch (const std::bad_alloc&) {
        platform.fail("out of memory", exit_status::failure);
    } catch (const std::exception& e) {
        platform.fail(e.what(), exit_status::failure);
    } catch (...) {
        platform.fail("unexpected failure", exit_status::failure);
    }
    return exit_status::ok;
}
