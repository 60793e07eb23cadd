#include <system_error>

#include "platform/platform.hpp"

#ifdef _WIN32
#include "platform/win32_platform.hpp"
#endif

namespace compattatore {

namespace fs = std::filesystem;

std::filesystem::path application_path(const char* argv0) {
#ifdef _WIN32
    (void)argv0;
    const fs::path self = module_path();
    return self.empty() ? fs::current_path() : self.parent_path();
#else
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return self.parent_path();
    const fs::path given = argv0 != nullptr ? fs::path(argv0) : fs::path();
    return fs::absolute(given, ec).parent_path();
#endif
}

}  // namespace compattatore
