// The language server's reader and dispatch: the input is everything an editor could send on
// standard input, framing included.

#include <cstdio>
#include <cstdlib>

#include "fuzz/lsp_checks.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace compattatore::fuzzing;
    const std::string broken =
        check_lsp_session(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!broken.empty()) {
        std::fprintf(stderr, "invariant broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
