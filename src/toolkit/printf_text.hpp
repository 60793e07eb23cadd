#pragma once
// printf's formatting into a string as long as the result: a listing never cuts a long name or
// an extreme number at the size of a buffer.

#include <string>

namespace compattatore {

#if defined(__clang__)
#define COMPATTATORE_PRINTF_LIKE __attribute__((format(printf, 1, 2)))
#elif defined(__GNUC__)
#define COMPATTATORE_PRINTF_LIKE __attribute__((format(gnu_printf, 1, 2)))
#else
#define COMPATTATORE_PRINTF_LIKE
#endif

std::string printf_text(const char* format, ...) COMPATTATORE_PRINTF_LIKE;

}  // namespace compattatore
