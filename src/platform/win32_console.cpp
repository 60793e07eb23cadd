#include "platform/win32_console.hpp"

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

namespace compattatore {

namespace {

std::string utf8_of(const wchar_t* wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
    text.pop_back();  // the terminating zero
    return text;
}

std::vector<std::string> utf8_arguments() {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    if (wide != nullptr) {
        for (int i = 0; i < count; ++i) args.push_back(utf8_of(wide[i]));
        LocalFree(wide);
    }
    if (args.empty()) args.push_back("compattatore");
    return args;
}

}  // namespace

console_session::console_session() : args_(utf8_arguments()) {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    earlier_code_page_ = GetConsoleOutputCP();  // 0 without a console
    if (earlier_code_page_ != 0) SetConsoleOutputCP(CP_UTF8);
    for (std::string& a : args_) pointers_.push_back(a.data());
    pointers_.push_back(nullptr);
}

console_session::~console_session() {
    std::fflush(stdout);
    if (earlier_code_page_ != 0) SetConsoleOutputCP(earlier_code_page_);
}

}  // namespace compattatore
