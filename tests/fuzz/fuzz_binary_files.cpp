// The readers of the simulator's three files, inspect's listings of them and both plots: the
// first byte of the input selects which, the rest is the files' bytes (see binary_checks.hpp).

#include <cstdio>
#include <cstdlib>

#include "fuzz/binary_checks.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace compattatore::fuzzing;
    const binary_outcome o =
        check_binary_input(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!o.broken.empty()) {
        std::fprintf(stderr, "invariant broken: %s\n", o.broken.c_str());
        std::abort();
    }
    return 0;
}
