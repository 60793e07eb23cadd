#include "platform/console_platform.hpp"

#include <cstdio>
#include <cstdlib>

namespace compattatore {

void console_platform::show_waiting_window() {
    std::fputs("Attendere\n", stdout);
    std::fflush(stdout);
}

void console_platform::errore(const std::string& a) {
    std::fprintf(stderr, " Errore n. %s\n", a.c_str());
    std::fflush(stderr);
    std::exit(exit_status::errore);
}

void console_platform::fail(const std::string& message, int status) {
    std::fprintf(stderr, "compattatore: %s\n", message.c_str());
    std::fflush(stderr);
    std::exit(status);
}

}  // namespace compattatore
