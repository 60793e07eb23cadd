#include "toolkit/printf_text.hpp"

#include <cstdarg>
#include <cstdio>
#include <stdexcept>

namespace compattatore {

std::string printf_text(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    // Most texts are a number or a short line: one pass into a small buffer, a second pass only
    // for a longer text.
    char small[128];
    const int length = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string text;
    if (length >= 0 && static_cast<std::size_t>(length) < sizeof small) {
        text.assign(small, static_cast<std::size_t>(length));
    } else if (length > 0) {
        // The string's own terminator takes the byte vsnprintf ends with.
        text.resize(static_cast<std::size_t>(length));
        std::vsnprintf(text.data(), text.size() + 1, format, again);
    }
    va_end(again);
    if (length < 0) throw std::runtime_error("cannot format the text");
    return text;
}

}  // namespace compattatore
