// compattatore-tools: the author's commands as a Windows console program. The window program
// stays the fixed run; this one takes the same commands, and prints the same bytes, as the
// program on other systems.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// shellapi.h needs the types windows.h defines.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/command_run.hpp"

namespace {

std::string utf8_of(const wchar_t* wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
    text.pop_back();  // the terminating zero
    return text;
}

// The arguments in UTF-8, as the commands take them everywhere. The C runtime's argv is in the
// ANSI code page, which cannot hold every name a folder may have; the wide command line can.
std::vector<std::string> utf8_arguments() {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    if (wide == nullptr) return args;
    for (int i = 0; i < count; ++i) args.push_back(utf8_of(wide[i]));
    LocalFree(wide);
    return args;
}

// The console shows UTF-8 while the program runs, so accented names print as they are; the
// code page the console had is given back at the end, since the console outlives the program.
class utf8_console {
  public:
    utf8_console() : earlier_(GetConsoleOutputCP()) {
        if (earlier_ != 0) SetConsoleOutputCP(CP_UTF8);
    }
    ~utf8_console() {
        if (earlier_ != 0) SetConsoleOutputCP(earlier_);
    }
    utf8_console(const utf8_console&) = delete;
    utf8_console& operator=(const utf8_console&) = delete;

  private:
    UINT earlier_;
};

}  // namespace

int main() {
    // Text goes out byte for byte as on other systems: the C runtime would otherwise turn every
    // line end into CR LF, in JSON and SVG sent to a pipe as much as on the console.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    const utf8_console console;
    std::vector<std::string> args = utf8_arguments();
    if (args.empty()) args.push_back("compattatore-tools");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return compattatore::run_toolkit_guarded(static_cast<int>(args.size()), argv.data());
}
