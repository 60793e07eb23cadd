#include <system_error>

#include "platform/platform.hpp"

#ifdef _WIN32
#include <windows.h>
#endif

namespace compattatore {

namespace fs = std::filesystem;

std::filesystem::path application_path(const char* argv0) {
#ifdef _WIN32
    (void)argv0;
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) break;
        if (n < buffer.size()) {
            buffer.resize(n);
            return fs::path(buffer).parent_path();
        }
        buffer.resize(buffer.size() * 2);
    }
    return fs::current_path();
#else
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return self.parent_path();
    const fs::path given = argv0 != nullptr ? fs::path(argv0) : fs::path();
    return fs::absolute(given, ec).parent_path();
#endif
}

}  // namespace compattatore
