#include "ground/terminal_colour.hpp"

#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace compattatore {

namespace {

bool colour_refused_by_environment() {
    const char* no_colour = std::getenv("NO_COLOR");
    if (no_colour != nullptr && *no_colour != '\0') return true;
    const char* term = std::getenv("TERM");
    return term != nullptr && std::strcmp(term, "dumb") == 0;
}

#ifdef _WIN32
bool virtual_terminal_on(int fd) {
    if (!_isatty(fd)) return false;
    const auto console = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    DWORD mode = 0;
    if (console == INVALID_HANDLE_VALUE || !GetConsoleMode(console, &mode)) return false;
    if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) return true;
    return SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}
#endif

}  // namespace

bool enable_colour(int fd) {
    if (colour_refused_by_environment()) return false;
#ifdef _WIN32
    return virtual_terminal_on(fd);
#else
    return isatty(fd) == 1;
#endif
}

}  // namespace compattatore
